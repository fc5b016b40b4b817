#pragma once

#include <QApplication>
#include <memory>

#include "window/form1.h"

namespace app {

// The report of a run-time error that leaves the Calculate command: a message box over the
// window and modal to it, titled with the product name, giving the error's number and its
// message.
class MessageBoxReporter final : public window::ErrorReporter {
 public:
  void report(const runtime::RunTimeError& error, QWidget& window) override;
};

// The window's icon: three images, each added on its own so that both 32x32 images stay.
QIcon applicationIcon();

// Names the application from the version record and gives it its look.
void setUpApplication();

// Creates the application from the program's name alone (the command line, Qt's own
// options included, is ignored), shows Form1 and runs the event loop until it closes.
int run(const char* programName);

}  // namespace app
