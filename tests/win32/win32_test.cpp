// The Win32 front end's own helpers, run under Wine: texts handed to Win32 calls, and the
// message loop's ending.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace win32
