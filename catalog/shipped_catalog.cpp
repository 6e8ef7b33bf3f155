#include "catalog/shipped_catalog.h"

#include <system_error>

#include "platform/module_loader.h"

#ifndef VORNFMT_SOURCE_CATALOG
#define VORNFMT_SOURCE_CATALOG "resources/catalog"
#endif

namespace vornfmt {

std::filesystem::path ShippedCatalogFolder(const std::filesystem::path& fromModuleFolder) {
  const std::filesystem::path module = platform::ThisModuleFile();
  if (!module.empty() && !fromModuleFolder.empty()) {
    const std::filesystem::path installed = (module.parent_path() / fromModuleFolder).lexically_normal();
    std::error_code ec;
    if (std::filesystem::is_directory(installed, ec)) return installed;
  }
  return VORNFMT_SOURCE_CATALOG;
}

}  // namespace vornfmt
