// A program of a library user: formats and writes SNVT_switch through the
// installed library, found with find_package or pkg-config.
#include <cstdio>
#include <vector>

#include "control/type_element_core.h"
#include "convert/formatter_assembly.h"
#include "platform/automation/bstr_text.h"
#include "platform/code_page.h"

int main() {
  const auto formatter = vornfmt::AssembleFormatter();
  formatter->Engine().OpenCatalog(u"" VORNFMT_CATALOG_DIR);
  vornfmt::TypeElementCore element;
  if (!element.LoadByName(u"SNVT_switch", u"0000000000000000", 0)) return 1;
  std::vector<uint8_t> raw = {0xC8, 0x01};
  VARIANT text;
  VariantInit(&text);
  if (!element.Format(raw, VT_BSTR, text, -1)) return 2;
  std::printf("C801 -> %s\n", vornfmt::codepage::Utf16ToUtf8(vornfmt::BstrText(text)).c_str());
  vornfmt::SetBstr(text, u"50 1");
  if (!element.Write(raw, text, -1)) return 3;
  std::printf("50 1 -> %02X%02X\n", raw[0], raw[1]);
  VariantClear(&text);
  return 0;
}
