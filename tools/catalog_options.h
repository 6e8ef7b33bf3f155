#pragma once
// Options every command shares: which catalog, program ID and selector.
#include <string>

#include <CLI/CLI.hpp>


namespace vornfmt::tool {

struct CatalogOptions {
  std::string catalog;  // empty: the shipped standard catalog
  std::string pid = "0000000000000000";
  int selector = 0;
};

void AddCatalogOptions(CLI::App& command, CatalogOptions& options);

// The catalog folder to use: --catalog, else $VORNFMT_CATALOG, else the shipped one.
std::string CatalogFolder(const CatalogOptions& options);

// The program ID as the engine takes it: colons removed, so that both
// 9FFFFF0501840460 and 9F:FF:FF:05:01:84:04:60 work.
std::u16string PidText(const std::string& pid);

// Opens the module-wide engine on the catalog; on failure explains why on
// standard error and answers false.
bool OpenCatalog(const CatalogOptions& options);

}  // namespace vornfmt::tool
