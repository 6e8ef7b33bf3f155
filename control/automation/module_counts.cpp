#include "control/automation/module_counts.h"

#include <atomic>

namespace vornfmt::module {
namespace {

std::atomic<long> objects{0};
std::atomic<long> locks{0};

}  // namespace

void ObjectCreated() { ++objects; }
void ObjectDestroyed() { --objects; }
void AddLock() { ++locks; }
void RemoveLock() {
  long current = locks.load();
  while (current > 0 && !locks.compare_exchange_weak(current, current - 1)) {
  }
}

long LiveObjects() { return objects.load(); }
long Locks() { return locks.load(); }
bool CanUnloadNow() { return objects.load() == 0 && locks.load() == 0; }

}  // namespace vornfmt::module
