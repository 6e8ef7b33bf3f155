// Typed text into raw bytes: the first byte chooses one of the test
// catalog's types (and, with its top bit, one subfield instead of the whole
// type); the rest is the text, widened from Windows-1252. WriteVT must never
// write outside the type's bytes, and the bytes must format again afterwards.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalog/formatter_engine.h"
#include "convert/conversion_drivers.h"
#include "fuzz/convert_trees.h"
#include "convert/variant_convert.h"
#include "format/text_encoding.h"
#include "platform/automation/oleauto.h"
#include "platform/code_page.h"

namespace {

constexpr const char16_t* kTypes[] = {u"UNVT_raw16",  u"UNVT_hex",    u"UNVT_name",   u"UNVT_switch",
                                      u"UNVT_cond",   u"UNVT_bigsmall", u"UNVT_pick", u"SNVT_alarm_2",
                                      u"UNVT_cap12",  u"UNVT_cap13",  u"UNVT_pct",    u"UNVT_pair",
                                      u"UNVT_trio",   u"UNVT_real",   u"UNVT_fields30", u"UNVT_greek"};
constexpr size_t kTypeCount = sizeof kTypes / sizeof kTypes[0];
constexpr size_t kGuard = 16;

std::vector<std::unique_ptr<vornfmt::CTypeTreeItem>>& Trees() {
  static auto* trees = vornfmt::fuzz::LoadConvertTrees(kTypes);
  return *trees;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  vornfmt::CTypeTreeItem& root = *Trees()[data[0] % kTypeCount];
  const size_t length = root.GetSize(true);
  int16_t sub = -1;
  if ((data[0] & 0x80) && root.GetSubfieldCount() > 0)
    sub = static_cast<int16_t>((data[0] >> 4 & 7) % root.GetSubfieldCount());
  const std::u16string text =
      vornfmt::WidenWindows1252(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

  std::vector<uint8_t> raw(length + kGuard, 0x5A);
  VARIANT value;
  VariantInit(&value);
  vornfmt::SetBstr(value, text);
  vornfmt::WriteFromVariant(root, raw.data(), length, &value, sub);
  VariantClear(&value);
  for (size_t i = length; i < raw.size(); ++i)
    if (raw[i] != 0x5A) __builtin_trap();

  VARIANT result;
  VariantInit(&result);
  if (!vornfmt::FormatToVariant(root, raw.data(), length, VT_BSTR, &result, -1) || result.vt != VT_BSTR)
    __builtin_trap();
  VariantClear(&result);
  return 0;
}
