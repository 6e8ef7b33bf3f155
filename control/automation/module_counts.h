#pragma once
// What keeps the control module loaded: live automation objects, references
// to its class factories, and LockServer locks. DllCanUnloadNow answers
// S_OK when all three are zero. Counts are atomic: objects live on any
// thread.
namespace vornfmt::module {

void ObjectCreated();
void ObjectDestroyed();
void AddLock();
// Never below zero: an unlock without a lock is ignored.
void RemoveLock();

long LiveObjects();
long Locks();
bool CanUnloadNow();

}  // namespace vornfmt::module
