#include "tools/catalog_options.h"

#include <cstdlib>
#include <iostream>

#include "catalog/formatter_engine.h"
#include "platform/code_page.h"

#ifndef VORNFMT_DEFAULT_CATALOG
#define VORNFMT_DEFAULT_CATALOG "resources/catalog"
#endif

namespace vornfmt::tool {

void AddCatalogOptions(CLI::App& command, CatalogOptions& options) {
  command.add_option("--catalog", options.catalog, "Catalog folder (default: the shipped standard catalog)");
  command.add_option("--pid", options.pid, "Program ID: 16 hex digits or FM:MM:MM:CC:CC:UU:TT:NN")
      ->capture_default_str();
  command.add_option("--selector", options.selector, "Selector: the scope searched, 0 to 6")
      ->capture_default_str()
      ->check(CLI::Range(0, 65535));
}

std::string CatalogFolder(const CatalogOptions& options) {
  if (!options.catalog.empty()) return options.catalog;
  if (const char* fromEnvironment = std::getenv("VORNFMT_CATALOG"); fromEnvironment && *fromEnvironment)
    return fromEnvironment;
  return VORNFMT_DEFAULT_CATALOG;
}

std::u16string PidText(const std::string& pid) {
  std::string digits;
  for (char c : pid)
    if (c != ':') digits.push_back(c);
  return codepage::Utf8ToUtf16(digits);
}

bool OpenCatalog(const CatalogOptions& options) {
  FormatterEngine& engine = TheEngine();
  const std::string folder = CatalogFolder(options);
  // Opening again would destroy the format files that loaded types still use.
  if (engine.HasCatalog() && engine.CatalogFolder() == codepage::Utf8ToUtf16(folder)) return true;
  engine.OpenCatalog(codepage::Utf8ToUtf16(folder));
  if (engine.HasCatalog()) return true;
  std::cerr << "vornfmt: cannot open the catalog " << folder << ": " << engine.LastLibraryError() << "\n";
  return false;
}

}  // namespace vornfmt::tool
