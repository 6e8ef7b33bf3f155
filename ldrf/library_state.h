#pragma once
// Shared machinery of the library's C functions: the one library mutex,
// handle tables, the last-error text and text out-buffers.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "ldrf/ldrf.h"

namespace vornfmt::ldrf {

std::recursive_mutex& LibraryMutex();

// Records a sentence about the failure for LdrfLastErrorText and answers code.
LdrfResult Fail(LdrfResult code, std::string message);

// Copies text into a caller's buffer of *length bytes, terminated; *length
// receives the bytes written. A text that does not fit is cut and answers
// LDRF_BUFFER_TOO_SMALL.
LdrfResult CopyText(std::string_view text, char* out, uint32_t* length);

// Objects behind 32-bit handles; handle 0 is never given out.
template <class T>
class HandleTable {
 public:
  LdrfHandle Add(std::shared_ptr<T> object) {
    if (next_ == 0) next_ = 1;
    LdrfHandle handle = next_++;
    objects_[handle] = std::move(object);
    return handle;
  }
  T* Find(LdrfHandle handle) const {
    auto it = objects_.find(handle);
    return it == objects_.end() ? nullptr : it->second.get();
  }
  bool Remove(LdrfHandle handle) { return objects_.erase(handle) > 0; }

 private:
  std::map<LdrfHandle, std::shared_ptr<T>> objects_;
  LdrfHandle next_ = 1;
};

}  // namespace vornfmt::ldrf
