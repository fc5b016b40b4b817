// Listens to what the Windows program tells screen readers, as a screen reader does: a
// WinEvent hook out of context on the program's process, the name and role of each event's
// object read back through oleacc. A console program that waits for Form1, says "ready" once
// it listens, and prints one line an event until the program ends:
//   TIME SEQUENCE EVENT WHERE name=NAME role=ROLE
// TIME is the event's own (dwmsEventTime, milliseconds); SEQUENCE counts the events in the
// order they were handed over, which is not the order they happened in (Wine hands them over
// newest first), so sort by TIME. WHERE is the table's name of a control of Form1, "Form1",
// "report" for the window Form1 owns (the error report) and "report.CLASS" for its controls,
// or the window's class.
//   winevents [SECONDS]    waits that long for Form1 (10 by default)
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "win32/form1_window.h"
#include "win32/text.h"
#include "window/form1_description.h"

namespace {

HWND form = nullptr;
unsigned long sequence = 0;

std::string utf8(const std::wstring& text) {
  std::string out(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  if (!out.empty()) out.pop_back();
  for (char& c : out) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return out;
}

std::string classOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return utf8(name);
}

const char* eventName(DWORD event) {
  switch (event) {
    case EVENT_OBJECT_FOCUS: return "focus";
    case EVENT_OBJECT_LIVEREGIONCHANGED: return "liveregion";
    case EVENT_SYSTEM_FOREGROUND: return "foreground";
    case EVENT_SYSTEM_ALERT: return "alert";
    case EVENT_SYSTEM_DIALOGSTART: return "dialogstart";
    case EVENT_SYSTEM_DIALOGEND: return "dialogend";
    case EVENT_SYSTEM_MENUSTART: return "menustart";
    case EVENT_SYSTEM_MENUEND: return "menuend";
    case EVENT_SYSTEM_MENUPOPUPSTART: return "menupopupstart";
    case EVENT_SYSTEM_MENUPOPUPEND: return "menupopupend";
    case EVENT_SYSTEM_CAPTURESTART: return "capturestart";
    case EVENT_SYSTEM_CAPTUREEND: return "captureend";
    case EVENT_OBJECT_CREATE: return "create";
    case EVENT_OBJECT_DESTROY: return "destroy";
    case EVENT_OBJECT_SHOW: return "show";
    case EVENT_OBJECT_HIDE: return "hide";
    case EVENT_OBJECT_STATECHANGE: return "statechange";
    case EVENT_OBJECT_NAMECHANGE: return "namechange";
    case EVENT_OBJECT_VALUECHANGE: return "valuechange";
    case EVENT_OBJECT_SELECTION: return "selection";
    case EVENT_OBJECT_LOCATIONCHANGE: return "locationchange";
    case EVENT_OBJECT_REORDER: return "reorder";
    default: return nullptr;
  }
}

std::string whereOf(HWND window) {
  if (!window) return "none";
  if (!IsWindow(window)) return "gone";
  if (window == form) return "Form1";
  if (GetParent(window) == form) {
    const int id = GetDlgCtrlID(window);
    for (std::size_t row = 0; row < window::kForm1Controls.size(); ++row) {
      if (win32::controlIdOf(row) == id) return runtime::utf8FromText(window::kForm1Controls[row].name);
    }
  }
  const HWND root = GetAncestor(window, GA_ROOT);
  if (root && GetWindow(root, GW_OWNER) == form) return root == window ? "report" : "report." + classOf(window);
  return classOf(window);
}

// The name and role a screen reader reads of the event's object.
void describe(HWND window, LONG object, LONG child, std::string& name, std::string& role) {
  IAccessible* accessible = nullptr;
  VARIANT id{};
  if (FAILED(AccessibleObjectFromEvent(window, static_cast<DWORD>(object), static_cast<DWORD>(child), &accessible, &id)) ||
      !accessible) {
    return;
  }
  BSTR text = nullptr;
  if (accessible->get_accName(id, &text) == S_OK && text) {
    name = utf8(text);
    SysFreeString(text);
  }
  VARIANT value{};
  if (accessible->get_accRole(id, &value) == S_OK && value.vt == VT_I4) {
    wchar_t roleText[128] = {};
    GetRoleTextW(static_cast<DWORD>(value.lVal), roleText, 128);
    role = utf8(roleText);
  }
  VariantClear(&value);
  VariantClear(&id);
  accessible->Release();
}

void CALLBACK onEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD time) {
  // Reading the object below runs messages, and so may hand over the next event before
  // this one is printed: the sequence is taken first.
  const unsigned long handed = ++sequence;
  const char* what = eventName(event);
  if (!what || event == EVENT_OBJECT_LOCATIONCHANGE) return;  // windows moving and carets: not read out
  std::string name, role;
  if (event != EVENT_OBJECT_DESTROY && event != EVENT_OBJECT_HIDE) describe(window, object, child, name, role);
  std::printf("%lu %lu %s %s name=%s role=%s\n", static_cast<unsigned long>(time), handed, what, whereOf(window).c_str(),
              name.c_str(), role.c_str());
  std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int seconds = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 10;
  const std::wstring caption = win32::wideFromText(window::kFormCaption);
  for (int tries = 0; !form && tries < seconds * 10; ++tries) {
    form = FindWindowW(nullptr, caption.c_str());
    if (!form) Sleep(100);
  }
  if (!form) {
    std::printf("no Form1\n");
    return 2;
  }
  DWORD process = 0;
  GetWindowThreadProcessId(form, &process);
  const HANDLE running = OpenProcess(SYNCHRONIZE, FALSE, process);
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  const HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_OBJECT_END, nullptr, onEvent, process, 0, WINEVENT_OUTOFCONTEXT);
  if (!hook || !running) {
    std::printf("could not listen\n");
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  // Out-of-context events come as messages to this thread; it listens until the program ends.
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &running, FALSE, INFINITE, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (woke == WAIT_OBJECT_0) break;
  }
  UnhookWinEvent(hook);
  CloseHandle(running);
  if (com) CoUninitialize();
  return 0;
}
