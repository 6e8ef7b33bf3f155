#include <dlfcn.h>
#include <link.h>

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
  link_map* map = nullptr;
  if (!dladdr1(reinterpret_cast<void*>(&ThisModuleFile), &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) ||
      !info.dli_fname)
    return {};
  std::error_code ec;
  // The program itself has no name in its link map, and the one dladdr gives
  // it is argv[0], which may be a bare name found on PATH.
  if (map && map->l_name && map->l_name[0] == '\0') {
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return program;
  }
  std::filesystem::path file = std::filesystem::canonical(info.dli_fname, ec);
  return ec ? std::filesystem::path() : file;
}

}  // namespace vornfmt::platform
