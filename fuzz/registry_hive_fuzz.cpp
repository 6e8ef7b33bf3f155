// Registry hive files as the platform reads them: any bytes are parsed or
// refused, never a crash or a hang; a hive that parses writes a text that
// parses back to the same hive and is written again unchanged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/registry/emulation/hive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using vornfmt::registry::Hive;
  std::string error;
  auto hive = Hive::Parse(std::string_view(reinterpret_cast<const char*>(data), size), u"HKEY_LOCAL_MACHINE", error);
  if (!hive) return 0;
  const std::string written = hive->Serialize();
  auto again = Hive::Parse(written, u"HKEY_LOCAL_MACHINE", error);
  if (!again || !(*again == *hive) || again->Serialize() != written) __builtin_trap();
  return 0;
}
