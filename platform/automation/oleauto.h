#pragma once
// The automation API (VARIANT, BSTR, SAFEARRAY, VariantChangeType, HRESULT
// and the DISP_E_ codes) and COM (GUIDs, IUnknown, IDispatch, IClassFactory,
// DISPPARAMS, EXCEPINFO, activation, the SELFREG_E_ and CTL_E_ codes, and
// IStream and IPersistStreamInit): the one header through which the code
// reaches them.
//
//   - On Windows (_WIN32) it is the system's own: <windows.h>, <oleauto.h>
//     and <olectl.h>, with oleaut32 and ole32 behind them.
//   - Elsewhere it is our emulation under platform/automation/emulation/,
//     which has the same names, values and layout (OLECHAR there is
//     char16_t, on Windows wchar_t; both are UTF-16 code units).
//
// Only names of the real Windows API may be used through this header; helpers
// of our own over it live in our namespace (platform/automation/bstr_text.h).
#ifdef _WIN32
// windows.h would otherwise define min and max as macros, which breaks
// std::min, std::max and numeric_limits<T>::max() in every file including us.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <oleauto.h>
#include <olectl.h>
#else
#include "platform/automation/emulation/oleauto.h"
#endif

#include "platform/variant_fwd.h"
