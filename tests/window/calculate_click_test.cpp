#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "fake_controls.h"
#include "window/calculate_click.h"
#include "worked_examples.h"

namespace window {
namespace {

using testing_support::Op;

// The window's side of a click over plain values: what screen readers were told, and how
// often the price was selected for correcting.
struct FakeForm1 : testing_support::FakeControlsOf<Form1Controls> {
  std::vector<runtime::Text> announced;
  int selectedForCorrection = 0;
  std::function<void()> whileSettingTheTax;
  void announceTax(runtime::TextView description) override { announced.emplace_back(description); }
  void selectPriceForCorrection() override { ++selectedForCorrection; }
  runtime::ControlStatus setTaxCaption(runtime::TextView text) override {
    if (whileSettingTheTax) whileSettingTheTax();
    return FakeControlsOf::setTaxCaption(text);
  }
};

// Records each report; can act while it is up, as a user or assistive tool might.
struct RecordingReporter : ErrorReporter {
  std::vector<ErrorReport> reports;
  std::function<void()> whileShown;
  void report(const ErrorReport& report) override {
    reports.push_back(report);
    if (whileShown) whileShown();
  }
};

struct Click {
  FakeForm1 form;
  RecordingReporter reporter;
  CalculateClick click{form, reporter};
};

TEST(CalculateClick, AnnouncesEachTaxWithItsLabel) {
  for (const auto& e : testing_support::kWorkedExamples) {
    Click c;
    c.form.selected = e.state;
    c.form.price = e.price;
    c.click();
    EXPECT_EQ(c.form.announced, std::vector<runtime::Text>{u"Sales Tax is: " + runtime::Text(e.tax)});
    EXPECT_TRUE(c.reporter.reports.empty());
    EXPECT_EQ(c.form.selectedForCorrection, 0);
    EXPECT_TRUE(c.form.focused);
  }
  Click none;
  none.form.selected.reset();
  none.click();
  EXPECT_TRUE(none.form.announced.empty()) << "no tax was shown, so none is announced";
}

TEST(CalculateClick, ReportsARunTimeErrorAndSelectsThePriceForCorrecting) {
  struct Case {
    const char16_t* price;
    std::optional<Op> failing;
    const char* heading;
    const char* message;
  };
  for (const Case& e : {Case{u"", {}, "Run-time error 1", "Please enter a price: the price box is empty."},
                        Case{u"1e20", {}, "Run-time error 2", nullptr},
                        Case{u"10", Op::SetTax, "Run-time error 4", "The control aControl could not show the tax: gone."}}) {
    Click c;
    c.form.price = e.price;
    c.form.failing = e.failing;
    c.click();
    ASSERT_EQ(c.reporter.reports.size(), 1u);
    EXPECT_EQ(c.reporter.reports[0].heading, e.heading);
    if (e.message) {
      EXPECT_EQ(c.reporter.reports[0].message, e.message);
    }
    EXPECT_EQ(c.form.selectedForCorrection, 1);
    EXPECT_TRUE(c.form.announced.empty());
    EXPECT_EQ(c.form.price, e.price) << "the price stays for correcting";
    EXPECT_FALSE(c.click.running());
  }
}

TEST(CalculateClick, RunsOnceAtATime) {
  Click c;
  // A click while the report is up, and one while the command itself runs, do nothing.
  c.reporter.whileShown = [&] { c.click(); };
  c.click();
  EXPECT_EQ(c.reporter.reports.size(), 1u);
  c.form.price = u"100";
  c.form.whileSettingTheTax = [&] { c.click(); };
  c.click();
  EXPECT_EQ(c.form.announced, std::vector<runtime::Text>{u"Sales Tax is: 6"});
  EXPECT_EQ(c.form.calls.size(), 2u + 5u) << "the failed click's two calls and the completed one's five";
}

TEST(CalculateClick, AnotherExceptionPassesAndTheNextClickStillRuns) {
  Click c;
  c.form.price = u"100";
  c.form.failing = Op::ReadPrice;
  c.form.thrown = [] { throw std::bad_alloc(); };
  EXPECT_THROW(c.click(), std::bad_alloc);
  EXPECT_FALSE(c.click.running());
  c.form.failing.reset();
  c.click();
  EXPECT_EQ(c.form.announced, std::vector<runtime::Text>{u"Sales Tax is: 6"});
}

}  // namespace
}  // namespace window
