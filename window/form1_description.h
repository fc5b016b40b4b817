#pragma once

#include <array>
#include <string_view>

namespace window {

enum class ControlKind { CommandButton, TextBox, Frame, OptionButton, Label };

// One control of the window as it is described: kind, name, container, caption, rectangle
// in twips (relative to the inside of the container) and place in the tab order.
struct ControlDescription {
  ControlKind kind;
  std::string_view name;
  std::string_view container;
  std::string_view caption;
  int left, top, width, height;
  int tabIndex;
};

inline constexpr std::string_view kFormName = "Form1";
inline constexpr std::string_view kFormCaption = "Form1";
inline constexpr int kClientWidthTwips = 6975;
inline constexpr int kClientHeightTwips = 6645;

// In the order the controls are created.
inline constexpr std::array<ControlDescription, 11> kForm1Controls{{
    {ControlKind::CommandButton, "cmdCalculateSalesTax", "Form1", "&Calculate Sales Tax", 4320, 2640, 1215, 495, 9},
    {ControlKind::TextBox, "txtPrice", "Form1", "", 4320, 1080, 1095, 375, 0},
    {ControlKind::Frame, "Frame1", "Form1", "States", 360, 840, 1815, 3135, 1},
    {ControlKind::OptionButton, "optDE", "Frame1", "&Delaware", 240, 2520, 1335, 255, 6},
    {ControlKind::OptionButton, "optNY", "Frame1", "&New York", 240, 2040, 1335, 255, 5},
    {ControlKind::OptionButton, "optMD", "Frame1", "&Maryland", 240, 1440, 1455, 375, 4},
    {ControlKind::OptionButton, "optOH", "Frame1", "&Ohio", 240, 960, 1455, 255, 3},
    {ControlKind::OptionButton, "optPA", "Frame1", "&Pennsylvania", 240, 480, 1455, 255, 2},
    {ControlKind::Label, "Label1", "Form1", "Sales Tax is:", 3000, 1920, 1095, 255, 10},
    {ControlKind::Label, "Label2", "Form1", "Enter Price:", 3000, 1200, 975, 255, 8},
    {ControlKind::Label, "lblSalesTax", "Form1", "0", 4320, 1920, 615, 255, 7},
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

// Twips to device-independent pixels: 1440 twips an inch at 96 pixels an inch. Qt scales
// device-independent pixels for the screen itself. Edges are rounded, not sizes, so that
// controls that meet in twips meet in pixels.
constexpr int pixelsFromTwips(int twips) { return (twips + 7) / 15; }

}  // namespace window
