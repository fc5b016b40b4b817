#pragma once

#include <QApplication>
#include <QPointer>

#include "qt/form1.h"

namespace qtui {

// The report of a run-time error that leaves the Calculate command: a message box over the
// window given to showOver() and modal to it, with the report's title, heading and message.
// It returns once the user has dismissed it, and tells the window so.
class MessageBoxReporter final : public window::ErrorReporter {
 public:
  void showOver(Form1* form) { form_ = form; }
  void show(const window::ErrorReport& report) override;

 private:
  QPointer<Form1> form_;
};

// The images of the window's icon, as the Windows icon group has them: 32x32 in 2 and in 16
// colours, 16x16 in 16 colours.
struct IconImage {
  const char* path;
  int size;
};
inline constexpr IconImage kIconImages[] = {
    {":/icons/salestax-32-2.png", 32}, {":/icons/salestax-32-16.png", 32}, {":/icons/salestax-16-16.png", 16}};

// The window's icon: the three images, each added on its own so that both 32x32 images stay.
QIcon applicationIcon();

// Names the application from the version record and gives it its look.
void setUpApplication();

// Creates the application from the program's name alone (the command line, Qt's own
// options included, is ignored), shows Form1 and runs the event loop until it closes.
int run(const char* programName);

}  // namespace qtui
