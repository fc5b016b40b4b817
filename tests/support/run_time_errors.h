#pragma once

#include <optional>
#include <string>
#include <utility>

#include "runtime/run_time_error.h"

namespace testing_support {

// The kind of run-time error that calling `f` raises, or nothing when it raises none.
template <class F>
std::optional<runtime::ErrorKind> raisedKind(F&& f) {
  try {
    std::forward<F>(f)();
  } catch (const runtime::RunTimeError& e) {
    return e.kind();
  }
  return std::nullopt;
}

// The message of the run-time error that calling `f` raises, or "(none)".
template <class F>
std::string raisedMessage(F&& f) {
  try {
    std::forward<F>(f)();
  } catch (const runtime::RunTimeError& e) {
    return e.what();
  }
  return "(none)";
}

}  // namespace testing_support
