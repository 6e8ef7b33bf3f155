// vornfmt write: a text or a number into the raw bytes of a type.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "control/type_element_core.h"
#include "platform/code_page.h"
#include "tools/commands.h"
#include "tools/value_options.h"

namespace vornfmt::tool {
namespace {

struct WriteOptions {
  ValueOptions value;
  std::string bytes;
  bool number = false;
  std::string text;
};

// VALUE as the VARIANT WriteVT receives: the text, or with --number the
// number (read in the user's numeric locale) as VT_R8, converted to --vt
// when one is given.
bool MakeValue(const WriteOptions& options, VARIANT& value) {
  SetBstr(value, codepage::Utf8ToUtf16(options.text));
  if (!options.number) return true;
  if (VariantChangeType(&value, &value, 0, VT_R8) != S_OK) return false;
  return options.value.vt < 0 || ConvertVariant(&value, static_cast<VARTYPE>(options.value.vt)) == S_OK;
}

bool StartingBytes(const WriteOptions& options, TypeElementCore& element, std::vector<uint8_t>& raw) {
  if (options.bytes.empty()) {
    raw.assign(static_cast<uint16_t>(element.Length(-1)), 0);
    return true;
  }
  return UnpackHex(options.bytes, raw);
}

int Write(const WriteOptions& options) {
  TypeElementCore element;
  if (!LoadType(element, options.value, "write")) return 1;
  const std::optional<int16_t> sub = SubfieldIndex(element, options.value, "write");
  if (!sub) return 1;
  std::vector<uint8_t> raw;
  if (!StartingBytes(options, element, raw)) {
    std::cerr << "vornfmt write: --bytes \"" << options.bytes << "\" must be pairs of hexadecimal digits\n";
    return 2;
  }
  VARIANT value;
  VariantInit(&value);
  if (!MakeValue(options, value)) {
    VariantClear(&value);
    std::cerr << "vornfmt write: VALUE \"" << options.text << "\" is not a number of that VARIANT type\n";
    return 2;
  }
  const bool ok = element.Write(raw, value, *sub);
  VariantClear(&value);
  std::cout << HexOf(raw) << "\n";
  return ok ? 0 : 1;
}

}  // namespace

void AddWriteCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<WriteOptions>();
  CLI::App* command = app.add_subcommand("write", "Write a text or a number into raw bytes of a type (WriteVT)");
  AddValueOptions(*command, options->value);
  command->add_option("--bytes", options->bytes, "Starting bytes (default: zeros of the type's length)");
  command->add_flag("--number", options->number, "VALUE is a number (VT_R8, or the --vt type), not text");
  command->add_option("TYPE", options->value.type, "Type name, optionally with #MEASUREMENT_SYSTEM")->required();
  command->add_option("VALUE", options->text, "The text (or number) to write")->required();
  command->callback([options, &exitCode] { exitCode = Write(*options); });
}

}  // namespace vornfmt::tool
