// The edit module (edit_module_abi.h): `vornfmt edit` itself. The value
// dialog of a type or one of its subfields (GetValueVT), started from the
// text of the given bytes (or of zeros). OK prints the accepted text and the
// bytes it writes; Cancel prints nothing.
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "control/type_element_core.h"
#include "convert/formatter_assembly.h"
#include "dialogs/gui_host.h"
#include "dialogs/qt_value_editor.h"
#include "platform/code_page.h"
#include "tools/edit/edit_module_abi.h"
#include "tools/tool_text.h"
#include "tools/value_options.h"

namespace vornfmt::tool {
namespace {

struct EditOptions {
  ValueOptions value;
  std::string hex;
};

const char* Or(const char* text) { return text ? text : ""; }

EditOptions OptionsOf(const VornFmtEditRequest& request) {
  EditOptions options;
  // The tool has chosen the folder already, relative to itself; an empty one
  // is --catalog given empty, which opening the catalog refuses.
  options.value.catalog.catalog = Or(request.catalog);
  options.value.catalog.catalogNamed = true;
  options.value.catalog.pid = Or(request.pid);
  options.value.catalog.selector = request.selector;
  options.value.catalog.locale = Or(request.locale);
  options.value.measurementSystem = Or(request.measurementSystem);
  options.value.sub = request.sub;
  options.value.field = Or(request.field);
  options.value.type = Or(request.type);
  options.hex = Or(request.hex);
  return options;
}

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
}  // namespace vornfmt::tool

extern "C" int VornFmtEdit(const VornFmtEditRequest* request) {
  if (!request || request->version != VORNFMT_EDIT_MODULE_VERSION) {
    std::cerr << "vornfmt edit: the dialogs module is of another version than the tool\n";
    return 1;
  }
  // Nothing may unwind into the tool, which may be built apart from this.
  try {
    // This module's own formatter: format-file texts widened from the ANSI
    // code page, the dialogs installed, view messages off (EditValue raises
    // them for its own call).
    const std::unique_ptr<vornfmt::Formatter> formatter =
        vornfmt::AssembleFormatter({.editor = &vornfmt::dialogs::QtEditor()});
    return vornfmt::tool::Edit(vornfmt::tool::OptionsOf(*request));
  } catch (const std::exception& e) {
    std::cerr << "vornfmt edit: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "vornfmt edit: stopped by an unexpected error\n";
  }
  return 1;
}
