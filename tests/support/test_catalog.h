#pragma once
// A test catalog opened in an engine of the test's own over the scripted
// library (tests/support/scripted_library.h), installed as the module-wide
// engine while the object lives; types are loaded from it by name.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/formatter_engine.h"
#include "typetree/type_tree_item.h"

namespace vornfmt::test {

inline constexpr char16_t kPid[] = u"0000000000000000";
using Bytes = std::vector<uint8_t>;

class TestCatalog {
 public:
  // `folder` is under tests/data unless absolute; with `formats`, the
  // catalog's format files are read too.
  TestCatalog(const std::string& folder, bool formats);
  TestCatalog(const TestCatalog&) = delete;
  TestCatalog& operator=(const TestCatalog&) = delete;
  ~TestCatalog();

  FormatterEngine& Engine() { return engine_; }
  // Loads `type`; the tree lives as long as this object. A type that does not
  // load fails the test and gives an empty tree.
  CTypeTreeItem& Load(const std::u16string& type, const std::u16string& pid = kPid, int16_t selector = 0);

 private:
  LdrfApi library_;
  FormatterEngine engine_;
  FormatterEngine* previous_;
  std::vector<std::unique_ptr<CTypeTreeItem>> trees_;
};

// "0A28" -> {0x0A, 0x28}, and back.
Bytes Hex(const std::string& text);
std::string HexOf(const Bytes& bytes);
// ASCII text of a UTF-16 name, for failure messages.
inline std::string Narrow(std::u16string_view text) { return {text.begin(), text.end()}; }

}  // namespace vornfmt::test
