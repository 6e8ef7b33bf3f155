#include "dialogs/dialog_units.h"

#include <cstdlib>
#include <limits>

namespace vornfmt::dialogs {

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  const int64_t half = std::llabs(c) / 2;
  // Round the magnitude half up, then restore the sign.
  const bool negative = (product < 0) != (c < 0);
  const int64_t quotient = (std::llabs(product) + half) / std::llabs(c);
  const int64_t result = negative ? -quotient : quotient;
  if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) return -1;
  return static_cast<int>(result);
}

DialogBaseUnits BaseUnitsFromMetrics(int widthOf52Letters, int fontHeight) {
  return {(widthOf52Letters / 26 + 1) / 2, fontHeight};
}

UnitRect UnitsToPixels(const UnitRect& units, DialogBaseUnits base) {
  return {MulDiv(units.x, base.x, 4), MulDiv(units.y, base.y, 8), MulDiv(units.width, base.x, 4),
          MulDiv(units.height, base.y, 8)};
}

int PointsToPixels(int points) { return MulDiv(points, 96, 72); }

}  // namespace vornfmt::dialogs
