#pragma once
// The limits of a node's value in engineering units, from the type file --
// except for "float" nodes, whose limits are fixed.
#include "typetree/type_tree_item_base.h"

namespace vornfmt {

// Smallest positive normalised single and largest single, widened.
inline constexpr double kFloatBoundMin = 0x1p-126;               // 1.175494351e-38
inline constexpr double kFloatBoundMax = 0x1.fffffep127;         // 3.402823466e+38

// ((limit + c) x a) x 10^b for scalars and bitfields ((limit + c) x a in
// signed 32-bit arithmetic, wrapping; the two are not swapped for a negative
// multiplier), the library's limits for enumerations and double floats, the
// fixed limits for floats. False, leaving the outputs alone, for containers,
// references, unsigned quads and unknown kinds, when the node cannot be
// selected or when the library refuses.
bool GetBounds(CTypeTreeItemBase& node, double& minimum, double& maximum);

}  // namespace vornfmt
