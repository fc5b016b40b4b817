#include <QIcon>
#include <QImage>
#include <QSet>
#include <QtTest>
#include <cstring>

#include "app/application.h"
#include "app/version_record.h"

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
    const struct {
      const char* path;
      int size;
      int maxColours;
    } images[] = {{":/icons/salestax-32-2.png", 32, 2},
                  {":/icons/salestax-32-16.png", 32, 16},
                  {":/icons/salestax-16-16.png", 16, 16}};
    for (const auto& image : images) {
      const QImage loaded(QString::fromLatin1(image.path));
      QVERIFY2(!loaded.isNull(), image.path);
      QCOMPARE(loaded.size(), QSize(image.size, image.size));
      QVERIFY2(colourCount(loaded) <= image.maxColours, image.path);
      QVERIFY2(colourCount(loaded) >= 2, image.path);
    }
    const QIcon icon = app::applicationIcon();
    QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(32, 32), QSize(32, 32), QSize(16, 16)}));
  }

  void theApplicationIsNamedFromTheVersionRecord() {
    app::setUpApplication();
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Sales Tax Calculator"));
    QCOMPARE(QApplication::applicationVersion(), QStringLiteral("1.00"));
    QCOMPARE(QGuiApplication::desktopFileName(), QString::fromLatin1(app::version::kAppId));
    QCOMPARE(QString::fromLatin1(app::version::kVersionNumber), QStringLiteral("1.0.0.0"));
    QVERIFY(!QApplication::windowIcon().isNull());
  }
};

QTEST_MAIN(ApplicationTest)

#include "application_test.moc"
