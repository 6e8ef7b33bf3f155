#pragma once
// Loading modules at run time: the language module the configuration names,
// and the control module that `vornfmt register` registers. On Windows
// LoadLibraryW / GetProcAddress (module_loader_win32.cpp); elsewhere dlopen
// / dlsym (module_loader_posix.cpp). Modules loaded here stay loaded.
#include <filesystem>
#include <string>

namespace vornfmt::platform {

// The loaded module, or null with `error` saying why.
void* LoadModule(const std::filesystem::path& file, std::string& error);
// The address of an exported function or datum; null when there is none.
void* ModuleSymbol(void* module, const char* name);
// The file of the module (shared library, DLL or program) that holds this
// function's code, absolute; empty when it cannot be told.
std::filesystem::path ThisModuleFile();

}  // namespace vornfmt::platform
