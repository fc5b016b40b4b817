#pragma once

#include <string>

#include "calc/calculate_command.h"
#include "runtime/run_time_error.h"
#include "runtime/text.h"

namespace window {

// What the user is shown of a run-time error that leaves the Calculate command, in UTF-8:
// the title (the product's name), the heading "Run-time error N" and the error's message.
struct ErrorReport {
  std::string title;
  std::string heading;
  std::string message;
};
[[nodiscard]] ErrorReport reportOf(const runtime::RunTimeError& error);

// Where a report goes. show() puts the report up over the window, modal to it. It may
// return at once, leaving the report up (a page's dialog), or only once the user has
// dismissed it (a modal loop of its own): either way the front end tells the click, with
// CalculateClick::reportDismissed(), when the user has dismissed it.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual void show(const ErrorReport& report) = 0;
};

// The tax as screen readers hear it: the caption of the label that names the tax label, then
// the tax ("Sales Tax is: 1.1994").
[[nodiscard]] runtime::Text describeTheTax(runtime::TextView tax);

// The window's part in a click, beyond the control operations of the Calculate command.
class Form1Controls : public calc::CalculatorControls {
 public:
  // Tells screen readers the tax just shown, described by describeTheTax().
  virtual void announceTax(runtime::TextView description) = 0;
  // After a report: the window active again and the price box focused with all its text
  // selected, ready to be corrected.
  virtual void selectPriceForCorrection() = 0;
};

// A click of the command button, from whatever source (the mouse, the access key, Space, an
// assistive tool), as a state:
//
//   Idle      --click-->            Running: the Calculate command runs
//   Running   --command completes-> Idle, the tax announced
//   Running   --run-time error-->   Reporting: the report is shown
//   Reporting --reportDismissed()-> Idle, the price selected for correcting
//
// A click that arrives while the command runs, or while its report is up, does nothing, so
// the command runs once at a time and one report stands for any number of clicks. The
// program goes on after a report. Any other exception, from the command or from showing the
// report, passes to the caller with the click Idle again, so the next click runs the command
// again. Costs the command itself and, on an error, showing the report.
class CalculateClick {
 public:
  enum class Phase { Idle, Running, Reporting };

  CalculateClick(Form1Controls& controls, ErrorReporter& reporter) : controls_(controls), reporter_(reporter) {}
  CalculateClick(const CalculateClick&) = delete;
  CalculateClick& operator=(const CalculateClick&) = delete;

  void operator()();
  // The user has dismissed the report: selects the price for correcting. Does nothing when
  // no report is up, so a front end may call it for every way its report goes away.
  void reportDismissed();

  [[nodiscard]] Phase phase() const { return phase_; }

 private:
  Form1Controls& controls_;
  ErrorReporter& reporter_;
  Phase phase_ = Phase::Idle;
};

}  // namespace window
