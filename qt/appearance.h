#pragma once

namespace qtui {

// The look every instance of the window shares: the Fusion style, so that the window looks
// the same on every desktop, in the desktop's palette, with outlines that stand out in light
// and dark palettes alike; and a font in which every caption fits its control.
void applyAppearance();

}  // namespace qtui
