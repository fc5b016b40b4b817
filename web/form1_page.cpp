#include "web/form1_page.h"

#include <string>

#include "web/form1_markup.h"

namespace web {

namespace {

using runtime::ControlStatus;
using window::ControlKind;
using window::kForm1Controls;
using Phase = window::CalculateClick::Phase;
using Effect = window::CommandKey::Effect;

// How long the form stays out of inert under a report just shown: a screen reader has to have
// taken in the focus's move from the price box to OK before inert takes the price box away
// (Orca, finding where the focus was gone, moves on to OK without a word). Orca takes about a
// tenth of a second, more on a busy machine; a second leaves it ten times that.
constexpr int kInertAfterMilliseconds = 1000;
// How long the report stays up after its dismissal has given the price box the focus.
constexpr int kHideAfterMilliseconds = 100;

// The key an access key is pressed with: the letter or digit typed, or where the layout
// gives another character with Alt, the one on the key's place.
char16_t accessKeyPressed(dom::Handle event) {
  const std::u16string key = dom::text(event, "key");
  if (key.size() == 1) {
    const char16_t c = key[0];
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - u'a' + u'A');
    if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) return c;
  }
  const std::u16string code = dom::text(event, "code");  // "KeyC", "Digit1"
  if (code.size() == 4 && code.starts_with(u"Key")) return code[3];
  if (code.size() == 6 && code.starts_with(u"Digit")) return code[5];
  return 0;
}

// Does `action` on the element of a control called `name`; a control that is gone where the
// document lacks the element.
template <class Action>
ControlStatus actOn(dom::Handle element, std::u16string_view name, Action action) {
  if (!dom::connected(element)) return ControlStatus::gone(name);
  action(element);
  return {};
}

// The row whose caption has `key` as its access key; the table's size when none has.
std::size_t rowOfAccessKey(char16_t key) {
  std::size_t row = 0;
  while (row < kForm1Controls.size() && (key == 0 || window::accessKeyOf(kForm1Controls[row].caption) != key)) ++row;
  return row;
}

}  // namespace

Form1Page::Form1Page()
    : elements_(kForm1Controls.size(), dom::kNone),
      radios_(calc::kStateCount, dom::kNone),
      form_(dom::byId(window::kFormName)),
      announcement_(dom::byId(kAnnouncementId)),
      report_(dom::byId(kReportId)),
      reportTitle_(dom::byId(kReportTitleId)),
      reportHeading_(dom::byId(kReportHeadingId)),
      reportMessage_(dom::byId(kReportMessageId)),
      reportOk_(dom::byId(kReportOkId)) {
  for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
    const window::ControlDescription& c = kForm1Controls[row];
    elements_[row] = dom::byId(c.name);
    if (c.kind == ControlKind::OptionButton) radios_[calc::indexOf(c.state)] = dom::query(elements_[row], "input");
  }
  const auto listen = [](dom::Handle target, std::string_view type, Listener listener, bool capture = false) {
    dom::listen(target, type, static_cast<int>(listener), capture);
  };
  listen(dom::kDocument, "keydown", Listener::KeyDown);
  listen(dom::kDocument, "keyup", Listener::KeyUp);
  listen(dom::kWindow, "blur", Listener::Blur);
  // Before any element sees them: under the report, nothing behind it takes a press or a click.
  listen(dom::kDocument, "mousedown", Listener::Pointer, true);
  listen(dom::kDocument, "click", Listener::Pointer, true);
  listen(dom::kDocument, "focusin", Listener::FocusIn, true);
  listen(elements_[window::kCommandRow], "click", Listener::CommandClick);
  listen(reportOk_, "click", Listener::ReportDismissed);
  dom::call(elements_[window::kFocusAtStartRow], "focus");
}

void Form1Page::on(Listener listener, dom::Handle event) {
  switch (listener) {
    case Listener::KeyDown: onKeyDown(event); break;
    case Listener::KeyUp: onKeyUp(event); break;
    case Listener::Blur: follow(commandKey_.cancelled()); break;
    case Listener::Pointer: onPointer(event); break;
    case Listener::FocusIn: onFocusIn(event); break;
    case Listener::CommandClick:
      // This click is the one click of a pending Alt+C.
      follow(commandKey_.cancelled());
      click_();
      break;
    case Listener::ReportShown: onReportShown(); break;
    case Listener::ReportDismissed: onReportDismissed(); break;
    case Listener::HideReport: onHideReport(); break;
  }
}

void Form1Page::onKeyDown(dom::Handle event) {
  if (click_.phase() == Phase::Reporting) {
    // The report is modal: Escape dismisses it as OK does, Tab and Shift+Tab stay on OK (where
    // the form is not inert yet, or the browser has no inert), and no access key reaches the
    // form.
    const std::u16string key = dom::text(event, "key");
    if (key == u"Escape") {
      dom::call(event, "preventDefault");
      onReportDismissed();
    } else if (key == u"Tab" || dom::text(event, "code") == u"Tab") {  // Shift+Tab is "Unidentified" in WebKitGTK
      dom::call(event, "preventDefault");
      dom::call(reportOk_, "focus");
    } else if (dom::flag(event, "altKey")) {
      dom::call(event, "preventDefault");
    }
    return;
  }
  if (!dom::flag(event, "altKey") || dom::flag(event, "ctrlKey") || dom::flag(event, "metaKey")) return;
  const std::size_t row = rowOfAccessKey(accessKeyPressed(event));
  if (row == kForm1Controls.size()) return;
  dom::call(event, "preventDefault");
  switch (kForm1Controls[row].kind) {
    case ControlKind::CommandButton:
      follow(commandKey_.pressed(dom::flag(event, "repeat")));
      break;
    case ControlKind::OptionButton: {
      // Selected before the focus comes, so that it is spoken selected.
      const dom::Handle radio = radios_[calc::indexOf(kForm1Controls[row].state)];
      dom::setFlag(radio, "checked", true);
      dom::call(radio, "focus");
      break;
    }
    default: break;
  }
}

void Form1Page::onKeyUp(dom::Handle event) {
  // The letter let go of, with Alt or without it. Browsers send no release before a repeat.
  if (!commandKey_.held() || accessKeyPressed(event) != window::accessKeyOf(kForm1Controls[window::kCommandRow].caption)) return;
  dom::call(event, "preventDefault");
  follow(commandKey_.released());
}

void Form1Page::follow(Effect effect) {
  if (effect == Effect::None) return;
  dom::setClass(elements_[window::kCommandRow], "pressed", effect == Effect::ShowDown);
  if (effect == Effect::ShowUpAndClick) click_();
}

void Form1Page::onPointer(dom::Handle event) {
  // While the report is up, the focus stays on its OK, and nothing behind the report takes a
  // press or a click: a press on the form or on the report's text would otherwise take the
  // focus to the document, out of reach of Return and Space, and a click in the moment before
  // the form is made inert would still select a state.
  if (click_.phase() != Phase::Reporting) return;
  const bool onOk = dom::is(event, "target", reportOk_);
  if (dom::text(event, "type") == u"mousedown" || !onOk) dom::call(event, "preventDefault");
  if (!onOk) dom::call(event, "stopPropagation");
}

void Form1Page::onFocusIn(dom::Handle event) {
  // Under the report, a focus moved into the form by other means than keys and clicks (a
  // screen reader's browse mode, before the form is inert or where there is no inert) goes
  // back to OK.
  if (click_.phase() == Phase::Reporting && !dom::is(event, "target", reportOk_)) dom::call(reportOk_, "focus");
}

void Form1Page::show(const window::ErrorReport& report) {
  dom::setText(reportTitle_, "textContent", report.title);
  dom::setText(reportHeading_, "textContent", report.heading);
  dom::setText(reportMessage_, "textContent", report.message);
  // Shown and hidden by its open attribute, not by show() and close(): close() would give the
  // focus back to what had it when the report was shown, after the price box has taken it
  // (WebKit, as the HTML standard's dialog focusing steps say).
  dom::setFlag(report_, "open", true);
  dom::call(reportOk_, "focus");
  // The focus goes into the report from the price box, which is still there: screen readers
  // speak what it entered, the report's title and message, then OK. Made inert first, the
  // form would take the price box away, the screen reader would find itself in the report
  // already, and only OK would be spoken (Chromium and Firefox), or nothing (Orca in Firefox).
  dom::later(static_cast<int>(Listener::ReportShown), kInertAfterMilliseconds);
}

void Form1Page::onReportShown() {
  if (click_.phase() != Phase::Reporting) return;
  setFormInert(true);
  // A focus moved into the form unheard of (a window without the keyboard is told of no
  // focus) would be lost with the form: it is back on OK.
  if (!dom::is(dom::kDocument, "activeElement", reportOk_)) dom::call(reportOk_, "focus");
}

void Form1Page::onReportDismissed() {
  if (click_.phase() != Phase::Reporting) return;
  setFormInert(false);
  // The price takes the focus first and the report goes a moment later: screen readers
  // then speak the price box once, and not the page coming back.
  click_.reportDismissed();
  dom::later(static_cast<int>(Listener::HideReport), kHideAfterMilliseconds);
}

void Form1Page::onHideReport() {
  if (click_.phase() != Phase::Reporting) dom::setFlag(report_, "open", false);
}

void Form1Page::setFormInert(bool inert) {
  if (dom::connected(form_)) dom::setFlag(form_, "inert", inert);
}

template <class Action>
ControlStatus Form1Page::withElement(std::size_t row, Action action) {
  return actOn(elements_[row], kForm1Controls[row].name, action);
}

ControlStatus Form1Page::readSelected(calc::State state, bool& selected) {
  return actOn(radios_[calc::indexOf(state)], window::nameOf(ControlKind::OptionButton, state),
               [&](dom::Handle radio) { selected = dom::flag(radio, "checked"); });
}

ControlStatus Form1Page::readPriceText(runtime::Text& value) {
  return withElement(window::kPriceRow, [&](dom::Handle price) { value = dom::text(price, "value"); });
}

ControlStatus Form1Page::setPriceText(runtime::TextView value) {
  return withElement(window::kPriceRow, [&](dom::Handle price) { dom::setText(price, "value", value); });
}

ControlStatus Form1Page::focusPrice() {
  return withElement(window::kPriceRow, [](dom::Handle price) { dom::call(price, "focus"); });
}

ControlStatus Form1Page::setTaxCaption(runtime::TextView value) {
  return withElement(window::kTaxRow, [&](dom::Handle tax) { dom::setText(tax, "textContent", value); });
}

void Form1Page::announceTax(runtime::TextView description) {
  // The same tax again is news too, but Orca drops a live region's text inserted as it was
  // the time before, taking it for a notification repeated, and Chromium tells the region's
  // whole text as inserted. So the same tax again comes with a mark at the end, or without
  // it, whichever the last one had not: a no-break space, which screen readers leave out.
  const std::u16string said(description);
  if (said == announced_) repeatMark_ = repeatMark_.empty() ? u"\u00a0" : u"";
  if (dom::connected(announcement_)) dom::setText(announcement_, "textContent", said + repeatMark_);
  announced_ = said;
}

void Form1Page::selectPriceForCorrection() {
  const dom::Handle price = elements_[window::kPriceRow];
  if (!dom::connected(price)) return;
  dom::call(price, "focus");
  dom::call(price, "select");
}

}  // namespace web
