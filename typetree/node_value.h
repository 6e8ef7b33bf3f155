#pragma once
// NodeValue: a node's value slot, in engineering units, with a set flag.
#include <cstdint>

namespace vornfmt {

struct NodeValue {
  double value = 0.0;
  int32_t set = 0;  // 1: the value holds something

  void Clear() {
    value = 0.0;
    set = 0;
  }
  void Store(double v) {
    value = v;
    set = 1;
  }
  bool IsSet() const { return set != 0; }
};

}  // namespace vornfmt
