// Reads the Windows program's window from outside, as the process tests' eyes under Wine:
// a console program that prints one "key value" line a fact.
//   win32probe window    the controls of Form1 by the table's names: text, rectangle in
//                        Form1's client area, checked state, a button shown pressed; the focus, the selection of
//                        the price box, the client size and dpi, the process's threads,
//                        whether every caption fits its control, and the last column of
//                        the tax label that its text's ink reaches, the price box's
//                        limit, and whether Form1 is its thread's active window
//   win32probe report    the window that Form1 owns (the error report): title, texts, and
//                        whether Form1 is disabled while it is up
//   win32probe close     asks Form1 to close (WM_CLOSE)
//   win32probe events [SECONDS]
//                        listens to what the program tells screen readers, as a screen
//                        reader does: waits that long (10 s) for Form1, hooks its process's
//                        WinEvents out of context, says "ready", and prints one line an
//                        event that screen readers act on until the program ends:
//                          TIME SEQUENCE EVENT WHERE name=NAME role=ROLE
//                        TIME is the event's own (dwmsEventTime); SEQUENCE the order they
//                        were handed over in, which need not be the order they happened in,
//                        so sort by TIME. WHERE is the table's name of a control of Form1,
//                        "Form1", "report" for the window Form1 owns and "report.CLASS" for
//                        its controls, "gone" for a window destroyed before it was read, or
//                        the window's class. NAME and ROLE are read back through oleacc.
//   win32probe product CODE
//                        what Windows Installer says of the product of that product code:
//                        whether it is installed, with its package kept for removing it,
//                        and its name, version and publisher as installed
// Exits with 2 when Form1, the report, or the installed product is not there.
#include <windows.h>
#include <msi.h>
#include <oleacc.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <map>
#include <string>

#include "win32/dpi.h"
#include "win32/form1_window.h"
#include "win32/text.h"
#include "window/form1_description.h"

namespace {

using window::ControlKind;
using window::kForm1Controls;

std::string utf8(const std::wstring& text) {
  std::string out(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  if (!out.empty()) out.pop_back();
  return out;
}

std::wstring textOf(HWND window) {
  wchar_t buffer[512] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
  return buffer;
}

std::wstring classOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

int threadsOf(DWORD process) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int threads = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    threads += entry.th32OwnerProcessID == process;
  }
  CloseHandle(snapshot);
  return threads;
}

// The caption as the control draws it fits: one line beside a radio button's circle, words
// broken onto lines within a push button, one line in a static or a group box's title.
// The caption is the control's text as it is now: the tax label's is the last tax.
bool captionFits(HWND control, const window::ControlDescription& c, UINT dpi) {
  const std::wstring caption = textOf(control);
  if (caption.empty() || c.kind == ControlKind::TextBox) return true;
  RECT box;
  GetClientRect(control, &box);
  const HDC dc = GetDC(control);
  // The font the window gives its controls (font handles do not cross processes everywhere).
  const LOGFONTW logFont = win32::dpi::messageFont(dpi);
  const HFONT font = CreateFontIndirectW(&logFont);
  const HGDIOBJ previous = SelectObject(dc, font);
  const int scale = static_cast<int>(dpi);
  RECT text{0, 0, box.right, 0};
  bool fits = true;
  switch (c.kind) {
    case ControlKind::OptionButton: {
      const int circle = MulDiv(GetSystemMetrics(SM_CXMENUCHECK), scale, 96) + MulDiv(4, scale, 96);
      text.right = box.right - circle;
      DrawTextW(dc, caption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
      fits = text.right <= box.right - circle && text.bottom <= box.bottom;
      break;
    }
    case ControlKind::CommandButton: {
      const int border = MulDiv(3, scale, 96);
      text.right = box.right - 2 * border;
      DrawTextW(dc, caption.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK);
      fits = text.right <= box.right - 2 * border && text.bottom <= box.bottom - 2 * border;
      break;
    }
    default:
      DrawTextW(dc, caption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
      fits = text.right <= box.right && (c.kind == ControlKind::Frame || text.bottom <= box.bottom);
  }
  SelectObject(dc, previous);
  DeleteObject(font);
  ReleaseDC(control, dc);
  return fits;
}

// The last column of the control, counted from its left edge, in which anything but its
// background (its most common colour) is drawn: read from the screen, as a user sees it.
int lastInkColumn(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  std::map<std::uint32_t, int> counts;
  for (int i = 0; i < width * height; ++i) ++counts[pixels[i] & 0xFFFFFF];
  std::uint32_t background = 0;
  int most = 0;
  for (const auto& [colour, count] : counts) {
    if (count > most) most = count, background = colour;
  }
  int last = -1;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if ((pixels[y * width + x] & 0xFFFFFF) != background && x > last) last = x;
    }
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return last;
}

int printWindow(HWND form) {
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(form, &process);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(thread, &gui);
  RECT client;
  GetClientRect(form, &client);
  // The dpi the window was laid out for, from the width of its client area.
  const UINT dpi = static_cast<UINT>((client.right * 1440 + window::kClientWidthTwips / 2) / window::kClientWidthTwips);
  std::printf("client %ld %ld\n", client.right, client.bottom);
  std::printf("dpi %u\n", dpi);
  std::printf("threads %d\n", threadsOf(process));
  std::printf("title %s\n", utf8(textOf(form)).c_str());
  std::string focus = "none";
  bool allFit = true;
  for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
    const window::ControlDescription& c = kForm1Controls[row];
    const HWND control = GetDlgItem(form, win32::controlIdOf(row));
    if (!control) {
      std::printf("missing %s\n", runtime::utf8FromText(c.name).c_str());
      continue;
    }
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    // Where the table puts it at this dpi; the tax label may be wider.
    const window::PixelRect t = window::pixelsFromTwips(window::windowTwipsOf(row), static_cast<int>(dpi));
    const int width = r.right - r.left;
    const bool placed = r.left == t.left && r.top == t.top && r.bottom - r.top == t.height &&
                        (c.kind == ControlKind::TaxLabel ? width >= t.width : width == t.width);
    const bool checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const bool fits = captionFits(control, c, dpi);
    allFit = allFit && fits;
    const bool pushed = c.kind == ControlKind::CommandButton && (SendMessageW(control, BM_GETSTATE, 0, 0) & BST_PUSHED);
    std::printf("control %s class=%s rect=%ld,%ld,%ld,%ld placed=%d checked=%d pushed=%d fits=%d text=%s\n",
                runtime::utf8FromText(c.name).c_str(), utf8(classOf(control)).c_str(), r.left, r.top, r.right, r.bottom, placed,
                checked, pushed, fits, utf8(textOf(control)).c_str());
    if (control == gui.hwndFocus) focus = runtime::utf8FromText(c.name);
    if (c.kind == ControlKind::TaxLabel) std::printf("tax_ink %d of %ld\n", lastInkColumn(control), r.right - r.left);
    if (c.kind == ControlKind::TextBox) {
      DWORD start = 0, end = 0;
      SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      std::printf("selection %lu %lu\n", start, end);
      std::printf("price_limit %lu\n", static_cast<unsigned long>(SendMessageW(control, EM_GETLIMITTEXT, 0, 0)));
    }
  }
  std::printf("focus %s\n", focus.c_str());
  std::printf("captions_fit %d\n", allFit);
  std::printf("enabled %d\n", IsWindowEnabled(form) ? 1 : 0);
  std::printf("active %d\n", gui.hwndActive == form);
  return 0;
}

struct Owned {
  HWND owner;
  HWND found = nullptr;
};

int printReport(HWND form) {
  Owned search{form};
  EnumWindows([](HWND window, LPARAM data) -> BOOL {
    auto* s = reinterpret_cast<Owned*>(data);
    if (GetWindow(window, GW_OWNER) == s->owner && IsWindowVisible(window)) {
      s->found = window;
      return FALSE;
    }
    return TRUE;
  }, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return 2;
  std::printf("report_title %s\n", utf8(textOf(search.found)).c_str());
  for (HWND child = GetWindow(search.found, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    const bool icon = classOf(child) == L"Static" && (style & SS_TYPEMASK) == SS_ICON;
    std::printf("report_%s %s\n", icon ? "icon" : "text", utf8(textOf(child)).c_str());
  }
  std::printf("form_enabled %d\n", IsWindowEnabled(form) ? 1 : 0);
  return 0;
}

// A property of an installed product as Windows Installer gives it (MsiGetProductInfoW),
// or nothing.
std::wstring productInfo(const wchar_t* code, const wchar_t* property) {
  wchar_t value[1024] = {};
  DWORD size = 1024;
  return MsiGetProductInfoW(code, property, value, &size) == ERROR_SUCCESS ? value : L"";
}

int printProduct(const wchar_t* code) {
  if (MsiQueryProductStateW(code) != INSTALLSTATE_DEFAULT) return 2;
  std::printf("product_installed 1\n");
  const std::wstring package = productInfo(code, L"LocalPackage");  // INSTALLPROPERTY_LOCALPACKAGE
  std::printf("product_package_kept %d\n", !package.empty() && GetFileAttributesW(package.c_str()) != INVALID_FILE_ATTRIBUTES);
  std::printf("product_name %s\n", utf8(productInfo(code, L"InstalledProductName")).c_str());  // ..._INSTALLEDPRODUCTNAME
  std::printf("product_version %s\n", utf8(productInfo(code, L"VersionString")).c_str());       // ..._VERSIONSTRING
  std::printf("product_publisher %s\n", utf8(productInfo(code, L"Publisher")).c_str());         // ..._PUBLISHER
  return 0;
}

// The window of an event as the test names it (WHERE above).
HWND listenedTo = nullptr;
std::string whereOf(HWND window) {
  if (!window) return "none";
  if (!IsWindow(window)) return "gone";
  if (window == listenedTo) return "Form1";
  if (GetParent(window) == listenedTo) {
    const int id = GetDlgCtrlID(window);
    for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
      if (win32::controlIdOf(row) == id) return runtime::utf8FromText(kForm1Controls[row].name);
    }
  }
  const HWND root = GetAncestor(window, GA_ROOT);
  if (root && GetWindow(root, GW_OWNER) == listenedTo) return root == window ? "report" : "report." + utf8(classOf(window));
  return utf8(classOf(window));
}

// The events screen readers speak from, by the name the test reads; others are not printed.
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
    case EVENT_OBJECT_STATECHANGE: return "statechange";
    case EVENT_OBJECT_NAMECHANGE: return "namechange";
    case EVENT_OBJECT_VALUECHANGE: return "valuechange";
    default: return nullptr;
  }
}

// The name and role a screen reader reads of an event's object, on one line each.
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
  for (std::string* line : {&name, &role}) {
    for (char& c : *line) c = c == '\n' || c == '\r' ? ' ' : c;
  }
}

unsigned long handedOver = 0;
void CALLBACK onEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD time) {
  // Reading the object runs messages, and so may hand over the next event before this one
  // is printed: its place in the sequence is taken first.
  const unsigned long sequence = ++handedOver;
  const char* what = eventName(event);
  if (!what) return;
  std::string name, role;
  describe(window, object, child, name, role);
  std::printf("%lu %lu %s %s name=%s role=%s\n", static_cast<unsigned long>(time), sequence, what, whereOf(window).c_str(),
              name.c_str(), role.c_str());
  std::fflush(stdout);
}

int printEvents(int seconds) {
  const std::wstring caption = win32::wideFromText(window::kFormCaption);
  for (int tries = 0; !listenedTo && tries < seconds * 10; ++tries) {
    listenedTo = FindWindowW(nullptr, caption.c_str());
    if (!listenedTo) Sleep(100);
  }
  if (!listenedTo) return 2;
  DWORD process = 0;
  GetWindowThreadProcessId(listenedTo, &process);
  const HANDLE running = OpenProcess(SYNCHRONIZE, FALSE, process);
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  const HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_OBJECT_END, nullptr, onEvent, process, 0, WINEVENT_OUTOFCONTEXT);
  if (!hook || !running) {
    std::printf("could not listen\n");
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  // Out-of-context events come as messages to this thread, until the program ends.
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Aware of the dpi as the program is: a process that is not is shown another's windows
  // scaled to 96 dpi (as Windows 10 and Wine 10 do).
  win32::dpi::declareAwareness();
  const std::wstring command = argc > 1 ? argv[1] : L"window";
  if (command == L"product") {
    const int status = argc > 2 ? printProduct(argv[2]) : 1;
    std::fflush(stdout);
    return status;
  }
  if (command == L"events") return printEvents(argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 10);
  const HWND form = FindWindowW(nullptr, win32::wideFromText(window::kFormCaption).c_str());
  if (!form) return 2;
  int status = 1;
  if (command == L"window") status = printWindow(form);
  if (command == L"report") status = printReport(form);
  if (command == L"close") status = PostMessageW(form, WM_CLOSE, 0, 0) ? 0 : 1;
  std::fflush(stdout);
  return status;
}
