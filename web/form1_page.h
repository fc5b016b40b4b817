#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "web/dom.h"
#include "window/calculate_click.h"
#include "window/command_key.h"
#include "window/form1_description.h"

namespace web {

// The calculator's one window as a page: the elements the page's markup has for the control
// table (form1_markup.h, written when the page is built), with the browser's own controls,
// taken up by the module. A click of the button, Space or Return on it, and Alt+C (by the
// shared window::CommandKey: on the release of C) run the shared window::CalculateClick; its
// reports are a dialog over the form, which takes no input while the report is up.
//
// Access keys are the page's own, Alt and the letter in every browser: browsers disagree on
// the modifier of the accesskey attribute.
class Form1Page final : private window::Form1Controls, private window::ErrorReporter {
 public:
  // What the page listens for; the module's web_event() passes each event on to on().
  enum class Listener {
    KeyDown,          // a key pressed anywhere in the document
    KeyUp,            // and released
    Blur,             // the page lost the keyboard: a pending access key is dropped
    Pointer,          // a press or a click anywhere, before its target sees it
    FocusIn,          // the focus come to an element, before it sees it
    CommandClick,     // the command button clicked: the mouse, Space or Return, assistive tools
    ReportShown,      // the report up a second: the form under it made inert
    ReportDismissed,  // the report's OK clicked, or Escape in the report
    HideReport,       // the report, its dismissal done a moment ago, hidden
  };

  // Takes up the form's elements in the document, listens to its events, and gives the price
  // box the focus. An element the markup lacks is a control that is gone, which the command
  // reports as a run-time error.
  Form1Page();
  Form1Page(const Form1Page&) = delete;
  Form1Page& operator=(const Form1Page&) = delete;
  ~Form1Page() override = default;

  // An event, or kNone for a moment come.
  void on(Listener listener, dom::Handle event);

 private:
  void onKeyDown(dom::Handle event);
  void onKeyUp(dom::Handle event);
  // Does what the command key's rule says: shows the button pressed or not, clicks it.
  void follow(window::CommandKey::Effect effect);
  void onPointer(dom::Handle event);
  void onFocusIn(dom::Handle event);
  void onReportShown();
  void onReportDismissed();
  void onHideReport();
  void setFormInert(bool inert);
  // Does `action` on the element of the table's row, or says the control is gone.
  template <class Action>
  runtime::ControlStatus withElement(std::size_t row, Action action);

  // The control operations of a click, over the elements.
  runtime::ControlStatus readSelected(calc::State state, bool& selected) override;
  runtime::ControlStatus readPriceText(runtime::Text& text) override;
  runtime::ControlStatus setPriceText(runtime::TextView text) override;
  runtime::ControlStatus focusPrice() override;
  runtime::ControlStatus setTaxCaption(runtime::TextView text) override;
  // Each tax is spoken once as it is shown, the same tax again too.
  void announceTax(runtime::TextView description) override;
  void selectPriceForCorrection() override;
  // The report: a dialog over the form, OK focused, and the form inert under it a second
  // later; until then, and where the browser has no inert, the page keeps keys, clicks and
  // the focus from the form itself.
  void show(const window::ErrorReport& report) override;

  std::vector<dom::Handle> elements_;  // by the table's rows
  std::vector<dom::Handle> radios_;    // the radio button of each state
  dom::Handle form_;
  dom::Handle announcement_;           // what screen readers are told of a tax,
  std::u16string announced_;           // the last tax told them,
  std::u16string repeatMark_;          // and the mark after it: none, or a no-break space
  dom::Handle report_;                 // the dialog, and in it:
  dom::Handle reportTitle_;
  dom::Handle reportHeading_;
  dom::Handle reportMessage_;
  dom::Handle reportOk_;
  window::CommandKey commandKey_;      // Alt+C: the command runs when C is let go of
  window::CalculateClick click_{*this, *this};
};

}  // namespace web
