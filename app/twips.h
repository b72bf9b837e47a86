#pragma once

// The window's geometry is given in twips (1/1440 inch); controls are placed
// in pixels of the screen they are shown on.

#include <cmath>

namespace norv::app {

inline constexpr double kTwipsPerInch = 1440.0;

// A position or size in twips as pixels at `dots_per_inch` (15 twips make
// one pixel at 96 dots per inch), rounded to the nearest pixel.
inline int twips_to_pixels(int twips, double dots_per_inch) {
  return static_cast<int>(std::lround(twips * dots_per_inch / kTwipsPerInch));
}

// A control's rectangle in twips, from the top-left corner of the client area.
struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

}  // namespace norv::app
