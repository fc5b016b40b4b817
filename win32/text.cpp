#include "win32/text.h"

namespace win32 {

std::wstring wideFromText(std::u16string_view text) { return {text.begin(), text.end()}; }

std::u16string textFromWide(std::wstring_view text) { return {text.begin(), text.end()}; }

std::wstring wideFromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

std::u16string windowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return textFromWide(text);
}

}  // namespace win32
