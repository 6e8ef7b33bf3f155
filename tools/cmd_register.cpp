// vornfmt register: what the platform's registration tool does for a control
// module -- load it and call its DllRegisterServer, or with --unregister its
// DllUnregisterServer. The registry is the one platform/registry/winreg.h
// reaches ($VORNFMT_REGISTRY, else the per-user or system hives).
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "platform/automation/oleauto.h"
#include "platform/module_loader.h"
#include "tools/commands.h"

namespace vornfmt::tool {
namespace {

struct RegisterOptions {
  std::string module;
  bool unregister = false;
};

using EntryPoint = HRESULT (*)();

std::string Code(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

std::string Meaning(HRESULT hr) {
  if (hr == SELFREG_E_TYPELIB) return " (the type library could not be registered)";
  if (hr == SELFREG_E_CLASS) return " (a class could not be registered)";
  return "";
}

int Register(const RegisterOptions& options) {
  // The module is loaded by its absolute name, which it then registers.
  std::error_code ec;
  const std::filesystem::path file = std::filesystem::absolute(options.module, ec);
  std::string error;
  void* module = ec ? nullptr : platform::LoadModule(file, error);
  if (!module) {
    std::cerr << "vornfmt register: cannot load " << options.module << ": " << error << "\n";
    return 1;
  }
  const char* name = options.unregister ? "DllUnregisterServer" : "DllRegisterServer";
  auto entry = reinterpret_cast<EntryPoint>(platform::ModuleSymbol(module, name));
  if (!entry) {
    std::cerr << "vornfmt register: " << options.module << " has no " << name << "\n";
    return 1;
  }
  const HRESULT hr = entry();
  if (FAILED(hr)) {
    std::cerr << "vornfmt register: " << name << " of " << options.module << " answered " << Code(hr) << Meaning(hr)
              << "\n";
    return 1;
  }
  std::cout << (options.unregister ? "unregistered " : "registered ") << file.string() << "\n";
  return 0;
}

}  // namespace

void AddRegisterCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<RegisterOptions>();
  CLI::App* command = app.add_subcommand("register", "Register a control module (DllRegisterServer), or unregister it");
  command->add_option("MODULE", options->module, "The control module, e.g. build/vornfmt.ocx")->required();
  command->add_flag("--unregister", options->unregister, "Call DllUnregisterServer instead");
  command->callback([options, &exitCode] { exitCode = Register(*options); });
}

}  // namespace vornfmt::tool
