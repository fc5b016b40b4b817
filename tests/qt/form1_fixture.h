#pragma once

#include <QApplication>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "qt/appearance.h"
#include "qt/form1.h"

// A reporter that records what it was given instead of showing it, and is dismissed at once
// as a modal report is, before show() returns.
class RecordingReporter final : public window::ErrorReporter {
 public:
  std::vector<std::string> headings;
  std::vector<std::string> messages;
  std::function<void()> whileShown;  // what happens while the report is up
  qtui::Form1* form = nullptr;
  void show(const window::ErrorReport& report) override {
    headings.push_back(report.heading);
    messages.push_back(report.message);
    if (whileShown) whileShown();
    if (form) form->reportDismissed();
  }
};

// A shown, active Form1 for one test. A window that never becomes active fails the test
// that made it: the constructor records the failure as QVERIFY would, but cannot end the
// test, which goes on to fail again or to pass, failed all the same.
struct ShownForm {
  RecordingReporter reporter;
  std::unique_ptr<qtui::Form1> form = std::make_unique<qtui::Form1>(reporter);

  // A control of the window by its name in the control table.
  template <class Widget = QWidget>
  Widget* control(std::u16string_view name) const {
    return form->findChild<Widget*>(qtui::qtext(name));
  }

  ShownForm() {
    reporter.form = form.get();
    form->show();
    form->activateWindow();
    QTest::qVerify(QTest::qWaitForWindowActive(form.get()), "QTest::qWaitForWindowActive(form.get())",
                   "the window never became active", __FILE__, __LINE__);
  }

  void typePriceAndClick(const QString& price) {
    QTest::keyClicks(form->priceBox(), price);
    QTest::mouseClick(form->commandButton(), Qt::LeftButton);
  }
};
