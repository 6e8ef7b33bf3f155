#pragma once
// The resource library as the tree and the codec call it: always through
// the module-wide engine's function table, always under the resource lock.
#include "catalog/formatter_engine.h"
#include "catalog/ldrf_api.h"
#include "catalog/resource_lock.h"

namespace vornfmt {

inline const LdrfApi& Lib() { return TheEngine().Library(); }

}  // namespace vornfmt
