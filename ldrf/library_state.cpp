#include "ldrf/library_state.h"

#include <algorithm>
#include <cstring>

namespace vornfmt::ldrf {
namespace {
thread_local std::string lastError;
}

std::recursive_mutex& LibraryMutex() {
  static std::recursive_mutex* mutex = new std::recursive_mutex;  // never destroyed
  return *mutex;
}

LdrfResult Fail(LdrfResult code, std::string message) {
  lastError = std::move(message);
  return code;
}

LdrfResult CopyText(std::string_view text, char* out, uint32_t* length) {
  if (!out || !length || *length == 0) return Fail(LDRF_BAD_PARAMETER, "no text buffer");
  size_t fits = std::min<size_t>(text.size(), *length - 1);
  std::memcpy(out, text.data(), fits);
  out[fits] = '\0';
  *length = static_cast<uint32_t>(fits);
  if (fits < text.size()) return Fail(LDRF_BUFFER_TOO_SMALL, "text longer than the buffer");
  return LDRF_OK;
}

}  // namespace vornfmt::ldrf

extern "C" LdrfResult LdrfLastErrorText(char* text, uint32_t* textLength) {
  return vornfmt::ldrf::CopyText(vornfmt::ldrf::lastError, text, textLength);
}
