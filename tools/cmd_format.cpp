// vornfmt format: raw bytes of a type to text, or to a number of a VARIANT type.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "convert/conversion_drivers.h"
#include "convert/variant_convert.h"
#include "format/fmt_file_factory.h"
#include "platform/automation/oleauto.h"
#include "platform/code_page.h"
#include "tools/commands.h"
#include "tools/value_options.h"

namespace vornfmt::tool {
namespace {

struct FormatOptions {
  ValueOptions value;
  std::string hex;
};

// The result as the platform's conversion to text gives it (a VT_BOOL
// true reads "-1"); empty when it has none.
std::string ResultText(VARIANT& result) {
  VARIANT text;
  VariantInit(&text);
  std::string out;
  if (VariantChangeType(&text, &result, 0, VT_BSTR) == S_OK) out = codepage::Utf16ToUtf8(BstrText(text));
  VariantClear(&text);
  return out;
}

int Format(const FormatOptions& options) {
  std::vector<uint8_t> raw;
  if (!UnpackHex(options.hex, raw)) {
    std::cerr << "vornfmt format: HEX must be pairs of hexadecimal digits\n";
    return 2;
  }
  SetFormatFileFactory(MakeFmtFileFactory(&codepage::FromAnsi));
  CTypeTreeItem root;
  if (!LoadType(root, options.value, "format")) return 1;
  const std::optional<int16_t> sub = SubfieldIndex(root, options.value, "format");
  if (!sub) return 1;
  const auto vt = static_cast<VARTYPE>(options.value.vt < 0 ? VT_BSTR : options.value.vt);
  VARIANT result;
  VariantInit(&result);
  const BOOL ok = FormatToVariant(root, raw.data(), raw.size(), vt, &result, *sub);
  std::cout << ResultText(result) << "\n";
  VariantClear(&result);
  return ok ? 0 : 1;
}

}  // namespace

void AddFormatCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<FormatOptions>();
  CLI::App* command = app.add_subcommand("format", "Show raw bytes of a type as text (FormatVT)");
  AddValueOptions(*command, options->value);
  command->add_option("TYPE", options->value.type, "Type name, optionally with #MEASUREMENT_SYSTEM")->required();
  command->add_option("HEX", options->hex, "Raw bytes: 0A28, \"0a 28\" or 0A:28")->required();
  command->callback([options, &exitCode] { exitCode = Format(*options); });
}

}  // namespace vornfmt::tool
