// 5,000 click cycles through real input, with resident memory printed along the way.
// A record for the developer; the test itself checks only what every cycle must show.
#include <QtTest>

#include "form1_fixture.h"
#include "tools/resident_memory.h"

class Form1Soak : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { window::applyAppearance(); }

  void fiveThousandClickCycles() {
    ShownForm f;
    const QStringList prices = {"19.99", "100", "abc", "-5", "", "8388608", "1e39", "12.5"};
    for (int cycle = 1; cycle <= 5000; ++cycle) {
      const QString price = prices[cycle % prices.size()];
      f.typePriceAndClick(price);
      if (f.reporter.numbers.empty()) {
        QCOMPARE(f.form->priceBox()->text(), QString());
      } else {
        QCOMPARE(f.form->priceBox()->text(), price);
        f.form->priceBox()->clear();
        f.reporter.numbers.clear();
      }
      if (cycle == 1 || cycle % 1000 == 0) qInfo("cycle %d: resident %ld KiB", cycle, residentKiB());
    }
  }
};

QTEST_MAIN(Form1Soak)

#include "form1_soak.moc"
