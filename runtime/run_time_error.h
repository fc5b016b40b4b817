#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "runtime/text.h"

namespace runtime {

enum class ErrorKind {
  PriceNotANumber,  // the price text spells no number
  Overflow,         // a value beyond the range of a Single or of Currency
  FloatingPoint,    // the floating-point unit flagged an invalid or overflowing operation
  ControlFailed,    // a control's property or method reported a failure
};

// The one error type of the program: raised by a runtime operation, it unwinds the running
// command and reaches the report of unhandled errors. The message is written for the user.
class RunTimeError : public std::runtime_error {
 public:
  RunTimeError(ErrorKind kind, const std::string& message);

  [[nodiscard]] ErrorKind kind() const { return kind_; }
  // The error's number as the report shows it.
  [[nodiscard]] int number() const;

  static RunTimeError priceNotANumber(TextView price);
  static RunTimeError priceOverflow(TextView price);
  static RunTimeError taxOverflow();
  static RunTimeError floatingPoint();
  static RunTimeError controlFailed(std::string_view control, std::string_view operation,
                                    std::string_view detail);

 private:
  ErrorKind kind_;
};

// The status a control's property or method returns; a failed one names the control and
// says what went wrong.
struct ControlStatus {
  bool ok = true;
  std::string control;
  std::string detail;

  static ControlStatus success() { return {}; }
  static ControlStatus failure(std::string control, std::string why) {
    return {false, std::move(control), std::move(why)};
  }
  // The failure of a control that no longer exists, named as the control table names it.
  static ControlStatus gone(TextView control) { return failure(utf8FromText(control), "it no longer exists"); }
};

// Turns a failed status of `operation` into a run-time error that names the control; does
// nothing for a successful one.
void checkControlStatus(const ControlStatus& status, std::string_view operation);

// Raises the floating-point run-time error.
[[noreturn]] void raiseFloatError();

}  // namespace runtime
