// The whole path from a type file to raw bytes: a hostile type file in a
// catalog of its own (beside the conversion tests' format file), every type
// it defines loaded with its references, formatted from arbitrary bytes and
// its own text written back. Nothing may crash, hang or write outside the
// type's bytes; a type that formats must format again after the write.
//
// Input: one byte n, n raw bytes, then the type file's text.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "control/type_element_core.h"
#include "convert/formatter_assembly.h"
#include "format/text_encoding.h"
#include "platform/code_page.h"

namespace {

constexpr size_t kGuard = 8;
constexpr uint8_t kGuardByte = 0xA5;
constexpr int kMaxIndex = 12;

std::filesystem::path CatalogFolder() {
  static const std::filesystem::path folder = [] {
    std::string source = __FILE__;  // .../fuzz/whole_path_fuzz.cpp
    source.resize(source.rfind('/'));
    source.resize(source.rfind('/'));
    auto made = std::filesystem::temp_directory_path() / ("vornfmt-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(made);
    std::filesystem::copy_file(source + "/tests/data/convert/convert.fmt", made / "fuzz.fmt",
                               std::filesystem::copy_options::overwrite_existing);
    return made;
  }();
  return folder;
}

void Exercise(vornfmt::TypeElementCore& element, const std::vector<uint8_t>& given) {
  const size_t length = static_cast<uint16_t>(element.Length(-1));
  std::vector<uint8_t> raw(length + kGuard, kGuardByte);
  std::copy_n(given.begin(), std::min(given.size(), length), raw.begin());
  const std::span<uint8_t> bytes(raw.data(), length);
  VARIANT text;
  VariantInit(&text);
  const bool formatted = element.Format(bytes, VT_BSTR, text, -1);
  if (formatted && text.vt != VT_BSTR) __builtin_trap();
  if (formatted && element.Write(bytes, text, -1)) {
    VARIANT again;
    VariantInit(&again);
    if (!element.Format(bytes, VT_BSTR, again, -1)) __builtin_trap();
    VariantClear(&again);
  }
  VariantClear(&text);
  for (int16_t sub = 0; sub < element.SubfieldsCount() && sub < 64; ++sub) {
    VARIANT number;
    VariantInit(&number);
    element.Format(bytes, VT_R8, number, sub);
    VariantClear(&number);
    double low = 0, high = 0;
    element.GetBounds(sub, low, high);
  }
  for (size_t i = length; i < raw.size(); ++i)
    if (raw[i] != kGuardByte) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t rawLength = std::min<size_t>(data[0], size - 1);
  const std::vector<uint8_t> raw(data + 1, data + 1 + rawLength);
  const std::filesystem::path folder = CatalogFolder();
  {
    std::ofstream typeFile(folder / "fuzz.typ", std::ios::binary | std::ios::trunc);
    typeFile.write(reinterpret_cast<const char*>(data + 1 + rawLength),
                   static_cast<std::streamsize>(size - 1 - rawLength));
  }
  auto formatter = vornfmt::AssembleFormatter({.widen = &vornfmt::WidenWindows1252});
  formatter->Engine().OpenCatalog(vornfmt::codepage::Utf8ToUtf16(folder.string()));
  for (bool networkVariable : {true, false}) {
    for (int16_t index = 1; index <= kMaxIndex; ++index) {
      vornfmt::TypeElementCore element;
      if (element.LoadByIndex(index, networkVariable, u"0000000000000000", 0)) Exercise(element, raw);
    }
  }
  return 0;
}
