#pragma once
// Where the standard catalog that ships with vornfmt lies. Installed, it
// sits at a fixed place relative to the program or module that uses it (the
// tool in bin/, the Python module in its package folder), so an installed
// tree works wherever it was unpacked; run from the build folder, a program
// finds the source tree's catalog instead.
#include <filesystem>

namespace vornfmt {

// `fromModuleFolder`: the installed catalog's path relative to the folder of
// the module that calls this (platform::ThisModuleFile). When no folder is
// there, the catalog of the source tree this was built from.
std::filesystem::path ShippedCatalogFolder(const std::filesystem::path& fromModuleFolder);

}  // namespace vornfmt
