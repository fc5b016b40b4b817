#pragma once

#include <string>
#include <string_view>

// The document, as the module sees it: elements and events by handle, and the few calls on
// them the page makes, each one call into the page's glue (web/dom.js) and no more. Texts
// cross as UTF-16, unchanged. A handle stands for a JavaScript object the glue holds: 0 for
// none (an element the document lacks); an element's handle lasts as long as the page, an
// event's as long as its listener runs.
namespace web::dom {

using Handle = int;
inline constexpr Handle kNone = 0;
inline constexpr Handle kDocument = 1;
inline constexpr Handle kWindow = 2;

// The document's element with this id; kNone when there is none.
[[nodiscard]] Handle byId(std::string_view id);
[[nodiscard]] Handle byId(std::u16string_view id);
// The first element inside `element` that `selector` matches; kNone when none does.
[[nodiscard]] Handle query(Handle element, std::string_view selector);
// Whether `element` is an element in the document.
[[nodiscard]] bool connected(Handle element);
// Whether the object's `property` is the object `other` (an event's target, say).
[[nodiscard]] bool is(Handle object, std::string_view property, Handle other);

// The object's text or flag `property` (an element's value or textContent, an event's key or
// altKey); of kNone, the empty text and false.
[[nodiscard]] std::u16string text(Handle object, std::string_view property);
[[nodiscard]] bool flag(Handle object, std::string_view property);
void setText(Handle object, std::string_view property, std::u16string_view text);
void setText(Handle object, std::string_view property, const std::string& utf8);
void setFlag(Handle object, std::string_view property, bool on);

// Calls the object's `method` with no arguments (focus, select, show, close, preventDefault).
void call(Handle object, std::string_view method);
// Adds `name` to the element's classes, or takes it away.
void setClass(Handle element, std::string_view name, bool on);

// Listeners: the module's function web_event(listener, event) is called with the number
// `listener` and the event's handle for each `type` event at `target`, in the capture phase
// when `capture`; with kNone as the event, `milliseconds` from now, for later().
void listen(Handle target, std::string_view type, int listener, bool capture = false);
void later(int listener, int milliseconds);

}  // namespace web::dom
