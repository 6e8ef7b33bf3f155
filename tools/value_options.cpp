#include "tools/value_options.h"

#include <cstdio>
#include <iostream>

#include "platform/code_page.h"
#include "platform/hex_digit.h"

namespace vornfmt::tool {

void AddValueOptions(CLI::App& command, ValueOptions& options) {
  AddCatalogOptions(command, options.catalog);
  AddLocaleOption(command, options.catalog);
  command.add_option("--ms", options.measurementSystem, "Measurement system choosing the format (default SI)");
  CLI::Option* sub = command.add_option("--sub", options.sub, "Subfield index (-1: the whole type)")
                         ->check(CLI::Range(-32768, 32767));
  CLI::Option* field = command.add_option("--field", options.field, "Subfield by path name");
  sub->excludes(field);
  command.add_option("--vt", options.vt, "VARIANT type code")->check(CLI::Range(0, 65535));
}

bool LoadType(TypeElementCore& element, const ValueOptions& options, std::string& reason) {
  const std::u16string pid = PidText(options.catalog.pid);
  const bool loaded =
      element.LoadByName(codepage::Utf8ToUtf16(options.type), pid, static_cast<int16_t>(options.catalog.selector));
  if (!loaded) {
    // The tree builder says why when it refused the type; else it was not found.
    reason = element.LoadProblem().empty()
                 ? "no type \"" + options.type + "\" for program ID " + codepage::Utf16ToUtf8(pid) +
                       " and selector " + std::to_string(options.catalog.selector)
                 : codepage::Utf16ToUtf8(element.LoadProblem());
    return false;
  }
  if (!options.measurementSystem.empty()) element.SetMeasurementSystem(codepage::Utf8ToUtf16(options.measurementSystem));
  return true;
}

bool LoadType(TypeElementCore& element, const ValueOptions& options, const char* command) {
  if (!OpenCatalog(options.catalog)) return false;
  std::string reason;
  if (LoadType(element, options, reason)) {
    // Loaded, but with a part left out (a reference not followed, say).
    if (!element.LoadProblem().empty())
      std::cerr << "vornfmt " << command << ": note: " << codepage::Utf16ToUtf8(element.LoadProblem()) << "\n";
    return true;
  }
  std::cerr << "vornfmt " << command << ": " << reason << "\n";
  PrintSkippedTypeFiles(command);
  return false;
}

std::optional<int16_t> LoadTypeAndSubfield(TypeElementCore& element, const ValueOptions& options, const char* command) {
  if (!LoadType(element, options, command)) return std::nullopt;
  std::string reason;
  const std::optional<int16_t> sub = SubfieldIndex(element, options, reason);
  if (!sub) std::cerr << "vornfmt " << command << ": " << reason << "\n";
  return sub;
}

std::optional<int16_t> SubfieldIndex(TypeElementCore& element, const ValueOptions& options, std::string& reason) {
  if (options.field.empty()) return static_cast<int16_t>(options.sub);
  int16_t sub = -1;
  if (!element.GetSubIndexByName(codepage::Utf8ToUtf16(options.field), sub)) {
    reason = options.type + " has no subfield \"" + options.field + "\"";
    return std::nullopt;
  }
  return sub;
}

size_t TypeLength(TypeElementCore& element) { return static_cast<uint16_t>(element.Length(-1)); }

std::string LengthMismatch(std::string_view what, size_t have, TypeElementCore& element) {
  const size_t takes = TypeLength(element);
  if (have == takes) return {};
  return std::string(what) + " has " + std::to_string(have) + (have == 1 ? " byte; " : " bytes; ") +
         codepage::Utf16ToUtf8(element.Name(-1)) + " takes " + std::to_string(takes);
}

std::string NoFormat(TypeElementCore& element) {
  const std::u16string system = element.MeasurementSystem();
  return codepage::Utf16ToUtf8(element.Name(-1)) + " has no format" +
         (system.empty() ? std::string() : " for measurement system " + codepage::Utf16ToUtf8(system));
}

std::string ConversionFailure(HRESULT code, VARTYPE vt) {
  const std::string type = "VARTYPE " + std::to_string(vt);
  if (code == DISP_E_BADVARTYPE) return "--vt " + std::to_string(vt) + " is no VARTYPE";
  if (code == DISP_E_OVERFLOW) return "the value does not fit " + type + " (overflow)";
  if (code == DISP_E_TYPEMISMATCH) return "the value cannot become " + type + " (type mismatch)";
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
  return "the value cannot become " + type + " (code " + hex + ")";
}

std::string FormatFailure(TypeElementCore& element, const VARIANT& result, VARTYPE vt, int16_t sub) {
  if (result.vt == VT_ERROR) return ConversionFailure(result.scode, vt);
  if (!element.HasFormat()) return NoFormat(element);
  if (sub != -1 && (sub < 0 || sub >= element.SubfieldsCount()))
    return codepage::Utf16ToUtf8(element.Name(-1)) + " has no subfield " + std::to_string(sub);
  if (sub != -1 && vt == VT_BSTR)
    return "no item of the format of " + codepage::Utf16ToUtf8(element.Name(-1)) + " shows subfield \"" +
           codepage::Utf16ToUtf8(element.Name(sub)) + "\"";
  return "the bytes cannot be decoded as " + codepage::Utf16ToUtf8(element.Name(-1));
}


}  // namespace vornfmt::tool
