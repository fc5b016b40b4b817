// 5,000 click cycles through real input: what every cycle must show, and resident memory
// that stays flat once the first thousand have warmed the caches.
#include <QtTest>

#include "form1_fixture.h"
#include "resident_memory.h"

class Form1Soak : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { qtui::applyAppearance(); }

  void fiveThousandClickCycles() {
    ShownForm f;
    const QStringList prices = {"19.99", "100", "abc", "-5", "", "8388608", "1e39", "12.5"};
    long warm = 0;
    for (int cycle = 1; cycle <= 5000; ++cycle) {
      const QString price = prices[cycle % prices.size()];
      f.typePriceAndClick(price);
      if (f.reporter.headings.empty()) {
        QCOMPARE(f.form->priceBox()->text(), QString());
      } else {
        QCOMPARE(f.form->priceBox()->text(), price);
        f.form->priceBox()->clear();
        f.reporter.headings.clear();
      }
      if (cycle == 1 || cycle % 1000 == 0) qInfo("cycle %d: resident %ld KiB", cycle, residentKiB());
      if (cycle == 1000) warm = residentKiB();
    }
    // 4,000 cycles in 1 MiB: a leak of more than about 260 bytes a cycle fails.
    const long grown = residentKiB() - warm;
    QVERIFY2(warm > 0, "resident memory is read from /proc");
    QVERIFY2(grown <= 1024, qPrintable(QStringLiteral("grew %1 KiB in 4,000 cycles").arg(grown)));
  }
};

QTEST_MAIN(Form1Soak)

#include "form1_soak.moc"
