#include "win32/form1_window.h"

#include <initguid.h>  // defines the GUIDs that oleacc.h declares
#include <oleacc.h>

#include <string>

#include "app/version.h"
#include "win32/dpi.h"
#include "win32/message_loop.h"
#include "win32/text.h"

namespace win32 {

namespace {

using window::ControlKind;
using window::kForm1Controls;

constexpr wchar_t kClassName[] = L"SalesTaxForm1";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
// The class's small icon, loaded at the system's small size: not shared, so it is the
// class's own, freed once the class is unregistered.
HICON classSmallIcon = nullptr;

// UI Automation's LiveSetting property, which a Win32 control is given through its
// annotation; the value 1 is Polite: a change is read out when the reader is free.
// {C12BCD8E-2A8E-4950-8AE7-3625111D58EB}
constexpr GUID kLiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr int kPolite = 1;

using runtime::ControlStatus;

// The system class and styles of each kind. Option buttons are siblings of their frame, as
// in a dialog: the group is the run of option buttons from the one with WS_GROUP.
struct SystemControl {
  const wchar_t* windowClass;
  DWORD style;
  DWORD exStyle = 0;
};
SystemControl systemControlFor(ControlKind kind) {
  switch (kind) {
    case ControlKind::CommandButton: return {L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP};
    case ControlKind::TextBox: return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::Frame: return {L"BUTTON", BS_GROUPBOX};
    case ControlKind::OptionButton: return {L"BUTTON", BS_AUTORADIOBUTTON};
    case ControlKind::Label: return {L"STATIC", SS_LEFT | SS_NOPREFIX};
    case ControlKind::TaxLabel: return {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY};
  }
  return {L"STATIC", 0};
}

// The command's access key as the keyboard's layout sends it (its virtual key); 0 where the
// caption marks none or the layout has no such key.
WPARAM commandVirtualKey() {
  const char16_t key = window::accessKeyOf(kForm1Controls[window::kCommandRow].caption);
  const SHORT scan = key ? VkKeyScanW(static_cast<wchar_t>(key)) : -1;
  return scan == -1 ? 0 : LOBYTE(scan);
}

// The first option button in tab order, where their group starts.
constexpr std::size_t firstOptionRow() {
  for (const std::size_t row : window::rowsByTabIndex()) {
    if (kForm1Controls[row].kind == ControlKind::OptionButton) return row;
  }
  return kForm1Controls.size();
}

using window::kCommandRow;
using window::kPriceRow;
using window::kTaxRow;

window::PixelRect pixelsOf(std::size_t row, UINT dpi) {
  return window::pixelsFromTwips(window::windowTwipsOf(row), static_cast<int>(dpi));
}

// How far the last glyph's ink reaches past its advance (a negative right bearing), in the
// font selected into `dc`; 0 where the font gives no such widths.
int overhangOf(HDC dc, std::wstring_view text) {
  ABC abc{};
  if (text.empty() || !GetCharABCWidthsW(dc, text.back(), text.back(), &abc)) return 0;
  return abc.abcC < 0 ? -abc.abcC : 0;
}

}  // namespace

void Form1Window::ComRelease::operator()(IAccPropServices* services) const { services->Release(); }

HWND Form1Window::create(HINSTANCE instance, int show) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(app::version::kIconGroup));
  // Without an icon (not found, out of memory) the window shows the system's default.
  if (!classSmallIcon) {
    classSmallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(app::version::kIconGroup), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  }
  windowClass.hIconSm = classSmallIcon;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;

  // Placed where Windows places new windows; sized for the client area at the dpi it opens at.
  const HWND window = CreateWindowExW(kExStyle, kClassName, wideFromText(window::kFormCaption).c_str(), kStyle,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                      nullptr, nullptr, instance, nullptr);
  if (!window) return nullptr;
  ShowWindow(window, show);
  UpdateWindow(window);
  return window;
}

void Form1Window::unregister(HINSTANCE instance) {
  // The icon is the class's while it is registered (a window of it may still be there).
  if (UnregisterClassW(kClassName, instance) && classSmallIcon) {
    DestroyIcon(classSmallIcon);
    classSmallIcon = nullptr;
  }
}

Form1Window::Form1Window(HWND window) : window_(window) {
  IAccPropServices* services = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                 reinterpret_cast<void**>(&services)))) {
    annotations_.reset(services);
  }
}

Form1Window::~Form1Window() = default;

LRESULT CALLBACK Form1Window::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = new Form1Window(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  ++self->handling_;
  const LRESULT result = self->handle(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->destroyed_ = true;
  }
  if (--self->handling_ == 0 && self->destroyed_) delete self;
  return result;
}

LRESULT Form1Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return createControls() ? 0 : -1;  // -1: CreateWindowExW fails
    case WM_ACTIVATE:
      onActivate(wParam);
      return 0;
    case WM_CLOSE:
      onClose();
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_DPICHANGED:
      onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      onDestroy();
      return 0;
    case kOwnKeyMessage:
      return onOwnKey(*reinterpret_cast<const MSG*>(lParam));
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

// Fails when Windows refuses a control.
bool Form1Window::createControls() {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
    const window::ControlDescription& c = kForm1Controls[row];
    const SystemControl system = systemControlFor(c.kind);
    // Each control is a group of its own, but for the option buttons, which are one group
    // from the first in tab order on.
    const bool startsGroup = c.kind != ControlKind::OptionButton || row == firstOptionRow();
    controls_[row] = CreateWindowExW(system.exStyle, system.windowClass, wideFromText(c.caption).c_str(),
                                     WS_CHILD | WS_VISIBLE | system.style | (startsGroup ? WS_GROUP : 0),
                                     0, 0, 0, 0, window_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlIdOf(row))), instance,
                                     nullptr);
    if (!controls_[row]) return false;
    if (c.kind == ControlKind::TextBox) SendMessageW(controls_[row], EM_SETLIMITTEXT, window::kPriceMaxLength, 0);
    if (c.selectedAtStart) SendMessageW(controls_[row], BM_SETCHECK, BST_CHECKED, 0);
  }
  // The order on the window follows the tab indexes: the dialog manager goes by it.
  for (const std::size_t row : window::rowsByTabIndex()) {
    SetWindowPos(controls_[row], HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  tabToTheSelectedOption();
  nameForScreenReaders();

  const UINT dpi = dpi::of(window_);
  layOut(dpi);
  const window::PixelSize size = window::clientPixels(static_cast<int>(dpi));
  const RECT client{0, 0, size.width, size.height};
  const RECT frame = dpi::windowRectFor(client, kStyle, kExStyle, dpi);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  focus_ = control(window::kFocusAtStartRow);
  return true;
}

// The names screen readers hear, from the table: the caption of the label that names a
// control (so the price box is "Enter Price:", and a screen reader that also speaks the
// label hears it once); the tax label's says what the number is and the number. The tax
// label is a live region, so that each new tax is read out.
void Form1Window::nameForScreenReaders() {
  if (!annotations_) return;
  for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
    const window::ControlDescription& c = kForm1Controls[row];
    const std::size_t label = window::labelRowOf(c.name);
    if (row == kTaxRow) {
      setAccessibleName(row, window::describeTheTax(c.caption));
    } else if (label < kForm1Controls.size()) {
      setAccessibleName(row, kForm1Controls[label].caption);
    }
  }
  VARIANT live{};
  live.vt = VT_I4;
  live.lVal = kPolite;
  annotations_->SetHwndProp(control(kTaxRow), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                            kLiveSettingProperty, live);
}

void Form1Window::setAccessibleName(std::size_t row, std::u16string_view name) {
  if (!annotations_ || !control(row)) return;
  annotations_->SetHwndPropStr(control(row), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                               wideFromText(name).c_str());
}

// Places every control at `dpi` and gives it the system's message font at that dpi.
void Form1Window::layOut(UINT dpi) {
  dpi_ = dpi;
  const LOGFONTW logFont = dpi::messageFont(dpi);
  // The controls take the new font before the old one is deleted. Without one (GDI's objects
  // used up), they keep the font they have.
  std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> font(CreateFontIndirectW(&logFont));
  for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
    const window::PixelRect r = pixelsOf(row, dpi);
    SetWindowPos(controls_[row], nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (font) SendMessageW(controls_[row], WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  }
  if (font) font_ = std::move(font);
  fitTaxLabel();
}

void Form1Window::onActivate(WPARAM wParam) {
  // Leaving the window keeps the focused control; coming back gives it the focus again. Left
  // for a report, it comes back to the price box, where the report leaves the focus: a screen
  // reader is not first told of the control that had it before.
  if (LOWORD(wParam) == WA_INACTIVE) {
    apply(commandKey_.cancelled());
    if (click_.phase() == window::CalculateClick::Phase::Reporting) {
      focus_ = control(kPriceRow);
    } else if (const HWND focus = GetFocus(); focus && IsChild(window_, focus)) {
      focus_ = focus;
    }
  } else if (focus_ && IsWindow(focus_)) {
    SetFocus(focus_);
  }
}

void Form1Window::onClose() {
  if (click_.phase() == window::CalculateClick::Phase::Idle) {
    DestroyWindow(window_);
    return;
  }
  // The report's message box is the popup the window owns (GetLastActivePopup: Wine's
  // GetWindow knows no GW_ENABLEDPOPUP); it closes as OK does, and the report, once gone,
  // closes the window.
  closeAfterReport_ = true;
  if (const HWND report = GetLastActivePopup(window_); report && report != window_) PostMessageW(report, WM_CLOSE, 0, 0);
}

void Form1Window::onCommand(int id, int code) {
  // Return and Escape arrive as IDOK and IDCANCEL: no button is the default or the cancel
  // button, so they do nothing.
  if (code != BN_CLICKED || id < kFirstControlId || id >= controlIdOf(kForm1Controls.size())) return;
  const std::size_t row = static_cast<std::size_t>(id - kFirstControlId);
  if (row == kCommandRow) {
    apply(commandKey_.cancelled());  // this click is the one the held key would have made
    click_();
  }
  if (kForm1Controls[row].kind == ControlKind::OptionButton) tabToTheSelectedOption();
}

// The command's access key with Alt, as window::CommandKey has it: the button shown pressed
// while the key is down, its repeats (with Alt or after Alt is let go) nothing, and one click
// as it goes up, with the focus left where it is. The dialog manager would click at once and
// move the focus to the button and back, which a screen reader reads out. Whether the key is
// the window's own.
bool Form1Window::onOwnKey(const MSG& key) {
  const WPARAM command = commandVirtualKey();
  if (!command || key.wParam != command || (key.hwnd != window_ && !IsChild(window_, key.hwnd))) return false;
  const WORD flags = HIWORD(key.lParam);
  switch (key.message) {
    case WM_SYSKEYDOWN:
    case WM_KEYDOWN:
      if (!commandKey_.held() && (key.message != WM_SYSKEYDOWN || !(flags & KF_ALTDOWN))) return false;
      apply(commandKey_.pressed((flags & KF_REPEAT) != 0));
      return true;  // a repeat too: a key held since before the window came clicks nothing
    case WM_SYSKEYUP:
    case WM_KEYUP:
      return apply(commandKey_.released());
    default:
      return false;
  }
}

// Does what the access key's rule says; whether there was anything to do.
bool Form1Window::apply(window::CommandKey::Effect effect) {
  using Effect = window::CommandKey::Effect;
  if (effect == Effect::None) return false;
  if (const HWND button = control(kCommandRow)) SendMessageW(button, BM_SETSTATE, effect == Effect::ShowDown, 0);
  if (effect == Effect::ShowUpAndClick) click_();
  return true;
}

// Tab comes into the states at the selected one, as the only tab stop among them.
void Form1Window::tabToTheSelectedOption() {
  for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
    if (kForm1Controls[row].kind != ControlKind::OptionButton || !control(row)) continue;
    const LONG_PTR style = GetWindowLongPtrW(controls_[row], GWL_STYLE);
    const bool selected = SendMessageW(controls_[row], BM_GETCHECK, 0, 0) == BST_CHECKED;
    SetWindowLongPtrW(controls_[row], GWL_STYLE, selected ? style | WS_TABSTOP : style & ~LONG_PTR{WS_TABSTOP});
  }
}

void Form1Window::onDpiChanged(UINT dpi, const RECT& suggested) {
  layOut(dpi);
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1Window::onDestroy() {
  if (annotations_) {
    const MSAAPROPID properties[] = {PROPID_ACC_NAME, kLiveSettingProperty};
    for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
      if (control(row)) {
        annotations_->ClearHwndProps(control(row), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties, 2);
      }
    }
  }
  PostQuitMessage(0);
}

void Form1Window::announceTax(runtime::TextView description) {
  setAccessibleName(kTaxRow, description);
  if (const HWND label = control(kTaxRow)) NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, label, OBJID_CLIENT, CHILDID_SELF);
}

void Form1Window::selectPriceForCorrection() {
  const HWND price = control(kPriceRow);
  if (!price) return;
  // Where no window manager hands the activation back from the closed report, the window
  // takes it itself.
  focus_ = price;
  SetForegroundWindow(window_);
  SetFocus(price);
  SendMessageW(price, EM_SETSEL, 0, -1);
}

void Form1Window::show(const window::ErrorReport& report) {
  const std::wstring text = wideFromUtf8(report.heading) + L"\n\n" + wideFromUtf8(report.message);
  MessageBoxW(window_, text.c_str(), wideFromUtf8(report.title).c_str(), MB_OK | MB_ICONERROR);
  click_.reportDismissed();
  // Handled from the message loop, where no handler is running on the window any more.
  if (closeAfterReport_ && !destroyed_) PostMessageW(window_, WM_CLOSE, 0, 0);
}

// The tax label widens to show the whole tax, the last glyph's ink included.
void Form1Window::fitTaxLabel() {
  const HWND label = control(kTaxRow);
  if (!label) return;
  const std::wstring text = wideFromText(windowText(label));
  const HDC dc = GetDC(label);
  if (!dc) return;
  // The control's font; without one of ours, the system's, which a new DC has.
  const HGDIOBJ previous = font_ ? SelectObject(dc, font_.get()) : nullptr;
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  // And a pixel more, for the smoothing of a glyph whose ink ends at its advance.
  const int needed = static_cast<int>(extent.cx) + overhangOf(dc, text) + 1;
  if (previous) SelectObject(dc, previous);
  ReleaseDC(label, dc);
  const window::PixelRect r = window::widenedTaxLabel(pixelsOf(kTaxRow, dpi_), needed);
  SetWindowPos(label, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND Form1Window::control(std::size_t row) const {
  return IsWindow(controls_[row]) ? controls_[row] : nullptr;
}

runtime::ControlStatus Form1Window::readSelected(calc::State state, bool& selected) {
  const std::u16string_view name = window::nameOf(ControlKind::OptionButton, state);
  const HWND option = control(window::rowOf(name));
  if (!option) return ControlStatus::gone(name);
  selected = SendMessageW(option, BM_GETCHECK, 0, 0) == BST_CHECKED;
  return {};
}

runtime::ControlStatus Form1Window::readPriceText(runtime::Text& text) {
  const HWND price = control(kPriceRow);
  if (!price) return ControlStatus::gone(kForm1Controls[kPriceRow].name);
  text = windowText(price);
  return {};
}

runtime::ControlStatus Form1Window::setPriceText(runtime::TextView text) {
  const HWND price = control(kPriceRow);
  if (!price) return ControlStatus::gone(kForm1Controls[kPriceRow].name);
  SetWindowTextW(price, wideFromText(text).c_str());
  return {};
}

runtime::ControlStatus Form1Window::focusPrice() {
  const HWND price = control(kPriceRow);
  if (!price) return ControlStatus::gone(kForm1Controls[kPriceRow].name);
  SetFocus(price);
  return {};
}

runtime::ControlStatus Form1Window::setTaxCaption(runtime::TextView text) {
  const HWND label = control(kTaxRow);
  if (!label) return ControlStatus::gone(kForm1Controls[kTaxRow].name);
  SetWindowTextW(label, wideFromText(text).c_str());
  fitTaxLabel();
  return {};
}

}  // namespace win32
