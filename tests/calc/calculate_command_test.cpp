#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "calc/calculate_command.h"
#include "fake_controls.h"
#include "run_time_errors.h"
#include "runtime/run_time_error.h"
#include "worked_examples.h"

namespace calc {
namespace {

using runtime::ControlStatus;
using runtime::ErrorKind;
using runtime::RunTimeError;
using runtime::Text;
using runtime::TextView;

using testing_support::FakeControls;
using testing_support::Op;

std::optional<ErrorKind> runExpectingError(FakeControls& controls) {
  return testing_support::raisedKind([&] { calculateSalesTax(controls); });
}

TEST(CalculateCommand, ShowsTheTaxThenEmptiesAndFocusesThePriceBox) {
  for (const auto& c : testing_support::kWorkedExamples) {
    FakeControls controls;
    controls.selected = c.state;
    controls.price = c.price;
    controls.taxCaption = u"7";
    calculateSalesTax(controls);
    EXPECT_EQ(controls.taxCaption, c.tax) << runtime::utf8FromText(c.price);
    EXPECT_EQ(controls.price, u"");
    EXPECT_TRUE(controls.focused);
  }
}

TEST(CalculateCommand, TestsTheStatesInTableOrderAndStopsAtTheSelectedOne) {
  FakeControls controls;
  controls.selected = State::Maryland;
  controls.price = u"1";
  calculateSalesTax(controls);
  EXPECT_EQ(controls.calls,
            (std::vector<std::string>{"readSelected 0", "readSelected 1", "readSelected 2",
                                      "readPriceText", "setTaxCaption", "setPriceText",
                                      "focusPrice"}));
}

TEST(CalculateCommand, WithNoStateSelectedOnlyClearsAndFocuses) {
  FakeControls controls;
  controls.selected.reset();
  controls.price = u"not even a number";
  controls.taxCaption = u"1.5";
  calculateSalesTax(controls);
  EXPECT_EQ(controls.taxCaption, u"1.5");
  EXPECT_EQ(controls.price, u"");
  EXPECT_TRUE(controls.focused);
  EXPECT_EQ(controls.calls.size(), 7u);  // five tests, clear, focus: the price is never read
}

TEST(CalculateCommand, AnErrorStopsTheCommandAtItsStep) {
  struct Case {
    const char16_t* price;
    State state;
    ErrorKind kind;
    std::size_t callsMade;
  };
  for (const Case& c : {Case{u"", State::Pennsylvania, ErrorKind::PriceNotANumber, 2},
                        Case{u"   ", State::Ohio, ErrorKind::PriceNotANumber, 3},
                        Case{u"abc", State::Pennsylvania, ErrorKind::PriceNotANumber, 2},
                        Case{u"1e39", State::Delaware, ErrorKind::Overflow, 6},
                        Case{u"100000000000000000000", State::Pennsylvania, ErrorKind::Overflow, 2}}) {
    FakeControls controls;
    controls.selected = c.state;
    controls.price = c.price;
    controls.taxCaption = u"1.1994";
    EXPECT_EQ(runExpectingError(controls), c.kind) << runtime::utf8FromText(c.price);
    EXPECT_EQ(controls.taxCaption, u"1.1994");
    EXPECT_EQ(controls.price, c.price);
    EXPECT_FALSE(controls.focused);
    EXPECT_EQ(controls.calls.size(), c.callsMade);
  }
}

TEST(CalculateCommand, AFailedControlOperationStopsTheCommandThere) {
  struct Case {
    Op op;
    const char16_t* taxAfter;
    const char16_t* priceAfter;
  };
  for (const Case& c : {Case{Op::ReadSelected, u"0", u"10"}, Case{Op::ReadPrice, u"0", u"10"},
                        Case{Op::SetTax, u"0", u"10"},
                        Case{Op::SetPrice, u"8", u"10"}, Case{Op::Focus, u"8", u""}}) {
    FakeControls controls;
    controls.selected = State::Maryland;
    controls.price = u"10";
    controls.failing = c.op;
    EXPECT_EQ(runExpectingError(controls), ErrorKind::ControlFailed);
    EXPECT_EQ(controls.taxCaption, c.taxAfter);
    EXPECT_EQ(controls.price, c.priceAfter);
    EXPECT_FALSE(controls.focused);
  }
}

TEST(CalculateCommand, KeepsNothingBetweenRuns) {
  FakeControls controls;
  controls.price = u"100";
  calculateSalesTax(controls);
  EXPECT_EQ(controls.taxCaption, u"6");
  controls.selected = State::Ohio;
  controls.price = u"100";
  controls.focused = false;
  calculateSalesTax(controls);
  EXPECT_EQ(controls.taxCaption, u"5");
  EXPECT_TRUE(controls.focused);
}

}  // namespace
}  // namespace calc
