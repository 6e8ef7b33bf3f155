// vornfmt edit: the value dialog of a type or one of its subfields
// (GetValueVT), started from the text of the given bytes (or of zeros).
// OK prints the accepted text and the bytes it writes; Cancel prints nothing.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "control/type_element_core.h"
#include "dialogs/gui_host.h"
#include "platform/code_page.h"
#include "tools/commands.h"
#include "tools/value_options.h"

namespace vornfmt::tool {
namespace {

struct EditOptions {
  ValueOptions value;
  std::string hex;
};

int Edit(const EditOptions& options) {
  std::string why;
  if (!dialogs::DisplayReachable(why)) {
    std::cerr << "vornfmt edit: no display to show the dialog on (" << why << ")\n";
    return 2;
  }
  TypeElementCore element;
  const std::optional<int16_t> sub = LoadTypeAndSubfield(element, options.value, "edit");
  if (!sub) return 1;
  const size_t length = static_cast<uint16_t>(element.Length(-1));
  std::vector<uint8_t> raw(length, 0);
  if (!options.hex.empty() && (!UnpackHex(options.hex, raw) || raw.size() < length)) {
    std::cerr << "vornfmt edit: HEX \"" << options.hex << "\" must be " << length << " or more bytes as pairs of "
              << "hexadecimal digits\n";
    return 2;
  }
  VARIANT value;
  VariantInit(&value);
  element.Format(raw, VT_BSTR, value, *sub);
  if (value.vt != VT_BSTR) SetBstr(value, u"");
  if (!element.EditValue(value, *sub)) {
    VariantClear(&value);
    return 1;
  }
  const std::u16string text(ResultText(value));
  const bool written = element.Write(raw, value, *sub);
  VariantClear(&value);
  std::cout << codepage::Utf16ToUtf8(text) << "\n" << HexOf(raw) << "\n";
  return written ? 0 : 1;
}

}  // namespace

void AddEditCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<EditOptions>();
  CLI::App* command = app.add_subcommand("edit", "Edit a value in its dialog (GetValueVT); print the text and bytes");
  AddValueOptions(*command, options->value);
  command->add_option("TYPE", options->value.type, "Type name, optionally with #MEASUREMENT_SYSTEM")->required();
  command->add_option("HEX", options->hex, "Starting bytes (default: zeros of the type's length)");
  command->callback([options, &exitCode] { exitCode = Edit(*options); });
}

}  // namespace vornfmt::tool
