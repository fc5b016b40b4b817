#pragma once

#include <emscripten/val.h>

#include <cstddef>
#include <string>
#include <vector>

#include "window/calculate_click.h"
#include "window/form1_description.h"

namespace web {

using emscripten::val;

// The calculator's one window as a page, built into the document from the control table
// with the browser's own controls: a text input for the price, the states as radio buttons
// in a fieldset, a button for the command, a text for the tax (and, after the form, an unseen
// live region that tells screen readers each tax). Each element has its control's name as its
// id and stands at the control's rectangle at 96 dpi (CSS pixels), the form's client area
// 465 x 443. A click of the button, Space or Return on it, and Alt+C
// (on its release, as on the desktop) run the shared window::CalculateClick; its reports are
// a dialog over the form, which takes no input while the report is up.
//
// Access keys are the page's own, Alt and the letter in every browser: browsers disagree on
// the modifier of the accesskey attribute.
class Form1Page final : private window::Form1Controls, private window::ErrorReporter {
 public:
  // Builds the form into `host`, a container of the document, and gives the price box the
  // focus. Event handlers are the module's functions named in web/main.cpp, which pass the
  // events on to the one page.
  explicit Form1Page(val host);
  Form1Page(const Form1Page&) = delete;
  Form1Page& operator=(const Form1Page&) = delete;
  ~Form1Page() override = default;

  // A key pressed or released anywhere in the document (keydown, keyup).
  void onKeyDown(val event);
  void onKeyUp(val event);
  // The page lost the keyboard: an access key held is let go of without a click.
  void onBlur();
  // A mouse button pressed anywhere in the document (mousedown).
  void onMouseDown(val event);
  // The command button's click event, from the mouse, Space or Return, or assistive tools.
  void onCommandClick();
  // The report, its OK focused a moment ago: the form under it made inert.
  void onReportShown();
  // The report's OK button, or Escape or Return in the report.
  void onReportDismissed();
  // The report, its dismissal done, hidden a moment later.
  void onHideReport();

 private:
  val create(std::size_t row);
  val createOption(std::size_t row);
  val createAnnouncement();
  val createReport();

  // The control operations of a click, over the elements.
  runtime::ControlStatus readSelected(calc::State state, bool& selected) override;
  runtime::ControlStatus readPriceText(runtime::Text& text) override;
  runtime::ControlStatus setPriceText(runtime::TextView text) override;
  runtime::ControlStatus focusPrice() override;
  runtime::ControlStatus setTaxCaption(runtime::TextView text) override;
  // Each tax is spoken once as it is shown, the same tax again too.
  void announceTax(runtime::TextView description) override;
  void selectPriceForCorrection() override;
  // The report: a dialog over the form, OK focused, and the form inert under it a moment
  // later.
  void show(const window::ErrorReport& report) override;

  val document_;
  std::vector<val> elements_{window::kForm1Controls.size(), val::undefined()};  // by the table's rows
  std::vector<val> radios_{calc::kStateCount, val::undefined()};  // the radio button of each state
  val taxText_ = val::undefined();  // the tax label
  val announcement_ = val::undefined();  // what screen readers are told of a tax,
  std::u16string announced_;             // the last tax told them,
  std::u16string repeatMark_;            // and the mark after it: none, or a no-break space
  val report_ = val::undefined();   // the dialog, and in it:
  val reportTitle_ = val::undefined();
  val reportHeading_ = val::undefined();
  val reportMessage_ = val::undefined();
  val reportOk_ = val::undefined();
  bool commandKeyHeld_ = false;  // Alt+C is down: the command runs when C is let go of
  window::CalculateClick click_{*this, *this};
};

}  // namespace web
