#include <windows.h>

#include "platform/module_loader.h"

namespace vornfmt::platform {

void* LoadModule(const std::filesystem::path& file, std::string& error) {
  HMODULE module = LoadLibraryW(file.c_str());
  if (!module) error = file.string() + ": cannot be loaded (error " + std::to_string(GetLastError()) + ")";
  return reinterpret_cast<void*>(module);
}

void* ModuleSymbol(void* module, const char* name) {
  return module ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name)) : nullptr;
}

std::filesystem::path ThisModuleFile() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&ThisModuleFile), &self))
    return {};
  wchar_t name[32768];
  const DWORD length = GetModuleFileNameW(self, name, static_cast<DWORD>(sizeof name / sizeof name[0]));
  if (length == 0 || length >= sizeof name / sizeof name[0]) return {};
  return std::filesystem::path(std::wstring(name, length));
}

}  // namespace vornfmt::platform
