#include "app/application.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include "app/version_record.h"
#include "window/appearance.h"

namespace app {

namespace {
constexpr int kReportMinimumWidth = 300;
}  // namespace

void MessageBoxReporter::report(const runtime::RunTimeError& error, QWidget& window) {
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(version::kProductName),
                  QStringLiteral("Run-time error %1").arg(error.number()), QMessageBox::Ok,
                  &window);
  // Modal to the application, its only window: a box modal to its window alone becomes a
  // sheet, which Wayland compositors show without a title bar.
  box.setWindowModality(Qt::ApplicationModal);
  box.setInformativeText(QString::fromUtf8(error.what()));
  // Wide enough that window managers show the whole title above it.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(kReportMinimumWidth, 0), grid->rowCount(), 0, 1, grid->columnCount());
  }
  box.exec();
}

QIcon applicationIcon() {
  QIcon icon;
  icon.addFile(QStringLiteral(":/icons/salestax-32-2.png"), QSize(32, 32));
  icon.addFile(QStringLiteral(":/icons/salestax-32-16.png"), QSize(32, 32));
  icon.addFile(QStringLiteral(":/icons/salestax-16-16.png"), QSize(16, 16));
  return icon;
}

void setUpApplication() {
  QApplication::setApplicationName(QString::fromUtf8(version::kProductName));
  QApplication::setApplicationVersion(QString::fromUtf8(version::kVersionText));
  QGuiApplication::setDesktopFileName(QString::fromUtf8(version::kAppId));
  QApplication::setWindowIcon(applicationIcon());
  window::applyAppearance();
}

int run(const char* programName) {
  int argc = 1;
  char* argv[] = {const_cast<char*>(programName), nullptr};
  QApplication app(argc, argv);
  setUpApplication();
  MessageBoxReporter reporter;
  window::Form1 form(reporter);
  form.show();
  return app.exec();
}

}  // namespace app
