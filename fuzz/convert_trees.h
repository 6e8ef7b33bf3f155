#pragma once
// Trees of the conversion tests' catalog (tests/data/convert), loaded once
// per fuzzing process in a formatter assembled for it. The formatter and the
// trees are kept for the life of the process: a fuzzer never returns.
#include <span>
#include <memory>
#include <string>
#include <vector>

#include "convert/formatter_assembly.h"
#include "format/text_encoding.h"
#include "platform/code_page.h"
#include "typetree/type_tree_item.h"

namespace vornfmt::fuzz {

inline std::vector<std::unique_ptr<CTypeTreeItem>>* LoadConvertTrees(std::span<const char16_t* const> types) {
  std::string folder = __FILE__;  // .../fuzz/convert_trees.h
  folder.resize(folder.rfind('/'));
  folder.resize(folder.rfind('/'));
  auto* formatter = AssembleFormatter({.widen = &WidenWindows1252}).release();
  formatter->Engine().OpenCatalog(codepage::Utf8ToUtf16(folder + "/tests/data/convert"));
  auto* loaded = new std::vector<std::unique_ptr<CTypeTreeItem>>();
  for (const char16_t* type : types) {
    loaded->push_back(std::make_unique<CTypeTreeItem>());
    if (!loaded->back()->LoadByName(type, u"0000000000000000", 0)) __builtin_trap();
  }
  return loaded;
}

}  // namespace vornfmt::fuzz
