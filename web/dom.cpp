#include "web/dom.h"

#include <cstddef>

// The glue's functions (web/dom.js): texts as a pointer and a length, in UTF-8 for names
// (ASCII) and in UTF-16 for texts.
extern "C" {
int dom_by_id(const char16_t* id, int length);
int dom_query(int element, const char* selector, int length);
int dom_connected(int element);
int dom_is(int object, const char* property, int length, int other);
int dom_text_length(int object, const char* property, int length);
void dom_copy_text(int object, const char* property, int length, char16_t* into);
int dom_flag(int object, const char* property, int length);
void dom_set_text(int object, const char* property, int length, const char16_t* text, int textLength);
void dom_set_utf8(int object, const char* property, int length, const char* text, int textLength);
void dom_set_flag(int object, const char* property, int length, int on);
void dom_call(int object, const char* method, int length);
void dom_set_class(int element, const char* name, int length, int on);
void dom_listen(int target, const char* type, int length, int listener, int capture);
void dom_later(int listener, int milliseconds);
}

namespace web::dom {

namespace {

int sizeOf(std::string_view s) { return static_cast<int>(s.size()); }
int sizeOf(std::u16string_view s) { return static_cast<int>(s.size()); }

}  // namespace

Handle byId(std::string_view id) { return byId(std::u16string(id.begin(), id.end())); }
Handle byId(std::u16string_view id) { return dom_by_id(id.data(), sizeOf(id)); }
Handle query(Handle element, std::string_view selector) { return dom_query(element, selector.data(), sizeOf(selector)); }
bool connected(Handle element) { return dom_connected(element) != 0; }
bool is(Handle object, std::string_view property, Handle other) {
  return dom_is(object, property.data(), sizeOf(property), other) != 0;
}

std::u16string text(Handle object, std::string_view property) {
  std::u16string result(static_cast<std::size_t>(dom_text_length(object, property.data(), sizeOf(property))), u'\0');
  if (!result.empty()) dom_copy_text(object, property.data(), sizeOf(property), result.data());
  return result;
}

bool flag(Handle object, std::string_view property) { return dom_flag(object, property.data(), sizeOf(property)) != 0; }

void setText(Handle object, std::string_view property, std::u16string_view text) {
  dom_set_text(object, property.data(), sizeOf(property), text.data(), sizeOf(text));
}

void setText(Handle object, std::string_view property, const std::string& utf8) {
  dom_set_utf8(object, property.data(), sizeOf(property), utf8.data(), sizeOf(utf8));
}

void setFlag(Handle object, std::string_view property, bool on) {
  dom_set_flag(object, property.data(), sizeOf(property), on ? 1 : 0);
}

void call(Handle object, std::string_view method) { dom_call(object, method.data(), sizeOf(method)); }
void setClass(Handle element, std::string_view name, bool on) { dom_set_class(element, name.data(), sizeOf(name), on ? 1 : 0); }

void listen(Handle target, std::string_view type, int listener, bool capture) {
  dom_listen(target, type.data(), sizeOf(type), listener, capture ? 1 : 0);
}

void later(int listener, int milliseconds) { dom_later(listener, milliseconds); }

}  // namespace web::dom
