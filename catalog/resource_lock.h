#pragma once
// The process-wide resource lock, held around every call into the resource
// library and every change of the engine's tables. Recursive.
#include <mutex>

#include "platform/critical_section.h"

namespace vornfmt {

CMyCriticalSection& ResourceLock();

using ResourceGuard = std::lock_guard<CMyCriticalSection>;

}  // namespace vornfmt
