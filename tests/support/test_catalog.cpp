#include "tests/support/test_catalog.h"

#include <gtest/gtest.h>

#include "format/fmt_file_factory.h"
#include "platform/code_page.h"
#include "tests/support/scripted_library.h"

namespace vornfmt::test {

TestCatalog::TestCatalog(const std::string& folder, bool formats) : library_(ScriptedLdrf()), engine_(library_) {
  if (formats) engine_.SetFormatFileFactory(MakeFmtFileFactory());
  engine_.OpenCatalog(codepage::Utf8ToUtf16(folder[0] == '/' ? folder : VORNFMT_TEST_DATA "/" + folder));
  previous_ = InstallEngine(&engine_);
}

TestCatalog::~TestCatalog() {
  trees_.clear();
  InstallEngine(previous_);
}

CTypeTreeItem& TestCatalog::Load(const std::u16string& type, const std::u16string& pid, int16_t selector) {
  trees_.push_back(std::make_unique<CTypeTreeItem>());
  EXPECT_TRUE(trees_.back()->LoadByName(type, pid, selector)) << codepage::Utf16ToUtf8(type);
  return *trees_.back();
}

Bytes Hex(const std::string& text) {
  Bytes out;
  for (size_t i = 0; i + 1 < text.size(); i += 2) out.push_back(static_cast<uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
  return out;
}

std::string HexOf(const Bytes& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : bytes) out += {digits[b >> 4], digits[b & 15]};
  return out;
}

}  // namespace vornfmt::test
