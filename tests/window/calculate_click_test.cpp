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
using Phase = CalculateClick::Phase;

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

// How a front end's report behaves: one that returns at once and stays up until the user
// dismisses it later (a page's dialog), or one that returns only once the user has
// dismissed it (a modal loop).
enum class Reporting { ReturnsAtOnce, Blocks };

// Records each report; can act while it is up, as a user or assistive tool might. A
// blocking one is dismissed before show() returns; the other when the test dismisses it.
struct RecordingReporter : ErrorReporter {
  Reporting kind = Reporting::ReturnsAtOnce;
  CalculateClick* click = nullptr;
  std::vector<ErrorReport> reports;
  std::function<void()> whileShown;
  void show(const ErrorReport& report) override {
    reports.push_back(report);
    if (whileShown) whileShown();
    if (kind == Reporting::Blocks) click->reportDismissed();
  }
};

struct Click {
  explicit Click(Reporting kind = Reporting::ReturnsAtOnce) {
    reporter.kind = kind;
    reporter.click = &click;
  }
  FakeForm1 form;
  RecordingReporter reporter;
  CalculateClick click{form, reporter};

  // What the user does to the report: nothing for a blocking one, which is gone already.
  void dismissTheReport() {
    if (reporter.kind == Reporting::ReturnsAtOnce) click.reportDismissed();
  }
};

class CalculateClickWithAReport : public testing::TestWithParam<Reporting> {};
std::string nameOf(const testing::TestParamInfo<Reporting>& report) {
  return report.param == Reporting::Blocks ? "Blocking" : "ReturningAtOnce";
}
INSTANTIATE_TEST_SUITE_P(Both, CalculateClickWithAReport, testing::Values(Reporting::ReturnsAtOnce, Reporting::Blocks),
                         nameOf);

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
    EXPECT_EQ(c.click.phase(), Phase::Idle);
  }
  Click none;
  none.form.selected.reset();
  none.click();
  EXPECT_TRUE(none.form.announced.empty()) << "no tax was shown, so none is announced";
}

TEST_P(CalculateClickWithAReport, ReportsARunTimeErrorAndSelectsThePriceOnceDismissed) {
  struct Case {
    const char16_t* price;
    std::optional<Op> failing;
    const char* heading;
    const char* message;
  };
  for (const Case& e : {Case{u"", {}, "Run-time error 1", "Please enter a price: the price box is empty."},
                        Case{u"1e20", {}, "Run-time error 2", "The tax is too large to show."},
                        Case{u"10", Op::SetTax, "Run-time error 4", "The control aControl could not show the tax: gone."}}) {
    Click c(GetParam());
    c.form.price = e.price;
    c.form.failing = e.failing;
    int selectedWhileUp = -1;
    c.reporter.whileShown = [&] { selectedWhileUp = c.form.selectedForCorrection; };
    c.click();
    ASSERT_EQ(c.reporter.reports.size(), 1u);
    EXPECT_EQ(c.reporter.reports[0].title, "Sales Tax Calculator");
    EXPECT_EQ(c.reporter.reports[0].heading, e.heading);
    EXPECT_EQ(c.reporter.reports[0].message, e.message);
    EXPECT_EQ(selectedWhileUp, 0) << "the price is selected after the report, not under it";
    c.dismissTheReport();
    EXPECT_EQ(c.form.selectedForCorrection, 1);
    EXPECT_EQ(c.click.phase(), Phase::Idle);
    EXPECT_TRUE(c.form.announced.empty());
    EXPECT_EQ(c.form.price, e.price) << "the price stays for correcting";
    c.click.reportDismissed();
    EXPECT_EQ(c.form.selectedForCorrection, 1) << "a second dismissal selects nothing again";
  }
}

TEST_P(CalculateClickWithAReport, RunsOnceAtATime) {
  Click c(GetParam());
  // Clicks while the report is up, and one while the command itself runs, do nothing.
  c.reporter.whileShown = [&] {
    EXPECT_EQ(c.click.phase(), Phase::Reporting);
    c.click();
    c.click();
  };
  c.click();
  if (GetParam() == Reporting::ReturnsAtOnce) {
    EXPECT_EQ(c.click.phase(), Phase::Reporting) << "the report is still up";
    c.click();
    EXPECT_EQ(c.reporter.reports.size(), 1u);
    EXPECT_EQ(c.form.calls.size(), 2u) << "nothing ran while the report was up";
    c.dismissTheReport();
  }
  EXPECT_EQ(c.reporter.reports.size(), 1u) << "one report for every click while it was up";
  EXPECT_EQ(c.form.selectedForCorrection, 1);
  c.form.price = u"100";
  c.form.whileSettingTheTax = [&] {
    EXPECT_EQ(c.click.phase(), Phase::Running);
    c.click();
  };
  c.click();
  EXPECT_EQ(c.form.announced, std::vector<runtime::Text>{u"Sales Tax is: 6"});
  EXPECT_EQ(c.form.calls.size(), 2u + 5u) << "the failed click's two calls and the completed one's five";
}

TEST_P(CalculateClickWithAReport, AnotherExceptionPassesAndTheNextClickStillRuns) {
  // From the command.
  Click c(GetParam());
  c.form.price = u"100";
  c.form.failing = Op::ReadPrice;
  c.form.thrown = [] { throw std::bad_alloc(); };
  EXPECT_THROW(c.click(), std::bad_alloc);
  EXPECT_EQ(c.click.phase(), Phase::Idle);
  c.form.failing.reset();
  c.click();
  EXPECT_EQ(c.form.announced, std::vector<runtime::Text>{u"Sales Tax is: 6"});

  // From showing the report: no report is up, so the click does not wait for one.
  Click r(GetParam());
  r.reporter.whileShown = [] { throw std::bad_alloc(); };
  EXPECT_THROW(r.click(), std::bad_alloc);
  EXPECT_EQ(r.click.phase(), Phase::Idle);
  r.reporter.whileShown = nullptr;
  r.click();
  EXPECT_EQ(r.reporter.reports.size(), 2u);
}

}  // namespace
}  // namespace window
