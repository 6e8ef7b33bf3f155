#include "tools/edit/load_edit_module.h"

#include <system_error>

#include "platform/module_loader.h"

namespace vornfmt::tool {

std::filesystem::path EditModuleFile(const std::filesystem::path& program, const std::filesystem::path& fromProgram,
                                     const std::string& fileName) {
  const std::filesystem::path folder = program.parent_path();
  const std::filesystem::path installed = (folder / fromProgram / fileName).lexically_normal();
  const std::filesystem::path beside = folder / fileName;
  std::error_code ec;
  if (!std::filesystem::exists(installed, ec) && std::filesystem::exists(beside, ec)) return beside;
  return installed;
}

VornFmtEditFunction LoadEditModule(const std::filesystem::path& file, std::string& error) {
  const std::string path = file.string();
  std::string reason;
  void* module = platform::LoadModule(file, reason);
  if (!module) {
    // The loader's reason usually starts with the file's name again.
    if (reason.starts_with(path + ": ")) reason.erase(0, path.size() + 2);
    error = path + ": " + reason;
    return nullptr;
  }
  auto entry = reinterpret_cast<VornFmtEditFunction>(platform::ModuleSymbol(module, VORNFMT_EDIT_ENTRY_POINT));
  if (!entry) error = path + ": no entry point " VORNFMT_EDIT_ENTRY_POINT "; not a vornfmt dialogs module";
  return entry;
}

}  // namespace vornfmt::tool
