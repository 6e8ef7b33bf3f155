#pragma once
// What the codec asks the library about one leaf: its raw limits and
// scaling (scalars and bitfields) and, for a bitfield, its width and place in
// its byte -- one selection and one call per leaf.
#include <cstdint>

#include "catalog/ldrf_api.h"
#include "typetree/raw_bits.h"

namespace vornfmt {

class CTypeTreeItemBase;

struct LeafDetails {
  int32_t minimum = 0;
  int32_t maximum = 0;
  int16_t multiplier = 0;  // a
  int16_t exponent = 0;    // b
  int16_t offset = 0;      // c
  uint8_t width = 0;       // bitfields
  uint8_t bit = 0;         // bitfields
  LdrfResult result = LDRF_OK;
  LdrfHandle tree = 0;     // the handle the selection gave
};

// Selects `node` and, for a scalar or bitfield, reads its details (places the
// library leaves alone stay 0). False when the node cannot be selected.
bool SelectLeaf(CTypeTreeItemBase& node, LeafDetails& details);

// The leaf's bits in the raw data: its own offset plus its parents'.
BitSpan LeafSpan(CTypeTreeItemBase& node, const LeafDetails& details);

// a x 10^b, the engineering value of one raw step.
long double StepOf(const LeafDetails& details);
// ((raw + c) x a) x 10^b.
long double ToEngineering(long double raw, const LeafDetails& details);
// V / (a x 10^b) - c, not rounded.
long double ToRaw(long double value, const LeafDetails& details);

}  // namespace vornfmt
