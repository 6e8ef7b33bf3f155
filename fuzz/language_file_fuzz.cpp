// Language-file reader: any text either loads or is refused, never crashes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ldrf/language_file_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vornfmt::ldrf::LanguageStrings strings;
  std::string error;
  vornfmt::ldrf::ParseLanguageFile(std::string_view(reinterpret_cast<const char*>(data), size), strings, error);
  return 0;
}
