#include "tests/convert/convert_catalog.h"

#include "platform/code_page.h"

namespace vornfmt::test {

ConvertCatalog::ConvertCatalog() : ConvertCatalog(std::string(VORNFMT_TEST_DATA) + "/convert") {}

ConvertCatalog::ConvertCatalog(const std::string& folder) {
  formatter_ = AssembleFormatter({.widen = &WidenWindows1252});
  formatter_->Engine().OpenCatalog(codepage::Utf8ToUtf16(folder));
}

ConvertCatalog::~ConvertCatalog() { trees_.clear(); }

CTypeTreeItem* ConvertCatalog::Load(const std::u16string& type) {
  auto root = std::make_unique<CTypeTreeItem>();
  if (!root->LoadByName(type, u"0000000000000000", 0)) return nullptr;
  trees_.push_back(std::move(root));
  return trees_.back().get();
}

Bytes Hex(const std::string& text) {
  Bytes out;
  for (size_t i = 0; i + 1 < text.size(); i += 2) out.push_back(static_cast<uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
  return out;
}

}  // namespace vornfmt::test
