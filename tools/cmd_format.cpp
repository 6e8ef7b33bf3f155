// vornfmt format: raw bytes of a type to text, or to a number of a VARIANT type.
#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <utility>

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "control/type_element_core.h"
#include "platform/code_page.h"
#include "tools/commands.h"
#include "tools/value_options.h"

namespace vornfmt::tool {
namespace {

struct FormatOptions {
  ValueOptions value;
  std::string hex;
  bool batch = false;
  bool json = false;
};

VARTYPE RequestedType(const FormatOptions& options) {
  return static_cast<VARTYPE>(options.value.vt < 0 ? VT_BSTR : options.value.vt);
}

// FormatVT of one buffer; the result text and whether FormatVT answered true.
std::pair<std::string, bool> FormatOnce(TypeElementCore& element, const std::vector<uint8_t>& raw, VARTYPE vt,
                                        int16_t sub) {
  VARIANT result;
  VariantInit(&result);
  const bool ok = element.Format(raw, vt, result, sub);
  std::string text = codepage::Utf16ToUtf8(ResultText(result));
  VariantClear(&result);
  return {std::move(text), ok};
}

void PrintResult(std::string_view type, std::string_view hex, const std::pair<std::string, bool>& result,
                 bool json) {
  if (!json) {
    // One line per result: line breaks inside a text (a character array may
    // hold any byte) become blanks; --json gives the exact text.
    for (char c : result.first) std::cout.put(c == '\n' || c == '\r' ? ' ' : c);
    std::cout.put('\n');
    return;
  }
  nlohmann::ordered_json line = {{"type", type}, {"bytes", hex}, {"ok", result.second}, {"text", result.first}};
  std::cout << line.dump() << "\n";
}

int Format(const FormatOptions& options) {
  std::vector<uint8_t> raw;
  if (!UnpackHex(options.hex, raw)) {
    std::cerr << "vornfmt format: HEX \"" << options.hex << "\" must be pairs of hexadecimal digits\n";
    return 2;
  }
  TypeElementCore element;
  if (!LoadType(element, options.value, "format")) return 1;
  const std::optional<int16_t> sub = SubfieldIndex(element, options.value, "format");
  if (!sub) return 1;
  const auto result = FormatOnce(element, raw, RequestedType(options), *sub);
  PrintResult(options.value.type, HexOf(raw), result, options.json);
  return result.second ? 0 : 1;
}

// A type of the batch, loaded at its first line and kept; no element when it
// cannot be loaded or lacks the requested field.
struct BatchType {
  std::unique_ptr<TypeElementCore> element;
  int16_t sub = -1;
};

BatchType LoadBatchType(std::string_view type, const FormatOptions& options) {
  BatchType loaded{std::make_unique<TypeElementCore>()};
  ValueOptions value = options.value;
  value.type = type;
  std::optional<int16_t> sub;
  if (LoadType(*loaded.element, value, "format")) sub = SubfieldIndex(*loaded.element, value, "format");
  if (sub) loaded.sub = *sub;
  else loaded.element.reset();
  return loaded;
}

// Lines "TYPE HEX" on standard input, one result line each (an empty text for
// a line that cannot be formatted). Types are loaded once and kept.
int FormatBatch(const FormatOptions& options) {
  if (!OpenCatalog(options.value.catalog)) return 1;
  std::map<std::string, BatchType, std::less<>> types;
  // Reading standard input would flush the tied output stream once per line:
  // one write call per result instead of one per buffer.
  std::cin.tie(nullptr);
  std::string line;
  std::vector<uint8_t> raw;
  bool allOk = true;
  while (std::getline(std::cin, line)) {
    const std::string_view text(line);
    const size_t split = std::min(text.find_first_of(" \t"), text.size());
    const std::string_view type = text.substr(0, split);
    const size_t hexStart = std::min(text.find_first_not_of(" \t", split), text.size());
    const std::string_view hex = text.substr(hexStart);
    auto known = types.find(type);
    if (known == types.end()) known = types.emplace(std::string(type), LoadBatchType(type, options)).first;
    const BatchType& batchType = known->second;
    std::pair<std::string, bool> result{"", false};
    if (batchType.element && UnpackHex(hex, raw)) result = FormatOnce(*batchType.element, raw, RequestedType(options), batchType.sub);
    allOk = allOk && result.second;
    PrintResult(type, hex, result, options.json);
  }
  return allOk ? 0 : 1;
}

}  // namespace

void AddFormatCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<FormatOptions>();
  CLI::App* command = app.add_subcommand("format", "Show raw bytes of a type as text (FormatVT)");
  AddValueOptions(*command, options->value);
  CLI::Option* type =
      command->add_option("TYPE", options->value.type, "Type name, optionally with #MEASUREMENT_SYSTEM");
  CLI::Option* hex = command->add_option("HEX", options->hex, "Raw bytes: 0A28, \"0a 28\" or 0A:28");
  CLI::Option* batch = command->add_flag(
      "--batch", options->batch, "Read lines \"TYPE HEX\" from standard input and print one result line each");
  batch->excludes(type)->excludes(hex);
  command->add_flag("--json", options->json, "Print each result as a JSON object (type, bytes, ok, text)");
  command->callback([options, &exitCode] {
    if (!options->batch && (options->value.type.empty() || options->hex.empty())) {
      std::cerr << "vornfmt format: give TYPE and HEX, or --batch\n";
      exitCode = 2;
      return;
    }
    exitCode = options->batch ? FormatBatch(*options) : Format(*options);
  });
}

}  // namespace vornfmt::tool
