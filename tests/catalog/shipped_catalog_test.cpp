#include "catalog/shipped_catalog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/module_loader.h"

namespace vornfmt {
namespace {

namespace fs = std::filesystem;

TEST(ShippedCatalog, AnInstalledFolderBesideTheModuleWinsOverTheSourceTree) {
  const fs::path program = platform::ThisModuleFile();
  ASSERT_TRUE(program.is_absolute()) << program;
  // The test data stands in for an installed catalog, named relative to this program as an installed one is.
  const fs::path data = fs::path(VORNFMT_TEST_DATA) / "tool";
  const fs::path fromProgram = fs::relative(data, program.parent_path());
  EXPECT_TRUE(fs::equivalent(ShippedCatalogFolder(fromProgram), data));
}

TEST(ShippedCatalog, WithoutAnInstalledFolderTheSourceTreeCatalogIsUsed) {
  const fs::path source = fs::path(VORNFMT_SOURCE_DIR) / "resources" / "catalog";
  for (const fs::path& missing : {fs::path("../share/vornfmt/nonesuch"), fs::path()})
    EXPECT_TRUE(fs::equivalent(ShippedCatalogFolder(missing), source)) << missing;
}

}  // namespace
}  // namespace vornfmt
