#include "tools/value_options.h"

#include <iostream>

#include "platform/code_page.h"
#include "platform/hex_digit.h"

namespace vornfmt::tool {

void AddValueOptions(CLI::App& command, ValueOptions& options) {
  AddCatalogOptions(command, options.catalog);
  command.add_option("--ms", options.measurementSystem, "Measurement system choosing the format (default SI)");
  CLI::Option* sub = command.add_option("--sub", options.sub, "Subfield index (-1: the whole type)")
                         ->check(CLI::Range(-32768, 32767));
  CLI::Option* field = command.add_option("--field", options.field, "Subfield by path name");
  sub->excludes(field);
  command.add_option("--vt", options.vt, "VARIANT type code")->check(CLI::Range(0, 65535));
}

bool LoadType(TypeElementCore& element, const ValueOptions& options, const char* command) {
  if (!OpenCatalog(options.catalog)) return false;
  const std::u16string pid = PidText(options.catalog.pid);
  const bool loaded =
      element.LoadByName(codepage::Utf8ToUtf16(options.type), pid, static_cast<int16_t>(options.catalog.selector));
  if (const std::u16string problem = element.LoadProblem(); !problem.empty())
    std::cerr << "vornfmt " << command << ": " << (loaded ? "note: " : "") << codepage::Utf16ToUtf8(problem) << "\n";
  if (!loaded && element.LoadProblem().empty()) {
    std::cerr << "vornfmt " << command << ": no type \"" << options.type << "\" for program ID "
              << codepage::Utf16ToUtf8(pid) << " and selector " << options.catalog.selector << "\n";
  }
  if (!loaded) return false;
  if (!options.measurementSystem.empty()) element.SetMeasurementSystem(codepage::Utf8ToUtf16(options.measurementSystem));
  return true;
}

std::optional<int16_t> SubfieldIndex(TypeElementCore& element, const ValueOptions& options, const char* command) {
  if (options.field.empty()) return static_cast<int16_t>(options.sub);
  int16_t sub = -1;
  if (!element.GetSubIndexByName(codepage::Utf8ToUtf16(options.field), sub)) {
    std::cerr << "vornfmt " << command << ": " << options.type << " has no subfield \"" << options.field << "\"\n";
    return std::nullopt;
  }
  return sub;
}

bool UnpackHex(std::string_view text, std::vector<uint8_t>& bytes) {
  bytes.clear();
  int high = -1;
  for (char c : text) {
    if (c == ' ' || c == ':') {
      if (high >= 0) return false;  // a separator inside a pair
      continue;
    }
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
      high = -1;
    }
  }
  return high < 0;
}

std::string HexOf(const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : bytes) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
  }
  return out;
}

}  // namespace vornfmt::tool
