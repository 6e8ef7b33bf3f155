#pragma once
// Dialog units to pixels, by the rule the Windows dialog manager applies to
// a dialog template (docs/dialogs.md):
//
//   base width  = (width of "A".."Z" "a".."z" / 26 + 1) / 2   (integer division)
//   base height = the font's height (ascent + descent)
//   x pixels    = MulDiv(x, base width, 4)     -- left and width alike
//   y pixels    = MulDiv(y, base height, 8)    -- top and height alike
//
// MulDiv multiplies into 64 bits and rounds the quotient half away from
// zero. Left, top, width and height are mapped one by one, as the dialog
// manager does when it creates a template's controls.
#include <cstdint>

namespace vornfmt::dialogs {

struct DialogBaseUnits {
  int x = 0;
  int y = 0;
};

struct UnitRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const UnitRect&) const = default;
};

// a * b / c rounded half away from zero; -1 when c is 0 (as Windows answers).
int MulDiv(int a, int b, int c);

// From the advance width of the 52 letters "A".."Za".."z" and the font height.
DialogBaseUnits BaseUnitsFromMetrics(int widthOf52Letters, int fontHeight);

UnitRect UnitsToPixels(const UnitRect& units, DialogBaseUnits base);

// A font's size in pixels at 96 dots per inch: MulDiv(points, 96, 72).
int PointsToPixels(int points);

}  // namespace vornfmt::dialogs
