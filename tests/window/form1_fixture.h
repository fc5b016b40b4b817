#pragma once

#include <QApplication>
#include <QTest>
#include <memory>
#include <vector>

#include "window/form1.h"

// A reporter that records what it was given instead of showing it.
class RecordingReporter final : public window::ErrorReporter {
 public:
  std::vector<int> numbers;
  std::vector<std::string> messages;
  void report(const runtime::RunTimeError& error) override {
    numbers.push_back(error.number());
    messages.emplace_back(error.what());
  }
};

// A shown, active Form1 for one test.
struct ShownForm {
  RecordingReporter reporter;
  std::unique_ptr<window::Form1> form = std::make_unique<window::Form1>(reporter);

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
