#include "typetree/bounds.h"

#include "typetree/library_access.h"
#include "typetree/pow10.h"

namespace vornfmt {
namespace {

int32_t Wrap32(int64_t n) { return static_cast<int32_t>(static_cast<uint32_t>(n)); }

double ScaledBound(int32_t limit, int16_t a, int16_t b, int16_t c) {
  const int32_t shifted = Wrap32(int64_t{limit} + c);
  const int32_t multiplied = Wrap32(int64_t{shifted} * a);
  return static_cast<double>(TimesPow10(multiplied, b));
}

LdrfResult LibraryBounds(LdrfHandle tree, int32_t kind, double& minimum, double& maximum) {
  int32_t low = 0, high = 0;
  int16_t a = 0, b = 0, c = 0;
  LdrfResult r = LDRF_BAD_PARAMETER;
  if (kind == kKindBitfield) {
    r = Lib().LdrfGetBitfieldDetails(tree, nullptr, nullptr, nullptr, &low, &high, &a, &b, &c);
  } else if (IsScalarKind(kind)) {
    r = Lib().LdrfGetScalarDetails(tree, &low, &high, &a, &b, &c);
  } else if (kind == kKindEnum) {
    r = Lib().LdrfGetEnumDetails(tree, nullptr, nullptr, &low, &high);
    if (TreeCallSucceeded(r)) minimum = low, maximum = high;
    return r;
  } else if (kind == kKindDoubleFloat) {
    double dlow = 0, dhigh = 0;
    r = Lib().LdrfGetDoubleFloatDetails(tree, &dlow, &dhigh);
    if (TreeCallSucceeded(r)) minimum = dlow, maximum = dhigh;
    return r;
  }
  if (TreeCallSucceeded(r)) {
    minimum = ScaledBound(low, a, b, c);
    maximum = ScaledBound(high, a, b, c);
  }
  return r;
}

bool HasBounds(int32_t kind) {
  return IsScaledKind(kind) || kind == kKindEnum || kind == kKindFloat || kind == kKindDoubleFloat;
}

}  // namespace

bool GetBounds(CTypeTreeItemBase& node, double& minimum, double& maximum) {
  const LdrfHandle tree = node.SelectNode();
  if (tree == 0 || !HasBounds(node.kind)) return false;
  if (node.kind == kKindFloat) {
    minimum = kFloatBoundMin;
    maximum = kFloatBoundMax;
    return true;
  }
  ResourceGuard guard(ResourceLock());
  return TreeCallSucceeded(LibraryBounds(tree, node.kind, minimum, maximum));
}

}  // namespace vornfmt
