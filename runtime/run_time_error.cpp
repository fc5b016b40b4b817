#include "runtime/run_time_error.h"

namespace runtime {

namespace {

// Long pasted texts are shortened in messages; the report is not the place for 32,767
// characters.
constexpr std::size_t kQuotedLimit = 40;

std::string quoted(TextView text) {
  const bool shortened = text.size() > kQuotedLimit;
  std::size_t kept = shortened ? kQuotedLimit : text.size();
  // Cut between characters, not inside a surrogate pair.
  if (shortened && text[kept - 1] >= 0xD800 && text[kept - 1] <= 0xDBFF) --kept;
  std::string out = "\"" + utf8FromText(text.substr(0, kept));
  out += shortened ? "...\"" : "\"";
  return out;
}

}  // namespace

RunTimeError::RunTimeError(ErrorKind kind, const std::string& message)
    : std::runtime_error(message), kind_(kind) {}

int RunTimeError::number() const {
  switch (kind_) {
    case ErrorKind::PriceNotANumber: return 1;
    case ErrorKind::Overflow: return 2;
    case ErrorKind::FloatingPoint: return 3;
    case ErrorKind::ControlFailed: return 4;
  }
  return 0;
}

RunTimeError RunTimeError::priceNotANumber(TextView price) {
  if (isBlank(price)) {
    return {ErrorKind::PriceNotANumber, "Please enter a price: the price box is empty."};
  }
  return {ErrorKind::PriceNotANumber, "The price " + quoted(price) + " is not a number."};
}

RunTimeError RunTimeError::priceOverflow(TextView price) {
  return {ErrorKind::Overflow, "The price " + quoted(price) + " is too large."};
}

RunTimeError RunTimeError::taxOverflow() {
  return {ErrorKind::Overflow, "The tax is too large to show."};
}

RunTimeError RunTimeError::floatingPoint() {
  return {ErrorKind::FloatingPoint, "The tax could not be computed (floating-point error)."};
}

RunTimeError RunTimeError::controlFailed(std::string_view control, std::string_view operation,
                                         std::string_view detail) {
  std::string message = "The control ";
  message.append(control).append(" could not ").append(operation);
  if (!detail.empty()) message.append(": ").append(detail);
  message += '.';
  return {ErrorKind::ControlFailed, message};
}

void checkControlStatus(const ControlStatus& status, std::string_view operation) {
  if (!status.ok) throw RunTimeError::controlFailed(status.control, operation, status.detail);
}

void raiseFloatError() { throw RunTimeError::floatingPoint(); }

}  // namespace runtime
