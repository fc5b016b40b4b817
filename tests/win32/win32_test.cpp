// The Win32 front end's own helpers, run under Wine: texts handed to Win32 calls, and the
// message loop's ending and the keys it lets the window keep.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "win32/message_loop.h"
#include "win32/text.h"

namespace win32 {
namespace {

TEST(Win32Text, ACallGetsTheViewsTextAloneTerminated) {
  const std::u16string caption = u"&Calculate Sales Tax";
  const std::wstring word = wideFromText(std::u16string_view(caption).substr(1, 9));
  EXPECT_STREQ(word.c_str(), L"Calculate");
  EXPECT_EQ(textFromWide(L"Ohio"), u"Ohio");
  EXPECT_EQ(wideFromUtf8("Run-time error 1: \xE2\x80\x9C" "abc\xE2\x80\x9D"), L"Run-time error 1: \u201Cabc\u201D");
  EXPECT_EQ(wideFromUtf8(""), L"");
}

// Message sources that end the loop: GetMessageW failing, and WM_QUIT with its code.
BOOL WINAPI failingSource(LPMSG message, HWND, UINT, UINT) {
  message->message = WM_NULL;
  message->wParam = 77;  // what a loop that reads a failed call's message would return
  return -1;
}
BOOL WINAPI quittingSource(LPMSG message, HWND, UINT, UINT) {
  *message = MSG{};
  message->message = WM_QUIT;
  message->wParam = 3;
  return FALSE;
}

TEST(Win32MessageLoop, EndsWithFailureWhenGettingAMessageFails) {
  EXPECT_EQ(runMessageLoop(nullptr, failingSource), 1);
  EXPECT_EQ(runMessageLoop(nullptr, quittingSource), 3);
}

// A dialog that keeps C for itself, and the keys the loop hands it: Alt+C, which it keeps,
// and Alt+O, which it does not; then WM_QUIT.
std::vector<UINT> dispatched;
LRESULT CALLBACK keepsC(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kOwnKeyMessage) return reinterpret_cast<const MSG*>(lParam)->wParam == 'C';
  if (message == WM_SYSKEYDOWN) dispatched.push_back(static_cast<UINT>(wParam));
  return DefWindowProcW(window, message, wParam, lParam);
}
HWND keyDialog = nullptr;
BOOL WINAPI altKeysSource(LPMSG message, HWND, UINT, UINT) {
  static const WPARAM keys[] = {'C', 'O'};
  static std::size_t next = 0;
  *message = MSG{};
  if (next == std::size(keys)) {
    message->message = WM_QUIT;
    return FALSE;
  }
  const WPARAM key = keys[next++];
  message->hwnd = keyDialog;
  message->message = WM_SYSKEYDOWN;
  message->wParam = key;
  message->lParam = static_cast<LPARAM>(1 | (MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC) << 16) | KF_ALTDOWN << 16);
  return TRUE;
}

TEST(Win32MessageLoop, AKeyTheDialogKeepsIsDispatchedUntranslated) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = keepsC;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"SalesTaxKeyTest";
  ASSERT_TRUE(RegisterClassW(&windowClass));
  // A message-only window: the tests run with no display.
  keyDialog = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
  ASSERT_TRUE(keyDialog);
  EXPECT_EQ(runMessageLoop(keyDialog, altKeysSource), 0);
  // Both reach the window's procedure; only the key it does not keep makes a character.
  EXPECT_EQ(dispatched, (std::vector<UINT>{'C', 'O'}));
  std::wstring characters;
  for (MSG message; PeekMessageW(&message, keyDialog, WM_CHAR, WM_SYSDEADCHAR, PM_REMOVE);) {
    characters += static_cast<wchar_t>(message.wParam);
  }
  EXPECT_EQ(characters, L"o");
  DestroyWindow(keyDialog);
  UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
}

}  // namespace
}  // namespace win32
