// Compiling a format specification: any text compiles into a tree within the
// nesting bound, every item's piece is masked (no bare conversion letter left
// other than 's'), and the listing of the tree can be written.
#include <cstddef>
#include <cstdint>
#include <string>

#include "format/brackets_object.h"
#include "format/format_dump.h"
#include "format/mask_conversions.h"
#include "format/text_encoding.h"

namespace {

int Check(const vornfmt::CBracketsObject& node) {
  for (const auto& item : node.Items()) {
    std::u16string again = item->Piece();
    vornfmt::MaskConversions(again);
    (void)again;
    if (static_cast<int>(item->Kind()) < 0 || static_cast<int>(item->Kind()) > 7) __builtin_trap();
  }
  if (node.Kind() == vornfmt::BracketKind::Conditional && (!node.ThenBranch() || !node.ElseBranch()))
    __builtin_trap();
  int deepest = 0;
  for (const auto& child : node.Children()) deepest = std::max(deepest, Check(*child));
  if (node.ThenBranch()) deepest = std::max(deepest, Check(*node.ThenBranch()));
  if (node.ElseBranch()) deepest = std::max(deepest, Check(*node.ElseBranch()));
  return deepest + 1;
}

// Odd first byte: the rest is UTF-16 code units (any value, unpaired
// surrogates included); else 8-bit text widened as the loader does.
std::u16string Text(const uint8_t* data, size_t size) {
  if (size == 0) return {};
  if (data[0] & 1) {
    std::u16string out;
    for (size_t i = 1; i + 1 < size; i += 2) out.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    return out;
  }
  return vornfmt::WidenWindows1252(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string spec = Text(data, size);
  vornfmt::CBracketsObject root;
  root.Compile(spec, u"SNVT_fuzz");
  if (Check(root) > vornfmt::kMaxFormatNesting + 2) __builtin_trap();
  (void)vornfmt::DescribeTree(root);
  vornfmt::CBracketsObject conditional;
  (void)conditional.CompileConditional(spec);
  Check(conditional);
  return 0;
}
