// The recursive lock on Windows: a critical section, which the owning thread
// may enter again (every EnterCriticalSection is matched by one
// LeaveCriticalSection).
#include "platform/critical_section.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace vornfmt {
namespace {

CRITICAL_SECTION* Section(unsigned char* storage) { return reinterpret_cast<CRITICAL_SECTION*>(storage); }

}  // namespace

CMyCriticalSection::CMyCriticalSection() {
  static_assert(sizeof(CRITICAL_SECTION) <= sizeof(section_), "CRITICAL_SECTION does not fit");
  static_assert(alignof(CRITICAL_SECTION) <= alignof(void*), "CRITICAL_SECTION is aligned more strictly");
  InitializeCriticalSection(Section(section_));
}

CMyCriticalSection::~CMyCriticalSection() { DeleteCriticalSection(Section(section_)); }

void CMyCriticalSection::lock() { EnterCriticalSection(Section(section_)); }

void CMyCriticalSection::unlock() { LeaveCriticalSection(Section(section_)); }

bool CMyCriticalSection::try_lock() { return TryEnterCriticalSection(Section(section_)) != FALSE; }

}  // namespace vornfmt
