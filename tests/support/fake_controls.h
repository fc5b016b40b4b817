#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calc/calculate_command.h"
#include "runtime/run_time_error.h"

namespace testing_support {

enum class Op { ReadSelected, ReadPrice, SetTax, SetPrice, Focus };

// The Calculate command's controls over plain values, for any interface that extends
// calc::CalculatorControls: they record every call and can fail any one operation, with a
// failed status or with `thrown`.
template <class Base = calc::CalculatorControls>
class FakeControlsOf : public Base {
 public:
  std::optional<calc::State> selected = calc::State::Pennsylvania;
  runtime::Text price;
  runtime::Text taxCaption = u"0";
  bool focused = false;
  std::optional<Op> failing;
  std::function<void()> thrown;  // with `failing`: throws instead of failing the status
  std::vector<std::string> calls;

  runtime::ControlStatus readSelected(calc::State state, bool& isSelected) override {
    return call(Op::ReadSelected, "readSelected " + std::to_string(calc::indexOf(state)),
                [&] { isSelected = selected == state; });
  }
  runtime::ControlStatus readPriceText(runtime::Text& text) override {
    return call(Op::ReadPrice, "readPriceText", [&] { text = price; });
  }
  runtime::ControlStatus setPriceText(runtime::TextView text) override {
    return call(Op::SetPrice, "setPriceText", [&] { price = text; });
  }
  runtime::ControlStatus focusPrice() override { return call(Op::Focus, "focusPrice", [&] { focused = true; }); }
  runtime::ControlStatus setTaxCaption(runtime::TextView text) override {
    return call(Op::SetTax, "setTaxCaption", [&] { taxCaption = text; });
  }

 protected:
  // Records the call, then fails it if it is the failing one, or does it.
  template <class Action>
  runtime::ControlStatus call(Op op, std::string name, Action action) {
    calls.push_back(std::move(name));
    if (failing == op) {
      if (thrown) thrown();
      return runtime::ControlStatus::failure("aControl", "gone");
    }
    action();
    return {};
  }
};
using FakeControls = FakeControlsOf<>;

}  // namespace testing_support
