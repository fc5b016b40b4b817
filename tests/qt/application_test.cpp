#include <QIcon>
#include <QImage>
#include <QSet>
#include <QtTest>
#include <cstring>

#include "app/version.h"
#include "qt/application.h"

namespace {

int colourCount(const QImage& image) {
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
  }
  return static_cast<int>(colours.size());
}

}  // namespace

class ApplicationTest : public QObject {
  Q_OBJECT
 private slots:
  void theIconHasItsThreeImages() {
    const int maxColours[] = {2, 16, 16};
    QCOMPARE(std::size(qtui::kIconImages), std::size(maxColours));
    QSet<QSize> sizes;
    for (std::size_t i = 0; i < std::size(maxColours); ++i) {
      const auto& image = qtui::kIconImages[i];
      const QImage loaded(QString::fromLatin1(image.path));
      QVERIFY2(!loaded.isNull(), image.path);
      QCOMPARE(loaded.size(), QSize(image.size, image.size));
      QVERIFY2(colourCount(loaded) <= maxColours[i], image.path);
      QVERIFY2(colourCount(loaded) >= 2, image.path);
      sizes.insert(loaded.size());
    }
    // Qt may list the two 32x32 images as one size; both sizes are there either way.
    const QIcon icon = qtui::applicationIcon();
    const QList<QSize> available = icon.availableSizes();
    QCOMPARE(QSet<QSize>(available.begin(), available.end()), sizes);
  }

  void theApplicationIsNamedFromTheVersionRecord() {
    qtui::setUpApplication();
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Sales Tax Calculator"));
    QCOMPARE(QApplication::applicationVersion(), QStringLiteral("1.00"));
    QCOMPARE(QGuiApplication::desktopFileName(), QString::fromLatin1(app::version::kAppId));
    QCOMPARE(QString::fromLatin1(app::version::kVersionNumber), QStringLiteral("1.0.0.0"));
    QVERIFY(!QApplication::windowIcon().isNull());
  }
};

QTEST_MAIN(ApplicationTest)

#include "application_test.moc"
