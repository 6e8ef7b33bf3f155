// Conditions of conditional formats, evaluated against the values of a
// decoded tree: any condition text compiles or is refused, and evaluates to
// a plain answer whatever fields it names and numbers it holds.
//
// Input: the first byte picks the type, the next four are its raw bytes, the
// rest is the condition (Windows-1252).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "convert/output/evaluate_condition.h"
#include "convert/output/render.h"
#include "format/alternate_fmt.h"
#include "fuzz/convert_trees.h"
#include "format/text_encoding.h"
#include "platform/code_page.h"
#include "typetree/codec.h"

namespace {

constexpr const char16_t* kTypes[] = {u"UNVT_switch", u"UNVT_cond", u"UNVT_bigsmall", u"UNVT_real", u"UNVT_trio"};
constexpr size_t kRawBytes = 4;

std::vector<std::unique_ptr<vornfmt::CTypeTreeItem>>& Trees() {
  static auto* trees = vornfmt::fuzz::LoadConvertTrees(kTypes);
  return *trees;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 + kRawBytes) return 0;
  vornfmt::CTypeTreeItem& root = *Trees()[data[0] % std::size(kTypes)];
  std::vector<uint8_t> raw(data + 1, data + 1 + kRawBytes);
  raw.resize(std::max<size_t>(raw.size(), root.GetSize(true)), 0);
  vornfmt::Decode(root, raw.data(), raw.size());
  const std::u16string condition = vornfmt::WidenWindows1252(
      std::string_view(reinterpret_cast<const char*>(data + 1 + kRawBytes), size - 1 - kRawBytes));
  vornfmt::CAlternateFmt format(u"", false);
  if (!format.CompileConditional(u"(" + condition + u")?(\"T\"):(\"F\")")) return 0;
  const bool holds = vornfmt::EvaluateCondition(format, root);
  std::u16string shown;
  vornfmt::Render(format, shown, root);
  if (shown != (holds ? u"T" : u"F")) __builtin_trap();
  return 0;
}
