#pragma once

#include <string>

#include "calc/calculate_command.h"
#include "runtime/run_time_error.h"
#include "runtime/text.h"

namespace window {

// What the user is shown of a run-time error that leaves the Calculate command, in UTF-8:
// the heading "Run-time error N" and the error's message. The front end titles it with the
// product name.
struct ErrorReport {
  std::string heading;
  std::string message;
};
[[nodiscard]] ErrorReport reportOf(const runtime::RunTimeError& error);

// Where a report goes: the front end shows it over the window and returns once the user has
// dismissed it.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual void report(const ErrorReport& report) = 0;
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
// assistive tool). Runs the Calculate command once at a time: a click that arrives while it
// runs, or while its report is up, does nothing. After a completed command the tax is
// announced; after a run-time error the report is shown and the price selected for
// correcting, and the program goes on. Any other exception passes to the caller, and the
// next click runs the command again. Costs the command itself and, on an error, the report.
class CalculateClick {
 public:
  CalculateClick(Form1Controls& controls, ErrorReporter& reporter) : controls_(controls), reporter_(reporter) {}
  CalculateClick(const CalculateClick&) = delete;
  CalculateClick& operator=(const CalculateClick&) = delete;

  void operator()();
  [[nodiscard]] bool running() const { return running_; }

 private:
  Form1Controls& controls_;
  ErrorReporter& reporter_;
  bool running_ = false;
};

}  // namespace window
