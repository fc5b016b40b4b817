#include "web/form1_page.h"

#include <algorithm>
#include <string>
#include <utility>

namespace web {

namespace {

using runtime::ControlStatus;
using window::ControlKind;
using window::kForm1Controls;

std::u16string text(std::u16string_view view) { return std::u16string(view); }

val element(const val& document, const char* tag, const std::u16string_view id = {}) {
  val e = document.call<val>("createElement", val(tag));
  if (!id.empty()) e.set("id", text(id));
  return e;
}

// The caption as shown, its access key's character underlined.
void appendCaption(const val& document, val& parent, std::u16string_view markup) {
  const std::u16string shown = window::shownCaption(markup);
  const window::AccessKey key = window::accessKeyIn(markup);
  if (key.index == std::u16string_view::npos) {
    parent.call<void>("append", shown);
    return;
  }
  val underlined = element(document, "span");
  underlined.set("className", val("access-key"));
  underlined.set("textContent", shown.substr(key.index, 1));
  parent.call<void>("append", shown.substr(0, key.index), underlined, shown.substr(key.index + 1));
}

// The access key as ARIA names it, for assistive tools to tell.
void describeAccessKey(val& e, std::u16string_view markup) {
  if (const char16_t key = window::accessKeyOf(markup)) e.call<void>("setAttribute", val("aria-keyshortcuts"), u"Alt+" + std::u16string(1, key));
}

// The control's rectangle in CSS pixels within its container, for the stylesheet.
void place(val& e, std::size_t row) {
  const window::PixelRect r = window::pixelsFromTwips(window::containerTwipsOf(row));
  val style = e["style"];
  for (const auto& [name, value] : {std::pair{"--left", r.left}, {"--top", r.top}, {"--width", r.width}, {"--height", r.height}}) {
    style.call<void>("setProperty", val(name), std::to_string(value) + "px");
  }
}

// The order of the window's own controls in the document: the order in which the keyboard
// visits them, each label just before the control it names, so that reading the page goes
// as the eye and the Tab key do.
constexpr int documentPlaceOf(std::size_t row) {
  const window::ControlDescription& c = kForm1Controls[row];
  const int tabIndex = c.labels.empty() ? c.tabIndex : kForm1Controls[window::rowOf(c.labels)].tabIndex;
  return 2 * tabIndex + (c.labels.empty() ? 1 : 0);
}

// The key an access key is pressed with: the letter or digit typed, or where the layout
// gives another character with Alt, the one on the key's place.
char16_t accessKeyPressed(const val& event) {
  const std::u16string key = event["key"].as<std::u16string>();
  if (key.size() == 1) {
    const char16_t c = key[0];
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - u'a' + u'A');
    if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) return c;
  }
  const std::string code = event["code"].as<std::string>();  // "KeyC", "Digit1"
  if (code.size() == 4 && code.starts_with("Key")) return static_cast<char16_t>(code[3]);
  if (code.size() == 6 && code.starts_with("Digit")) return static_cast<char16_t>(code[5]);
  return 0;
}

// The row whose caption has `key` as its access key; the table's size when none has.
std::size_t rowOfAccessKey(char16_t key) {
  std::size_t row = 0;
  while (row < kForm1Controls.size() && (key == 0 || window::accessKeyOf(kForm1Controls[row].caption) != key)) ++row;
  return row;
}

bool connected(const val& e) { return e["isConnected"].as<bool>(); }

}  // namespace

Form1Page::Form1Page(val host) : document_(val::global("document")) {
  document_.set("title", text(window::kFormCaption));
  val form = element(document_, "main", window::kFormName);
  const window::PixelSize client = window::clientPixels();
  form["style"].call<void>("setProperty", val("--width"), std::to_string(client.width) + "px");
  form["style"].call<void>("setProperty", val("--height"), std::to_string(client.height) + "px");
  // The form's caption, which the desktop shows in the window's title bar, heads the page for
  // screen readers (their heading navigation starts there); it is not shown.
  val heading = element(document_, "h1");
  heading.set("className", val("for-screen-readers"));
  heading.set("textContent", text(window::kFormCaption));
  form.call<void>("append", heading);

  for (std::size_t row = 0; row < kForm1Controls.size(); ++row) elements_[row] = create(row);

  // The window's own controls in document order; those of a container in tab order.
  std::array<std::size_t, kForm1Controls.size()> order{};
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  const auto placeOf = [](std::size_t row) {
    const bool inContainer = kForm1Controls[row].container != window::kFormName;
    return std::pair{inContainer, inContainer ? kForm1Controls[row].tabIndex : documentPlaceOf(row)};
  };
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return placeOf(a) < placeOf(b); });
  for (const std::size_t row : order) {
    const window::ControlDescription& c = kForm1Controls[row];
    val container = c.container == window::kFormName ? form : elements_[window::rowOf(c.container)];
    container.call<void>("append", elements_[row]);
  }
  announcement_ = createAnnouncement();
  report_ = createReport();
  host.call<void>("append", form, announcement_, report_);

  document_.call<void>("addEventListener", val("keydown"), val::module_property("keyDown"));
  document_.call<void>("addEventListener", val("keyup"), val::module_property("keyUp"));
  val::global("window").call<void>("addEventListener", val("blur"), val::module_property("blur"));
  document_.call<void>("addEventListener", val("mousedown"), val::module_property("mouseDown"));
  elements_[window::kCommandRow].call<void>("addEventListener", val("click"), val::module_property("commandClick"));
  elements_[window::kFocusAtStartRow].call<void>("focus");
}

val Form1Page::create(std::size_t row) {
  const window::ControlDescription& c = kForm1Controls[row];
  val e = val::undefined();
  switch (c.kind) {
    case ControlKind::CommandButton:
      e = element(document_, "button", c.name);
      e.set("type", val("button"));
      appendCaption(document_, e, c.caption);
      describeAccessKey(e, c.caption);
      break;
    case ControlKind::TextBox:
      e = element(document_, "input", c.name);
      e.set("type", val("text"));
      e.set("value", text(c.caption));
      e.set("autocomplete", val("off"));
      e.set("spellcheck", false);
      break;
    case ControlKind::Frame: {
      e = element(document_, "fieldset", c.name);
      val legend = element(document_, "legend");
      appendCaption(document_, legend, c.caption);
      e.call<void>("append", legend);
      break;
    }
    case ControlKind::OptionButton:
      e = createOption(row);
      break;
    case ControlKind::Label:
      if (row == window::kTaxCaptionRow) {
        // Read as shown, just before the tax; a span, for the tax label takes no label element.
        e = element(document_, "span", c.name);
      } else {
        e = element(document_, "label", c.name);
        if (!c.labels.empty()) e.set("htmlFor", text(c.labels));
      }
      appendCaption(document_, e, c.caption);
      break;
    case ControlKind::TaxLabel:
      // Text as shown, and read so, after its caption; screen readers are told of a new tax
      // by the announcement (createAnnouncement).
      e = element(document_, "span", c.name);
      e.set("textContent", text(c.caption));
      taxText_ = e;
      announced_ = window::describeTheTax(c.caption);
      break;
  }
  e["classList"].call<void>("add", val("control"));
  place(e, row);
  return e;
}

// An option button: a label around the radio button and its caption, covering the control's
// rectangle, so that a click anywhere on it selects the state.
val Form1Page::createOption(std::size_t row) {
  const window::ControlDescription& c = kForm1Controls[row];
  val option = element(document_, "label", c.name);
  option["classList"].call<void>("add", val("option"));
  val radio = element(document_, "input");
  radio.set("type", val("radio"));
  radio.set("name", text(c.container));
  radio.set("checked", c.selectedAtStart);
  describeAccessKey(radio, c.caption);
  val caption = element(document_, "span");
  appendCaption(document_, caption, c.caption);
  option.call<void>("append", radio, caption);
  radios_[calc::indexOf(c.state)] = radio;
  return option;
}

// What screen readers are told of each tax, "Sales Tax is: 1.1994": a polite live region, read
// whole, not shown. Not the tax label itself: a region live as the page is built has its "0"
// read out as the page loads (Chromium), and a region that is made live later stays silent
// (Orca keeps what it read of an element's attributes). Empty until the first tax; out of the
// form, so that it is not read out again as the form comes back from under a report.
val Form1Page::createAnnouncement() {
  val e = element(document_, "div", u"taxAnnouncement");
  e.set("className", val("for-screen-readers"));
  e.call<void>("setAttribute", val("role"), val("status"));
  e.call<void>("setAttribute", val("aria-live"), val("polite"));
  e.call<void>("setAttribute", val("aria-atomic"), val("true"));
  return e;
}

val Form1Page::createReport() {
  val dialog = element(document_, "dialog", u"report");
  dialog.call<void>("setAttribute", val("aria-modal"), val("true"));
  dialog.call<void>("setAttribute", val("aria-labelledby"), val("reportTitle"));
  dialog.call<void>("setAttribute", val("aria-describedby"), val("reportText"));
  reportTitle_ = element(document_, "h1", u"reportTitle");
  val body = element(document_, "div", u"reportText");
  reportHeading_ = element(document_, "p", u"reportHeading");
  reportMessage_ = element(document_, "p", u"reportMessage");
  body.call<void>("append", reportHeading_, reportMessage_);
  reportOk_ = element(document_, "button", u"reportOk");
  reportOk_.set("type", val("button"));
  reportOk_.set("textContent", val("OK"));
  reportOk_.call<void>("addEventListener", val("click"), val::module_property("reportDismissed"));
  dialog.call<void>("append", reportTitle_, body, reportOk_);
  return dialog;
}

void Form1Page::onKeyDown(val event) {
  const std::string key = event["key"].as<std::string>();
  if (click_.phase() == window::CalculateClick::Phase::Reporting) {
    // The report is modal: Escape dismisses it as OK does, and no access key reaches the form.
    if (key == "Escape") {
      event.call<void>("preventDefault");
      onReportDismissed();
    } else if (event["altKey"].as<bool>()) {
      event.call<void>("preventDefault");
    }
    return;
  }
  if (!event["altKey"].as<bool>() || event["ctrlKey"].as<bool>() || event["metaKey"].as<bool>()) return;
  const std::size_t row = rowOfAccessKey(accessKeyPressed(event));
  if (row == kForm1Controls.size()) return;
  event.call<void>("preventDefault");
  switch (kForm1Controls[row].kind) {
    case ControlKind::CommandButton:
      // Held down, and clicked when the key is let go of: a screen reader stops speaking at
      // each key press, and has handled the press by then.
      if (!commandKeyHeld_) {
        commandKeyHeld_ = true;
        elements_[row]["classList"].call<void>("add", val("pressed"));
      }
      break;
    case ControlKind::OptionButton: {
      // Selected before the focus comes, so that it is spoken selected.
      val radio = radios_[calc::indexOf(kForm1Controls[row].state)];
      radio.set("checked", true);
      radio.call<void>("focus");
      break;
    }
    default: break;
  }
}

void Form1Page::onKeyUp(val event) {
  if (!commandKeyHeld_ || accessKeyPressed(event) != window::accessKeyOf(kForm1Controls[window::kCommandRow].caption)) return;
  event.call<void>("preventDefault");
  commandKeyHeld_ = false;
  elements_[window::kCommandRow]["classList"].call<void>("remove", val("pressed"));
  click_();
}

void Form1Page::onBlur() {
  commandKeyHeld_ = false;
  elements_[window::kCommandRow]["classList"].call<void>("remove", val("pressed"));
}

void Form1Page::onCommandClick() { click_(); }

void Form1Page::onMouseDown(val event) {
  // While the report is up, the focus stays on its OK: a press on the inert form or on the
  // report's text would otherwise take it to the document, out of reach of Return and Space.
  if (click_.phase() == window::CalculateClick::Phase::Reporting) event.call<void>("preventDefault");
}

void Form1Page::show(const window::ErrorReport& report) {
  reportTitle_.set("textContent", report.title);
  reportHeading_.set("textContent", report.heading);
  reportMessage_.set("textContent", report.message);
  report_.call<void>("show");
  reportOk_.call<void>("focus");
  // The focus goes into the report from the price box, which is still there: screen readers
  // speak what it entered, the report's title and message, then OK. Made inert first, the
  // form would take the price box away, the screen reader would find itself in the report
  // already, and only OK would be spoken (Chromium and Firefox).
  val::global("setTimeout")(val::module_property("reportShown"), 100);
}

void Form1Page::onReportShown() {
  if (click_.phase() == window::CalculateClick::Phase::Reporting) {
    elements_[window::kFocusAtStartRow]["parentElement"].set("inert", true);
  }
}

void Form1Page::onReportDismissed() {
  if (click_.phase() != window::CalculateClick::Phase::Reporting) return;
  elements_[window::kFocusAtStartRow]["parentElement"].set("inert", false);
  // The price takes the focus first and the report goes a moment later: screen readers
  // then speak the price box once, and not the page coming back.
  click_.reportDismissed();
  val::global("setTimeout")(val::module_property("hideReport"), 100);
}

void Form1Page::onHideReport() {
  if (click_.phase() != window::CalculateClick::Phase::Reporting) report_.call<void>("close");
}

ControlStatus Form1Page::readSelected(calc::State state, bool& selected) {
  const val& radio = radios_[calc::indexOf(state)];
  if (!connected(radio)) return ControlStatus::gone(window::nameOf(ControlKind::OptionButton, state));
  selected = radio["checked"].as<bool>();
  return {};
}

ControlStatus Form1Page::readPriceText(runtime::Text& value) {
  const val& price = elements_[window::kPriceRow];
  if (!connected(price)) return ControlStatus::gone(kForm1Controls[window::kPriceRow].name);
  value = price["value"].as<std::u16string>();
  return {};
}

ControlStatus Form1Page::setPriceText(runtime::TextView value) {
  val& price = elements_[window::kPriceRow];
  if (!connected(price)) return ControlStatus::gone(kForm1Controls[window::kPriceRow].name);
  price.set("value", text(value));
  return {};
}

ControlStatus Form1Page::focusPrice() {
  val& price = elements_[window::kPriceRow];
  if (!connected(price)) return ControlStatus::gone(kForm1Controls[window::kPriceRow].name);
  price.call<void>("focus");
  return {};
}

ControlStatus Form1Page::setTaxCaption(runtime::TextView value) {
  if (!connected(taxText_)) return ControlStatus::gone(kForm1Controls[window::kTaxRow].name);
  taxText_.set("textContent", text(value));
  return {};
}

void Form1Page::announceTax(runtime::TextView description) {
  // The same tax again is news too, but Orca drops a live region's text inserted as it was
  // the time before, taking it for a notification repeated, and Chromium tells the region's
  // whole text as inserted. So the same tax again comes with a mark at the end, or without
  // it, whichever the last one had not: a no-break space, which screen readers leave out.
  const std::u16string said = text(description);
  if (said == announced_) repeatMark_ = repeatMark_.empty() ? u"\u00a0" : u"";
  announcement_.set("textContent", said + repeatMark_);
  announced_ = said;
}

void Form1Page::selectPriceForCorrection() {
  val& price = elements_[window::kPriceRow];
  if (!connected(price)) return;
  price.call<void>("focus");
  price.call<void>("select");
}

}  // namespace web
