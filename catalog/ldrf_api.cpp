#include "catalog/ldrf_api.h"

#include "catalog/resource_lock.h"

namespace vornfmt {

const LdrfApi& NativeLdrf() {
  static const LdrfApi api;
  return api;
}

CMyCriticalSection& ResourceLock() {
  static CMyCriticalSection* lock = new CMyCriticalSection;  // outlives every static engine
  return *lock;
}

}  // namespace vornfmt
