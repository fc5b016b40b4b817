#include "web/form1_markup.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>
#include <utility>

#include "runtime/text.h"
#include "window/form1_description.h"

namespace web {

namespace {

using window::ControlKind;
using window::kForm1Controls;

// Text for HTML, in text or in a quoted attribute value.
std::string escaped(std::u16string_view text) {
  std::string out;
  for (const char c : runtime::utf8FromText(text)) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// The caption as shown, its access key's character underlined.
std::string caption(std::u16string_view markup) {
  const std::u16string shown = window::shownCaption(markup);
  const window::AccessKey key = window::accessKeyIn(markup);
  if (key.index == std::u16string_view::npos) return escaped(shown);
  const std::u16string_view view(shown);
  return escaped(view.substr(0, key.index)) + "<span class=\"access-key\">" + escaped(view.substr(key.index, 1)) +
         "</span>" + escaped(view.substr(key.index + 1));
}

// The access key as ARIA names it, for assistive tools to tell.
std::string accessKeyAttribute(std::u16string_view markup) {
  const char16_t key = window::accessKeyOf(markup);
  return key ? " aria-keyshortcuts=\"Alt+" + std::string(1, static_cast<char>(key)) + "\"" : "";
}

// The attributes every control's element has: its id, its class, and its rectangle in CSS
// pixels within its container.
std::string controlAttributes(std::size_t row, std::string_view classes = "control") {
  const window::PixelRect r = window::pixelsFromTwips(window::containerTwipsOf(row));
  return " id=\"" + escaped(kForm1Controls[row].name) + "\" class=\"" + std::string(classes) + "\" style=\"--left:" +
         std::to_string(r.left) + "px;--top:" + std::to_string(r.top) + "px;--width:" + std::to_string(r.width) +
         "px;--height:" + std::to_string(r.height) + "px\"";
}

// Where the window's own controls stand in the document: by the tab index of the control, or
// of the control a label names, the label first.
constexpr std::pair<bool, int> documentPlaceOf(std::size_t row) {
  const window::ControlDescription& c = kForm1Controls[row];
  if (c.container != window::kFormName) return {true, c.tabIndex};  // in their container, in tab order
  const int tabIndex = c.labels.empty() ? c.tabIndex : kForm1Controls[window::rowOf(c.labels)].tabIndex;
  return {false, 2 * tabIndex + (c.labels.empty() ? 1 : 0)};
}

std::array<std::size_t, kForm1Controls.size()> rowsInDocumentOrder() {
  std::array<std::size_t, kForm1Controls.size()> rows{};
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = i;
  std::sort(rows.begin(), rows.end(), [](std::size_t a, std::size_t b) { return documentPlaceOf(a) < documentPlaceOf(b); });
  return rows;
}

// The element of one control, with `contents` inside a container.
std::string control(std::size_t row, const std::string& contents) {
  const window::ControlDescription& c = kForm1Controls[row];
  switch (c.kind) {
    case ControlKind::CommandButton:
      return "<button type=\"button\"" + controlAttributes(row) + accessKeyAttribute(c.caption) + ">" + caption(c.caption) +
             "</button>";
    case ControlKind::TextBox:
      // As long as the desktop's box holds; a phone's keypad of digits and the point.
      return "<input type=\"text\" autocomplete=\"off\" spellcheck=\"false\" inputmode=\"decimal\" maxlength=\"" +
             std::to_string(window::kPriceMaxLength) + "\" value=\"" + escaped(c.caption) + "\"" + controlAttributes(row) + ">";
    case ControlKind::Frame:
      return "<fieldset" + controlAttributes(row) + "><legend>" + caption(c.caption) + "</legend>" + contents + "</fieldset>";
    case ControlKind::OptionButton:
      return "<label" + controlAttributes(row, "control option") + "><input type=\"radio\" name=\"" + escaped(c.container) +
             "\"" + (c.selectedAtStart ? " checked" : "") + accessKeyAttribute(c.caption) + "><span>" + caption(c.caption) +
             "</span></label>";
    case ControlKind::Label:
      // The tax's caption is a span: the tax label is no form control, which a label element
      // would name.
      if (row == window::kTaxCaptionRow) return "<span" + controlAttributes(row) + ">" + caption(c.caption) + "</span>";
      return "<label for=\"" + escaped(c.labels) + "\"" + controlAttributes(row) + ">" + caption(c.caption) + "</label>";
    case ControlKind::TaxLabel:
      return "<span" + controlAttributes(row) + ">" + escaped(c.caption) + "</span>";
  }
  return {};
}

}  // namespace

std::string titleMarkup() { return escaped(window::kFormCaption); }

std::string form1Markup() {
  const window::PixelSize client = window::clientPixels();
  // The form's caption, which the desktop shows in the window's title bar, heads the page for
  // screen readers (their heading navigation starts there); it is not shown.
  std::string page = "<main id=\"" + escaped(window::kFormName) + "\" style=\"--width:" + std::to_string(client.width) +
                     "px;--height:" + std::to_string(client.height) + "px\">\n<h1 class=\"for-screen-readers\">" +
                     escaped(window::kFormCaption) + "</h1>\n";
  const auto rows = rowsInDocumentOrder();
  for (const std::size_t row : rows) {
    if (kForm1Controls[row].container != window::kFormName) continue;
    std::string contents;
    for (const std::size_t inner : rows) {
      if (kForm1Controls[inner].container == kForm1Controls[row].name) contents += "\n" + control(inner, {});
    }
    page += control(row, contents) + "\n";
  }
  page += "</main>\n";
  // What screen readers are told of each tax, "Sales Tax is: 1.1994": a polite live region,
  // read whole, not shown. Not the tax label itself: a region live as the page is built has
  // its "0" read out as the page loads (Chromium), and a region that is made live later stays
  // silent (Orca keeps what it read of an element's attributes). Empty until the first tax;
  // out of the form, so that it is not read out again as the form comes back from under a
  // report. A plain region, not a status: Orca 48 passes over a text inserted within a tenth
  // of a second of another one, as the tax's is after the tax label's, unless it is inserted
  // into a live section, which a status is not (in Firefox).
  page += std::string("<div id=\"") + kAnnouncementId +
          "\" class=\"for-screen-readers\" aria-live=\"polite\" aria-atomic=\"true\"></div>\n";
  // The report: a dialog modal to the user (the module makes the form inert under it),
  // titled, its heading and message describing it.
  page += std::string("<dialog id=\"") + kReportId + "\" aria-modal=\"true\" aria-labelledby=\"" + kReportTitleId +
          "\" aria-describedby=\"" + kReportTextId + "\">\n<h1 id=\"" + kReportTitleId + "\"></h1>\n<div id=\"" +
          kReportTextId + "\"><p id=\"" + kReportHeadingId + "\"></p><p id=\"" + kReportMessageId +
          "\"></p></div>\n<button type=\"button\" id=\"" + kReportOkId + "\">OK</button>\n</dialog>\n";
  return page;
}

}  // namespace web
