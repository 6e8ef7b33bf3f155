#pragma once
// A recursive lock: the holding thread may take it again. Usable with
// std::lock_guard / std::scoped_lock.
//
// On Windows it is a Win32 critical section (critical_section_win32.cpp),
// kept in storage of its own so that this header does not include
// windows.h; elsewhere a std::recursive_mutex.
#ifndef _WIN32
#include <mutex>
#endif

namespace vornfmt {

class CMyCriticalSection {
 public:
#ifdef _WIN32
  CMyCriticalSection();
  virtual ~CMyCriticalSection();
  void lock();
  void unlock();
  bool try_lock();
#else
  CMyCriticalSection() = default;
  virtual ~CMyCriticalSection() = default;
  void lock() { mutex_.lock(); }
  void unlock() { mutex_.unlock(); }
  bool try_lock() { return mutex_.try_lock(); }
#endif
  CMyCriticalSection(const CMyCriticalSection&) = delete;
  CMyCriticalSection& operator=(const CMyCriticalSection&) = delete;

 private:
#ifdef _WIN32
  // A CRITICAL_SECTION: 40 bytes on 64-bit Windows, 24 on 32-bit; the
  // source checks that it fits.
  alignas(void*) unsigned char section_[sizeof(void*) == 8 ? 40 : 24];
#else
  std::recursive_mutex mutex_;
#endif
};

}  // namespace vornfmt
