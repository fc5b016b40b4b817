#pragma once

#include <string>

// The page's markup of the window, written from the control table when the page is built, so
// that the browser shows the form as it reads the page and the module only has to take the
// elements up: each control's element has its name as its id and gives its rectangle in CSS
// pixels at 96 dpi (--left, --top, --width and --height, within its container) to the page's
// stylesheet; captions show their access key underlined.
//
//   price box        <input type="text">, named by its label (<label for>), as long as the
//                    desktop's box (window::kPriceMaxLength), with a decimal keypad on phones
//   frame            <fieldset> with the caption as its <legend>
//   option button    <label> around its <input type="radio"> (named after the frame, so the
//                    states are one group) and its caption, covering the option's rectangle
//   command button   <button type="button">
//   label            <label for> the control it names; the tax's caption a <span>
//   tax label        <span> with the tax as its text
//
// The window's own controls stand in the order the keyboard visits them, each label just
// before the control it names, so that reading the page goes as the eye and the Tab key do;
// a container's controls in tab order. After the form: an unseen live region that tells screen
// readers each tax, and the report, a dialog.
namespace web {

// The page's elements beyond the table's controls, by id.
inline constexpr char kAnnouncementId[] = "taxAnnouncement";
inline constexpr char kReportId[] = "report";
inline constexpr char kReportTitleId[] = "reportTitle";
inline constexpr char kReportTextId[] = "reportText";  // the heading and the message
inline constexpr char kReportHeadingId[] = "reportHeading";
inline constexpr char kReportMessageId[] = "reportMessage";
inline constexpr char kReportOkId[] = "reportOk";

// The document's title: the window's caption. Text, escaped for HTML.
[[nodiscard]] std::string titleMarkup();

// The form, the live region and the report, as HTML for the page's body.
[[nodiscard]] std::string form1Markup();

}  // namespace web
