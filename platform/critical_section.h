#pragma once
// A recursive lock: the holding thread may take it again. Usable with
// std::lock_guard / std::scoped_lock.
#include <mutex>

namespace vornfmt {

class CMyCriticalSection {
 public:
  CMyCriticalSection() = default;
  CMyCriticalSection(const CMyCriticalSection&) = delete;
  CMyCriticalSection& operator=(const CMyCriticalSection&) = delete;
  virtual ~CMyCriticalSection() = default;

  void lock() { mutex_.lock(); }
  void unlock() { mutex_.unlock(); }
  bool try_lock() { return mutex_.try_lock(); }

 private:
  std::recursive_mutex mutex_;
};

}  // namespace vornfmt
