// The control module's four exports, with C linkage. Only the module itself
// (vornfmt.ocx) is built from this file.
//
// Module start runs once, at the first request for a class object, rather
// than while the loader is still mapping the module: by then every static
// object of the module exists. Module exit runs when the module is unloaded
// or the process ends, before the objects module start created are
// destroyed (it is registered with atexit at the end of module start, and
// such handlers run in reverse order of registration).
#include <mutex>

#include "control/automation/class_factory.h"
#include "control/automation/module_counts.h"
#include "control/automation/registration.h"
#include "control/vornfmt_app.h"
#include "platform/module_loader.h"
#ifdef VORNFMT_WITH_DIALOGS
#include "control/automation/qt_module_ui.h"
#elif defined(_WIN32)
#include "control/automation/windows/win32_module_ui.h"
#endif

#ifdef _WIN32
#define VORNFMT_EXPORT
#else
#define VORNFMT_EXPORT __attribute__((visibility("default")))
#endif

namespace vornfmt {
namespace {

// What the module shows through: the Qt dialogs when it is built with
// them, the Win32 dialogs on Windows; else nothing (writes that fail answer
// false, no page is shown).
ModuleUi* TheModuleUi() {
#ifdef VORNFMT_WITH_DIALOGS
  return &QtModuleUi();
#elif defined(_WIN32)
  return &Win32ModuleUi();
#else
  return nullptr;
#endif
}

CVornFmtApp& TheApp() {
  static CVornFmtApp app({}, TheModuleUi());
  return app;
}

std::once_flag started;

// Ends the application when the module is unloaded or the process ends,
// whichever comes first, before the application object goes. A static's
// destructor is registered with this module, as std::atexit called from a
// module is by the C library; ThreadSanitizer's std::atexit is not, and
// runs the handler at process exit even after the module was unloaded.
struct ModuleExit {
  ~ModuleExit() { TheApp().ExitInstance(); }
};

void StartModule() {
  std::call_once(started, [] {
    TheApp().InitInstance();
    static const ModuleExit at_unload;
  });
}

// The module object comes into being when the module is loaded.
const struct ModuleObject {
  ModuleObject() { TheApp(); }
} moduleObject;

}  // namespace
}  // namespace vornfmt

extern "C" {

VORNFMT_EXPORT HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  try {
    vornfmt::StartModule();
    return vornfmt::GetModuleClassObject(rclsid, riid, ppv);
  } catch (...) {
    if (ppv) *ppv = nullptr;
    return E_UNEXPECTED;
  }
}

VORNFMT_EXPORT HRESULT STDAPICALLTYPE DllCanUnloadNow(void) { return vornfmt::module::CanUnloadNow() ? S_OK : S_FALSE; }

VORNFMT_EXPORT HRESULT STDAPICALLTYPE DllRegisterServer(void) {
  try {
    return vornfmt::RegisterServer(vornfmt::platform::ThisModuleFile());
  } catch (...) {
    return SELFREG_E_TYPELIB;
  }
}

VORNFMT_EXPORT HRESULT STDAPICALLTYPE DllUnregisterServer(void) {
  try {
    return vornfmt::UnregisterServer();
  } catch (...) {
    return SELFREG_E_TYPELIB;
  }
}

}  // extern "C"
