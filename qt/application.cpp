#include "qt/application.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include "app/version.h"
#include "qt/appearance.h"
#include "qt/x11_keyboard.h"

namespace qtui {

using app::version::kProductName;

namespace {
constexpr int kReportMinimumWidth = 300;
}  // namespace

void MessageBoxReporter::show(const window::ErrorReport& report) {
  QMessageBox box(QMessageBox::Critical, QString::fromStdString(report.title), QString::fromStdString(report.heading),
                  QMessageBox::Ok, form_);
  // Modal to the application, its only window: a box modal to its window alone becomes a
  // sheet, which Wayland compositors show without a title bar.
  box.setWindowModality(Qt::ApplicationModal);
  box.setInformativeText(QString::fromStdString(report.message));
  // Wide enough that window managers show the whole title above it.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(kReportMinimumWidth, 0), grid->rowCount(), 0, 1, grid->columnCount());
  }
  box.exec();
  if (form_) form_->reportDismissed();
}

QIcon applicationIcon() {
  QIcon icon;
  for (const IconImage& image : kIconImages) icon.addFile(QString::fromLatin1(image.path), QSize(image.size, image.size));
  return icon;
}

void setUpApplication() {
  QApplication::setApplicationName(QString::fromUtf8(kProductName));
  QApplication::setApplicationVersion(QString::fromUtf8(app::version::kVersionText));
  QGuiApplication::setDesktopFileName(QString::fromUtf8(app::version::kAppId));
  QApplication::setWindowIcon(applicationIcon());
  applyAppearance();
  sendKeyRepeatsAsPressesAlone();
}

int run(const char* programName) {
  int argc = 1;
  char* argv[] = {const_cast<char*>(programName), nullptr};
  QApplication app(argc, argv);
  setUpApplication();
  MessageBoxReporter reporter;
  Form1 form(reporter);
  reporter.showOver(&form);
  form.show();
  return app.exec();
}

}  // namespace qtui
