#pragma once

#include <array>
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

// The tab indexes number the controls from 0, each once.
constexpr bool tabIndexesAreEachUsedOnce() {
  std::array<bool, kForm1Controls.size()> used{};
  for (const ControlDescription& c : kForm1Controls) {
    if (c.tabIndex < 0 || c.tabIndex >= static_cast<int>(used.size())) return false;
    if (used[static_cast<std::size_t>(c.tabIndex)]) return false;
    used[static_cast<std::size_t>(c.tabIndex)] = true;
  }
  return true;
}
static_assert(tabIndexesAreEachUsedOnce());

// The rows in tab-index order: the order in which the keyboard visits the controls.
constexpr std::array<std::size_t, kForm1Controls.size()> rowsByTabIndex() {
  std::array<std::size_t, kForm1Controls.size()> rows{};
  for (std::size_t row = 0; row < kForm1Controls.size(); ++row) {
    rows[static_cast<std::size_t>(kForm1Controls[row].tabIndex)] = row;
  }
  return rows;
}

// The row of the control called `name`; the table's size when there is none.
constexpr std::size_t rowOf(std::u16string_view name) {
  std::size_t row = 0;
  while (row < kForm1Controls.size() && kForm1Controls[row].name != name) ++row;
  return row;
}

// The window opens with one state selected and the focus in the control of tab index 0, the
// price box.
constexpr bool oneOptionIsSelectedAtStart() {
  int selected = 0;
  for (const ControlDescription& c : kForm1Controls) {
    if (c.selectedAtStart && c.kind != K::OptionButton) return false;
    selected += c.selectedAtStart;
  }
  return selected == 1;
}
static_assert(oneOptionIsSelectedAtStart());
inline constexpr std::size_t kFocusAtStartRow = rowsByTabIndex()[0];
static_assert(kForm1Controls[kFocusAtStartRow].kind == K::TextBox, "the window opens ready for a price");

// Every control's container is the window or a control created before it.
constexpr bool containersComeFirst() {
  for (std::size_t i = 0; i < kForm1Controls.size(); ++i) {
    if (kForm1Controls[i].container != kFormName && rowOf(kForm1Controls[i].container) >= i) return false;
  }
  return true;
}
static_assert(containersComeFirst());

// Every state has exactly one option button.
constexpr bool everyStateHasOneOption() {
  for (const calc::RateRow& row : calc::kRateTable) {
    int options = 0;
    for (const ControlDescription& c : kForm1Controls) options += c.kind == K::OptionButton && c.state == row.state;
    if (options != 1) return false;
  }
  return true;
}
static_assert(everyStateHasOneOption());

// What names another control is a plain label, and names a control of the window.
constexpr bool labelsNameControls() {
  for (const ControlDescription& c : kForm1Controls) {
    if (!c.labels.empty() && (c.kind != K::Label || rowOf(c.labels) == kForm1Controls.size())) return false;
  }
  return true;
}
static_assert(labelsNameControls());

// The name of the control of `kind`; of an option button, the one that selects `state`.
constexpr std::u16string_view nameOf(ControlKind kind, calc::State state = {}) {
  for (const ControlDescription& c : kForm1Controls) {
    if (c.kind == kind && (kind != K::OptionButton || c.state == state)) return c.name;
  }
  return {};
}

// The row of the label that names the control called `name`; the table's size when none does.
constexpr std::size_t labelRowOf(std::u16string_view name) {
  std::size_t row = 0;
  while (row < kForm1Controls.size() && kForm1Controls[row].labels != name) ++row;
  return row;
}
static_assert(labelRowOf(nameOf(K::TaxLabel)) < kForm1Controls.size(), "the tax has a label");

// Twips to pixels at `dpi` pixels an inch (1440 twips an inch), to the nearest pixel. At 96,
// device-independent pixels, which Qt scales for the screen itself; the Windows window asks
// for its monitor's dpi. Edges are rounded, not sizes, so that controls that meet in twips
// meet in pixels.
constexpr int pixelsFromTwips(int twips, int dpi = 96) { return (twips * dpi + 720) / 1440; }
static_assert(pixelsFromTwips(kClientWidthTwips) == 465 && pixelsFromTwips(kClientHeightTwips) == 443);
static_assert(pixelsFromTwips(kClientWidthTwips, 192) == 930);

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
static_assert(pixelsFromTwips(windowTwipsOf(rowOf(u"cmdCalculateSalesTax"))) == PixelRect{288, 176, 81, 33});
static_assert(pixelsFromTwips(windowTwipsOf(rowOf(u"optPA")), 192) == PixelRect{80, 176, 194, 34});

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
