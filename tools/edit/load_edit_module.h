#pragma once
// Finding and loading the edit module (edit_module_abi.h) when `vornfmt edit`
// runs, and only then: the module brings the dialogs and the user-interface
// libraries they need, which no other command loads.
#include <filesystem>
#include <string>

#include "tools/edit/edit_module_abi.h"

namespace vornfmt::tool {

// The module's file for the program at `program`: installed, it lies at a
// fixed place relative to the program (`fromProgram`, ../lib/vornfmt from
// bin/); in the build folder, beside it. When neither file is there, the
// installed place, which is where one would be missing.
std::filesystem::path EditModuleFile(const std::filesystem::path& program, const std::filesystem::path& fromProgram,
                                     const std::string& fileName);

// The module's entry point; null with `error` saying why ("PATH: reason").
VornFmtEditFunction LoadEditModule(const std::filesystem::path& file, std::string& error);

}  // namespace vornfmt::tool
