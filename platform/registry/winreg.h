#pragma once
// The registry API (RegOpenKeyExW, RegQueryValueExW, RegCreateKeyExW,
// RegSetValueExW, RegDeleteTreeW, ... with HKEY, REG_ and ERROR_ codes): the
// one header through which the code reaches it.
//
//   - On Windows (_WIN32) it is the system's own: <windows.h>, advapi32.
//   - Elsewhere it is our emulation over hive files in the registry export
//     format, platform/registry/emulation/ (winreg.h there says how it
//     behaves, hive_store.h where the files live).
//
// Texts are UTF-16 on both: WCHAR is wchar_t on Windows and char16_t in the
// emulation; RegistryText() views a char16_t text as WCHARs.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "platform/registry/emulation/winreg.h"
#endif

namespace vornfmt {

static_assert(sizeof(WCHAR) == sizeof(char16_t), "WCHAR must be a UTF-16 code unit");

inline const WCHAR* RegistryText(const char16_t* text) { return reinterpret_cast<const WCHAR*>(text); }

}  // namespace vornfmt
