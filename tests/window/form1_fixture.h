#pragma once

#include <QApplication>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "window/appearance.h"
#include "window/form1.h"

// A reporter that records what it was given instead of showing it.
class RecordingReporter final : public window::ErrorReporter {
 public:
  std::vector<int> numbers;
  std::vector<std::string> messages;
  std::function<void()> whileShown;  // what happens while the report is up
  void report(const runtime::RunTimeError& error, QWidget&) override {
    numbers.push_back(error.number());
    messages.emplace_back(error.what());
    if (whileShown) whileShown();
  }
};

// A shown, active Form1 for one test.
struct ShownForm {
  RecordingReporter reporter;
  std::unique_ptr<window::Form1> form = std::make_unique<window::Form1>(reporter);

  // A control of the window by its name in the control table.
  template <class Widget = QWidget>
  Widget* control(std::u16string_view name) const {
    return form->findChild<Widget*>(window::qtext(name));
  }

  ShownForm() {
    form->show();
    form->activateWindow();
    (void)QTest::qWaitForWindowActive(form.get());
  }

  void typePriceAndClick(const QString& price) {
    QTest::keyClicks(form->priceBox(), price);
    QTest::mouseClick(form->commandButton(), Qt::LeftButton);
  }
};
