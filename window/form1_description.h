#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "calc/rates.h"

namespace window {

enum class ControlKind { CommandButton, TextBox, Frame, OptionButton, Label, TaxLabel };

// One control of the window as it is described: kind, name, container, caption, rectangle
// in twips (relative to the inside of the container) and place in the tab order; then what
// only some kinds have.
struct ControlDescription {
  ControlKind kind;
  std::u16string_view name;
  std::u16string_view container;
  std::u16string_view caption;
  int left, top, width, height;
  int tabIndex;
  calc::State state = {};                  // an option button: the state it selects
  bool selectedAtStart = false;            // an option button: the one selected at start
  std::u16string_view labels = {};         // a label: the control it names for screen readers
};

inline constexpr std::u16string_view kFormName = u"Form1";
inline constexpr std::u16string_view kFormCaption = u"Form1";
inline constexpr int kClientWidthTwips = 6975;
inline constexpr int kClientHeightTwips = 6645;

// The most characters the price box holds, in every front end: the platform's default of a
// single-line text box, and what the engine's tests read whole and exact.
inline constexpr int kPriceMaxLength = 32767;

using calc::State;
using K = ControlKind;

// In the order the controls are created.
inline constexpr std::array<ControlDescription, 11> kForm1Controls{{
    {K::CommandButton, u"cmdCalculateSalesTax", u"Form1", u"&Calculate Sales Tax", 4320, 2640, 1215, 495, 9},
    {K::TextBox, u"txtPrice", u"Form1", u"", 4320, 1080, 1095, 375, 0},
    {K::Frame, u"Frame1", u"Form1", u"States", 360, 840, 1815, 3135, 1},
    {K::OptionButton, u"optDE", u"Frame1", u"&Delaware", 240, 2520, 1335, 255, 6, State::Delaware},
    {K::OptionButton, u"optNY", u"Frame1", u"&New York", 240, 2040, 1335, 255, 5, State::NewYork},
    {K::OptionButton, u"optMD", u"Frame1", u"&Maryland", 240, 1440, 1455, 375, 4, State::Maryland},
    {K::OptionButton, u"optOH", u"Frame1", u"&Ohio", 240, 960, 1455, 255, 3, State::Ohio},
    {K::OptionButton, u"optPA", u"Frame1", u"&Pennsylvania", 240, 480, 1455, 255, 2, State::Pennsylvania, true},
    {K::Label, u"Label1", u"Form1", u"Sales Tax is:", 3000, 1920, 1095, 255, 10, {}, false, u"lblSalesTax"},
    {K::Label, u"Label2", u"Form1", u"Enter Price:", 3000, 1200, 975, 255, 8, {}, false, u"txtPrice"},
    {K::TaxLabel, u"lblSalesTax", u"Form1", u"0", 4320, 1920, 615, 255, 7},
}};

// The checks below take any table, so that the tests can show each one refusing a table
// that breaks it; each is asserted of the window's table further down.
template <std::size_t N>
using Table = std::array<ControlDescription, N>;

// The row of the control called `name`; the table's size when there is none.
template <std::size_t N>
constexpr std::size_t rowIn(const Table<N>& table, std::u16string_view name) {
  std::size_t row = 0;
  while (row < N && table[row].name != name) ++row;
  return row;
}

// How many controls of `kind` the table has; of option buttons, those that select `state`.
template <std::size_t N>
constexpr int countIn(const Table<N>& table, ControlKind kind, calc::State state = {}) {
  int count = 0;
  for (const ControlDescription& c : table) count += c.kind == kind && (kind != K::OptionButton || c.state == state);
  return count;
}

// The row of the only control of `kind` (of option buttons, the one for `state`); the
// table's size when there is none.
template <std::size_t N>
constexpr std::size_t onlyRowIn(const Table<N>& table, ControlKind kind, calc::State state = {}) {
  std::size_t row = 0;
  while (row < N && !(table[row].kind == kind && (kind != K::OptionButton || table[row].state == state))) ++row;
  return row;
}

// The row of the label that names the control called `name`; the table's size when none
// does. An empty name is no control's.
template <std::size_t N>
constexpr std::size_t labelRowIn(const Table<N>& table, std::u16string_view name) {
  if (name.empty()) return N;
  std::size_t row = 0;
  while (row < N && table[row].labels != name) ++row;
  return row;
}

// What every front end relies on finding, each exactly once: the price box, the tax label
// and the label that names it, the command button, the frame, and one option button for
// each state of the rate table and no other.
template <std::size_t N>
constexpr bool everyRoleIsThereOnce(const Table<N>& table) {
  for (const ControlKind kind : {K::TextBox, K::TaxLabel, K::CommandButton, K::Frame}) {
    if (countIn(table, kind) != 1) return false;
  }
  int options = 0;
  for (const calc::RateRow& row : calc::kRateTable) {
    if (countIn(table, K::OptionButton, row.state) != 1) return false;
    ++options;
  }
  int allOptions = 0;
  for (const ControlDescription& c : table) allOptions += c.kind == K::OptionButton;
  if (allOptions != options) return false;
  int taxLabels = 0;
  for (const ControlDescription& c : table) taxLabels += c.labels == table[onlyRowIn(table, K::TaxLabel)].name;
  return taxLabels == 1;
}

// Names are unique and no name is empty.
template <std::size_t N>
constexpr bool namesAreUnique(const Table<N>& table) {
  for (std::size_t i = 0; i < N; ++i) {
    if (table[i].name.empty() || table[i].name == kFormName || rowIn(table, table[i].name) != i) return false;
  }
  return true;
}

// The tab indexes number the controls from 0, each once.
template <std::size_t N>
constexpr bool tabIndexesAreEachUsedOnce(const Table<N>& table) {
  std::array<bool, N> used{};
  for (const ControlDescription& c : table) {
    if (c.tabIndex < 0 || c.tabIndex >= static_cast<int>(N)) return false;
    if (used[static_cast<std::size_t>(c.tabIndex)]) return false;
    used[static_cast<std::size_t>(c.tabIndex)] = true;
  }
  return true;
}

// The window opens with one option button selected.
template <std::size_t N>
constexpr bool oneOptionIsSelectedAtStart(const Table<N>& table) {
  int selected = 0;
  for (const ControlDescription& c : table) {
    if (c.selectedAtStart && c.kind != K::OptionButton) return false;
    selected += c.selectedAtStart;
  }
  return selected == 1;
}

// Every control's container is the window or a control created before it.
template <std::size_t N>
constexpr bool containersComeFirst(const Table<N>& table) {
  for (std::size_t i = 0; i < N; ++i) {
    if (table[i].container != kFormName && rowIn(table, table[i].container) >= i) return false;
  }
  return true;
}

// What names another control is a plain label, and names a control of the window.
template <std::size_t N>
constexpr bool labelsNameControls(const Table<N>& table) {
  for (const ControlDescription& c : table) {
    if (!c.labels.empty() && (c.kind != K::Label || rowIn(table, c.labels) == N)) return false;
  }
  return true;
}

// Access keys. An '&' in a caption marks the next character as the control's access key,
// shown underlined; "&&" stands for one '&'. Only the first marker counts.

// The access key of a caption: where it stands in the caption as shown (without its
// markers), and the character; npos and 0 when the caption marks none.
struct AccessKey {
  std::size_t index = std::u16string_view::npos;
  char16_t character = 0;
};
[[nodiscard]] constexpr AccessKey accessKeyIn(std::u16string_view markup) {
  std::size_t shown = 0;
  for (std::size_t i = 0; i < markup.size(); ++i, ++shown) {
    if (markup[i] == u'&' && i + 1 < markup.size() && markup[++i] != u'&') return {shown, markup[i]};
  }
  return {};
}

// The caption as shown: its markers taken out, "&&" shown as '&'.
[[nodiscard]] inline std::u16string shownCaption(std::u16string_view markup) {
  std::u16string shown;
  for (std::size_t i = 0; i < markup.size(); ++i) {
    if (markup[i] == u'&' && i + 1 < markup.size()) ++i;
    shown += markup[i];
  }
  return shown;
}

// The key pressed with Alt for a caption's access key: an upper-case letter or a digit. 0
// when the caption has none, or marks a character that is neither.
[[nodiscard]] constexpr char16_t accessKeyOf(std::u16string_view markup) {
  const char16_t c = accessKeyIn(markup).character;
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - u'a' + u'A');
  if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) return c;
  return 0;
}

// Every marked access key is a letter or digit, and no two controls share one; labels have
// none (their captions are shown as they are).
template <std::size_t N>
constexpr bool accessKeysAreUnique(const Table<N>& table) {
  for (std::size_t i = 0; i < N; ++i) {
    const bool marked = accessKeyIn(table[i].caption).index != std::u16string_view::npos;
    const char16_t key = accessKeyOf(table[i].caption);
    if (marked && (key == 0 || table[i].kind == K::Label || table[i].kind == K::TaxLabel)) return false;
    for (std::size_t j = 0; j < i && key; ++j) {
      if (accessKeyOf(table[j].caption) == key) return false;
    }
  }
  return true;
}

static_assert(everyRoleIsThereOnce(kForm1Controls));
static_assert(namesAreUnique(kForm1Controls));
static_assert(tabIndexesAreEachUsedOnce(kForm1Controls));
static_assert(oneOptionIsSelectedAtStart(kForm1Controls));
static_assert(containersComeFirst(kForm1Controls));
static_assert(labelsNameControls(kForm1Controls));
static_assert(accessKeysAreUnique(kForm1Controls));

// The window's table, by name and by role.
constexpr std::size_t rowOf(std::u16string_view name) { return rowIn(kForm1Controls, name); }
constexpr std::size_t labelRowOf(std::u16string_view name) { return labelRowIn(kForm1Controls, name); }
inline constexpr std::size_t kPriceRow = onlyRowIn(kForm1Controls, K::TextBox);
inline constexpr std::size_t kTaxRow = onlyRowIn(kForm1Controls, K::TaxLabel);
inline constexpr std::size_t kCommandRow = onlyRowIn(kForm1Controls, K::CommandButton);
inline constexpr std::size_t kFrameRow = onlyRowIn(kForm1Controls, K::Frame);
inline constexpr std::size_t kTaxCaptionRow = labelRowOf(kForm1Controls[kTaxRow].name);  // "Sales Tax is:"
constexpr std::size_t optionRowOf(calc::State state) { return onlyRowIn(kForm1Controls, K::OptionButton, state); }

// The name of the control of `kind`; of an option button, the one that selects `state`.
constexpr std::u16string_view nameOf(ControlKind kind, calc::State state = {}) {
  return kForm1Controls[onlyRowIn(kForm1Controls, kind, state)].name;
}

// The rows in tab-index order: the order in which the keyboard visits the controls.
constexpr std::array<std::size_t, kForm1Controls.size()> rowsByTabIndex() {
  std::array<std::size_t, kForm1Controls.size()> rows{};
  for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
    rows[static_cast<std::size_t>(kForm1Controls[row].tabIndex)] = row;
  }
  return rows;
}

// The focus is at start in the control of tab index 0, the price box.
inline constexpr std::size_t kFocusAtStartRow = rowsByTabIndex()[0];
static_assert(kFocusAtStartRow == kPriceRow, "the window opens ready for a price");

// Twips to pixels at `dpi` pixels an inch (1440 twips an inch), to the nearest pixel. At 96,
// device-independent pixels, which Qt and the browser scale for the screen themselves; the
// Windows window asks for its monitor's dpi. Edges are rounded, not sizes, so that controls
// that meet in twips meet in pixels.
constexpr int pixelsFromTwips(int twips, int dpi = 96) { return (twips * dpi + 720) / 1440; }

// The size of the window's client area at `dpi`.
struct PixelSize {
  int width, height;
  friend constexpr bool operator==(const PixelSize&, const PixelSize&) = default;
};
constexpr PixelSize clientPixels(int dpi = 96) {
  return {pixelsFromTwips(kClientWidthTwips, dpi), pixelsFromTwips(kClientHeightTwips, dpi)};
}
static_assert(clientPixels() == PixelSize{465, 443});
static_assert(clientPixels(192) == PixelSize{930, 886});

// A rectangle by its edges, in twips; and by its corner and size, in pixels.
struct TwipsRect {
  int left, top, right, bottom;
};
struct PixelRect {
  int left, top, width, height;
  friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A control's rectangle in twips within its container, as the table gives it.
constexpr TwipsRect containerTwipsOf(std::size_t row) {
  const ControlDescription& c = kForm1Controls[row];
  return {c.left, c.top, c.left + c.width, c.top + c.height};
}

// A control's rectangle in twips within the window: a container's own position is added.
constexpr TwipsRect windowTwipsOf(std::size_t row) {
  TwipsRect r = containerTwipsOf(row);
  const ControlDescription& c = kForm1Controls[row];
  if (c.container != kFormName) {
    const TwipsRect outer = windowTwipsOf(rowOf(c.container));
    r = {r.left + outer.left, r.top + outer.top, r.right + outer.left, r.bottom + outer.top};
  }
  return r;
}

// The rectangle at `dpi`, every edge rounded to the nearest pixel.
constexpr PixelRect pixelsFromTwips(const TwipsRect& r, int dpi = 96) {
  const int left = pixelsFromTwips(r.left, dpi);
  const int top = pixelsFromTwips(r.top, dpi);
  return {left, top, pixelsFromTwips(r.right, dpi) - left, pixelsFromTwips(r.bottom, dpi) - top};
}
static_assert(pixelsFromTwips(windowTwipsOf(kCommandRow)) == PixelRect{288, 176, 81, 33});
static_assert(pixelsFromTwips(windowTwipsOf(optionRowOf(State::Pennsylvania)), 192) == PixelRect{80, 176, 194, 34});

// The tax label at its described rectangle `described`, widened to the right to `needed`
// pixels where the tax needs more: its left, top and height stay, and it is never narrower
// than described.
constexpr PixelRect widenedTaxLabel(PixelRect described, int needed) {
  if (needed > described.width) described.width = needed;
  return described;
}
static_assert(widenedTaxLabel({288, 128, 41, 17}, 12) == PixelRect{288, 128, 41, 17});
static_assert(widenedTaxLabel({288, 128, 41, 17}, 93) == PixelRect{288, 128, 93, 17});

}  // namespace window
