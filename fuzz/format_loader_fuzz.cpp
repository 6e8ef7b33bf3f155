// Format-file loading: any text, read line by line and joined into entries,
// loads into a CFmtFile without crashing; every object found in the tables is
// found again by its name, and its trees stay within the nesting bound.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "catalog/format_file_loader.h"
#include "format/fmt_file.h"
#include "format/format_dump.h"

namespace {

int Depth(const vornfmt::CBracketsObject& node) {
  int deepest = 0;
  for (const auto& child : node.Children()) deepest = std::max(deepest, Depth(*child));
  if (node.ThenBranch()) deepest = std::max(deepest, Depth(*node.ThenBranch()));
  if (node.ElseBranch()) deepest = std::max(deepest, Depth(*node.ElseBranch()));
  return deepest + 1;
}

void CheckObjects(const vornfmt::CFmtFile& file, const std::vector<const vornfmt::CFmtObject*>& objects) {
  for (std::size_t i = 0; i < objects.size(); ++i) {
    const vornfmt::CFmtObject* object = objects[i];
    if (file.FindObject(object->Name()) != object) __builtin_trap();
    if (i > 0 && !(objects[i - 1]->Name() < object->Name())) __builtin_trap();
    for (const auto& alternative : object->Alternatives()) {
      if (Depth(*alternative) > vornfmt::kMaxFormatNesting + 2) __builtin_trap();
      (void)vornfmt::ShowsNothing(*alternative);
    }
    if (!object->Alternatives().empty() && object->SelectFormat(u"SI") == nullptr) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  vornfmt::CFmtFile file(u"fuzz.fmt");
  vornfmt::LoadFormatText(in, file);
  CheckObjects(file, file.NvtObjects());
  CheckObjects(file, file.CptObjects());
  return 0;
}
