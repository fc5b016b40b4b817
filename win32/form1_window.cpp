#include "win32/form1_window.h"

#include <initguid.h>  // defines the GUIDs that oleacc.h declares
#include <oleacc.h>

#include <algorithm>
#include <string>

#include "win32/dpi.h"
#include "win32/version_record.h"

namespace win32 {

namespace {

using window::ControlKind;
using window::kForm1Controls;

constexpr wchar_t kClassName[] = L"SalesTaxForm1";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

// UI Automation's LiveSetting property, which a Win32 control is given through its
// annotation; the value 1 is Polite: a change is read out when the reader is free.
// {C12BCD8E-2A8E-4950-8AE7-3625111D58EB}
constexpr GUID kLiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr int kPolite = 1;

std::wstring wideFromUtf8(const char* text) {
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), static_cast<int>(wide.size()));
  if (!wide.empty()) wide.pop_back();  // the terminator
  return wide;
}

const wchar_t* wide(std::u16string_view text) { return reinterpret_cast<const wchar_t*>(text.data()); }
std::wstring wideString(std::u16string_view text) { return {text.begin(), text.end()}; }

std::u16string windowText(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return {text.begin(), text.end()};
}

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

// The first option button in tab order, where their group starts.
constexpr std::size_t firstOptionRow() {
  for (const std::size_t row : window::rowsByTabIndex()) {
    if (kForm1Controls[row].kind == ControlKind::OptionButton) return row;
  }
  return kForm1Controls.size();
}

constexpr std::size_t kPriceRow = window::rowOf(window::nameOf(ControlKind::TextBox));
constexpr std::size_t kTaxRow = window::rowOf(window::nameOf(ControlKind::TaxLabel));
constexpr std::size_t kTaxCaptionRow = window::labelRowOf(window::nameOf(ControlKind::TaxLabel));
constexpr std::size_t kCommandRow = window::rowOf(window::nameOf(ControlKind::CommandButton));

}  // namespace

void Form1Window::ComRelease::operator()(IAccPropServices* services) const { services->Release(); }

HWND Form1Window::create(HINSTANCE instance, int show) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconGroup));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconGroup), IMAGE_ICON,
                                                       GetSystemMetrics(SM_CXSMICON),
                                                       GetSystemMetrics(SM_CYSMICON), 0));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;

  // Placed where Windows places new windows; sized for the client area at the dpi it opens at.
  const HWND window = CreateWindowExW(kExStyle, kClassName, wide(window::kFormCaption), kStyle,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                      nullptr, nullptr, instance, nullptr);
  if (!window) return nullptr;
  ShowWindow(window, show);
  UpdateWindow(window);
  return window;
}

Form1Window::Form1Window(HWND window) : window_(window) {
  IAccPropServices* services = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                 reinterpret_cast<void**>(&services)))) {
    annotations_.reset(services);
  }
}

Form1Window::~Form1Window() = default;

LRESULT CALLBACK Form1Window::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = new Form1Window(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  const LRESULT result = self->handle(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete self;
  }
  return result;
}

LRESULT Form1Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      createControls();
      return 0;
    case WM_ACTIVATE:
      onActivate(wParam);
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
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void Form1Window::createControls() {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
    const window::ControlDescription& c = kForm1Controls[row];
    const SystemControl system = systemControlFor(c.kind);
    // Each control is a group of its own, but for the option buttons, which are one group
    // from the first in tab order on.
    const bool startsGroup = c.kind != ControlKind::OptionButton || row == firstOptionRow();
    controls_[row] = CreateWindowExW(system.exStyle, system.windowClass, wide(c.caption),
                                     WS_CHILD | WS_VISIBLE | system.style | (startsGroup ? WS_GROUP : 0),
                                     0, 0, 0, 0, window_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlIdOf(row))), instance,
                                     nullptr);
  }
  // The order on the window follows the tab indexes: the dialog manager goes by it.
  for (const std::size_t row : window::rowsByTabIndex()) {
    SetWindowPos(controls_[row], HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  SendMessageW(control(window::rowOf(window::nameOf(ControlKind::OptionButton, calc::State::Pennsylvania))),
               BM_SETCHECK, BST_CHECKED, 0);
  tabToTheSelectedOption();

  if (annotations_) {
    // The price box's own name; the tax label's name says what the number is, and it is a
    // live region, so that each new tax is read out.
    const window::ControlDescription& price = kForm1Controls[kPriceRow];
    annotations_->SetHwndPropStr(control(kPriceRow), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                 PROPID_ACC_NAME, wide(price.accessibleName));
    VARIANT live{};
    live.vt = VT_I4;
    live.lVal = kPolite;
    annotations_->SetHwndProp(control(kTaxRow), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                              kLiveSettingProperty, live);
  }
  describeTheTax(kForm1Controls[kTaxRow].caption);

  const UINT dpi = dpi::of(window_);
  layOut(dpi);
  const RECT client{0, 0, window::pixelsFromTwips(window::kClientWidthTwips, static_cast<int>(dpi)),
                    window::pixelsFromTwips(window::kClientHeightTwips, static_cast<int>(dpi))};
  const RECT frame = dpi::windowRectFor(client, kStyle, kExStyle, dpi);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  focus_ = control(kPriceRow);
}

// Places every control at `dpi` and gives it the system's message font at that dpi.
void Form1Window::layOut(UINT dpi) {
  dpi_ = dpi;
  const LOGFONTW logFont = dpi::messageFont(dpi);
  // The controls take the new font before the old one is deleted.
  std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> font(CreateFontIndirectW(&logFont));
  const int d = static_cast<int>(dpi);
  for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
    const window::TwipsRect r = window::windowTwipsOf(row);
    const int left = window::pixelsFromTwips(r.left, d);
    const int top = window::pixelsFromTwips(r.top, d);
    SetWindowPos(controls_[row], nullptr, left, top, window::pixelsFromTwips(r.right, d) - left,
                 window::pixelsFromTwips(r.bottom, d) - top, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(controls_[row], WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  }
  font_ = std::move(font);
  fitTaxLabel();
}

void Form1Window::onActivate(WPARAM wParam) {
  // Leaving the window keeps the focused control; coming back gives it the focus again.
  if (LOWORD(wParam) == WA_INACTIVE) {
    if (const HWND focus = GetFocus(); focus && IsChild(window_, focus)) focus_ = focus;
  } else if (focus_ && IsWindow(focus_)) {
    SetFocus(focus_);
  }
}

void Form1Window::onCommand(int id, int code) {
  // Return and Escape arrive as IDOK and IDCANCEL: no button is the default or the cancel
  // button, so they do nothing.
  if (code != BN_CLICKED || id < kFirstControlId || id >= controlIdOf(kForm1Controls.size())) return;
  const std::size_t row = static_cast<std::size_t>(id - kFirstControlId);
  if (row == kCommandRow) calculateClicked();
  if (kForm1Controls[row].kind == ControlKind::OptionButton) tabToTheSelectedOption();
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
    const MSAAPROPID name = PROPID_ACC_NAME;
    annotations_->ClearHwndProps(control(kPriceRow), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
    const MSAAPROPID taxProperties[] = {PROPID_ACC_NAME, kLiveSettingProperty};
    annotations_->ClearHwndProps(control(kTaxRow), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                 taxProperties, 2);
  }
  PostQuitMessage(0);
}

void Form1Window::calculateClicked() {
  // Once at a time: a click that reaches the window while the command's own report is up
  // does not run it again.
  if (calculating_) return;
  calculating_ = true;
  try {
    calc::calculateSalesTax(*this);
  } catch (const runtime::RunTimeError& error) {
    report(error);
    // The price is still in the box: put the user back there, with the text selected.
    if (const HWND price = control(kPriceRow)) {
      // Where no window manager hands the activation back from the closed report, the
      // window takes it itself.
      focus_ = price;
      SetForegroundWindow(window_);
      SetFocus(price);
      SendMessageW(price, EM_SETSEL, 0, -1);
    }
  }
  calculating_ = false;
}

// The report of a run-time error that leaves the command: a message box owned by the
// window, and so modal to it, titled with the product name.
void Form1Window::report(const runtime::RunTimeError& error) {
  const std::wstring text = L"Run-time error " + std::to_wstring(error.number()) + L"\n\n" +
                            wideFromUtf8(error.what());
  MessageBoxW(window_, text.c_str(), kProductName, MB_OK | MB_ICONERROR);
}

// The tax label's name for screen readers: what the number is, and the number.
void Form1Window::describeTheTax(std::u16string_view tax) {
  if (!annotations_ || !control(kTaxRow)) return;
  const std::wstring name = wideString(kForm1Controls[kTaxCaptionRow].caption) + L" " + wideString(tax);
  annotations_->SetHwndPropStr(control(kTaxRow), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                               PROPID_ACC_NAME, name.c_str());
}

// The tax label keeps its left, top and height and widens to show the whole tax; it never
// narrows below its described width.
void Form1Window::fitTaxLabel() {
  const HWND label = control(kTaxRow);
  if (!label) return;
  const std::u16string text = windowText(label);
  const HDC dc = GetDC(label);
  const HGDIOBJ previous = SelectObject(dc, font_.get());
  SIZE extent{};
  GetTextExtentPoint32W(dc, wide(text), static_cast<int>(text.size()), &extent);
  SelectObject(dc, previous);
  ReleaseDC(label, dc);
  const window::TwipsRect r = window::windowTwipsOf(kTaxRow);
  const int d = static_cast<int>(dpi_);
  const int described = window::pixelsFromTwips(r.right, d) - window::pixelsFromTwips(r.left, d);
  const int height = window::pixelsFromTwips(r.bottom, d) - window::pixelsFromTwips(r.top, d);
  SetWindowPos(label, nullptr, 0, 0, std::max(described, static_cast<int>(extent.cx)), height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
  SetWindowTextW(price, wideString(text).c_str());
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
  SetWindowTextW(label, wideString(text).c_str());
  fitTaxLabel();
  describeTheTax(text);
  NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, label, OBJID_CLIENT, CHILDID_SELF);
  return {};
}

}  // namespace win32
