#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Texts between the runtime (UTF-16 in char16_t), messages (UTF-8) and Win32's wide-character
// calls. Every call here returns an owned, terminated string: the calls that take an LPCWSTR
// read up to a terminator, which a view need not have. Each costs one copy of the text.
namespace win32 {

// The runtime's text as Win32's: the same UTF-16 units.
[[nodiscard]] std::wstring wideFromText(std::u16string_view text);
// And back.
[[nodiscard]] std::u16string textFromWide(std::wstring_view text);
// A UTF-8 message as Win32's text; invalid sequences become U+FFFD (MultiByteToWideChar).
[[nodiscard]] std::wstring wideFromUtf8(std::string_view text);
// A window's text (GetWindowTextW), of any length.
[[nodiscard]] std::u16string windowText(HWND window);

}  // namespace win32
