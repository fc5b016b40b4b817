#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string_view>

#include "window/calculate_click.h"
#include "window/command_key.h"
#include "window/form1_description.h"

struct IAccPropServices;

namespace win32 {

// The control identifier of the table's row: the rows in order from here, clear of IDOK
// and IDCANCEL, which the dialog manager sends for Return and Escape.
inline constexpr int kFirstControlId = 100;
constexpr int controlIdOf(std::size_t row) { return kFirstControlId + static_cast<int>(row); }

// The calculator's one window on Win32, built from the control table with the system's own
// controls (BUTTON, EDIT, STATIC); a click runs the shared window::CalculateClick, and its
// reports are message boxes owned by the window. Its state lives with the window
// (GWLP_USERDATA) from WM_NCCREATE until the last message handler running on it has
// returned after WM_NCDESTROY, so that a handler that waits in a message box's loop, as a
// report does, never returns into a deleted object. The message loop offers it every key
// first (kOwnKeyMessage): it keeps the command's access key, which follows the shared
// window::CommandKey (pressed while held, one click on its release, the focus left where it
// is); IsDialogMessage gives it the rest: Tab, the arrow keys within the states and the
// states' access keys.
// Closed while a report is up, it closes the report first, and itself once the report has
// gone.
class Form1Window final : private window::Form1Controls, private window::ErrorReporter {
 public:
  // Registers the window class, creates Form1 with its controls and shows it. Returns
  // nullptr when Windows refuses; the window's client area is the described size at the
  // dpi of the monitor it opens on.
  static HWND create(HINSTANCE instance, int show);
  // Once the window is gone: unregisters the window class and frees its small icon.
  static void unregister(HINSTANCE instance);

  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;
  ~Form1Window() override;

 private:
  explicit Form1Window(HWND window);
  // No exception crosses into Windows: one that reaches here ends the program.
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

  bool createControls();
  void nameForScreenReaders();
  void layOut(UINT dpi);
  void onActivate(WPARAM wParam);
  void onClose();
  void onCommand(int id, int code);
  bool onOwnKey(const MSG& key);
  bool apply(window::CommandKey::Effect effect);
  void onDpiChanged(UINT dpi, const RECT& suggested);
  void onDestroy();
  void tabToTheSelectedOption();
  void setAccessibleName(std::size_t row, std::u16string_view name);
  void fitTaxLabel();
  HWND control(std::size_t row) const;

  // The control operations of a click, over the controls.
  runtime::ControlStatus readSelected(calc::State state, bool& selected) override;
  runtime::ControlStatus readPriceText(runtime::Text& text) override;
  runtime::ControlStatus setPriceText(runtime::TextView text) override;
  runtime::ControlStatus focusPrice() override;
  runtime::ControlStatus setTaxCaption(runtime::TextView text) override;
  // The tax label's name, and the live region's notification.
  void announceTax(runtime::TextView description) override;
  void selectPriceForCorrection() override;
  // A message box owned by the window, and so modal to it; returns once it is dismissed.
  void show(const window::ErrorReport& report) override;

  struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
  };
  struct ComRelease {
    void operator()(IAccPropServices* services) const;
  };

  HWND window_;
  std::array<HWND, window::kForm1Controls.size()> controls_{};
  std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> font_;
  std::unique_ptr<IAccPropServices, ComRelease> annotations_;  // null where COM has none
  UINT dpi_ = 96;
  HWND focus_ = nullptr;  // the control that had the focus when the window was left
  int handling_ = 0;      // message handlers running on the window, nested ones included
  bool destroyed_ = false;         // WM_NCDESTROY has come: deleted when handling_ is back to 0
  bool closeAfterReport_ = false;  // asked to close while the report was up
  window::CalculateClick click_{*this, *this};
  window::CommandKey commandKey_;
};

}  // namespace win32
