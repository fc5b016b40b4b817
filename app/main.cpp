#include <QApplication>
#include <QMessageBox>

#include "window/appearance.h"
#include "window/form1.h"

namespace {

class MessageBoxReporter final : public window::ErrorReporter {
 public:
  void report(const runtime::RunTimeError& error) override {
    QMessageBox::critical(nullptr, QStringLiteral("Sales Tax Calculator"),
                          QStringLiteral("Run-time error %1:\n\n%2")
                              .arg(error.number())
                              .arg(QString::fromUtf8(error.what())));
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  window::applyAppearance(app);
  MessageBoxReporter reporter;
  window::Form1 form(reporter);
  form.show();
  return app.exec();
}
