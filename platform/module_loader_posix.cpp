#include <dlfcn.h>

#include "platform/module_loader.h"

namespace vornfmt::platform {

void* LoadModule(const std::filesystem::path& file, std::string& error) {
  void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* reason = dlerror();
    error = reason ? reason : file.string() + ": cannot be loaded";
  }
  return module;
}

void* ModuleSymbol(void* module, const char* name) { return module ? dlsym(module, name) : nullptr; }

std::filesystem::path ThisModuleFile() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&ThisModuleFile), &info) || !info.dli_fname) return {};
  std::error_code ec;
  std::filesystem::path file = std::filesystem::canonical(info.dli_fname, ec);
  return ec ? std::filesystem::path() : file;
}

}  // namespace vornfmt::platform
