#pragma once
// Self-registration: what DllRegisterServer and DllUnregisterServer write to
// and remove from HKEY_CLASSES_ROOT, through the registry API.
//
// The type library (failure: SELFREG_E_TYPELIB, 0x80040200):
//   TypeLib\{LIBID}\1.0                  @ = "VornFmt ActiveX Control module"
//   TypeLib\{LIBID}\1.0\0\win32|win64    @ = the module file
//   TypeLib\{LIBID}\1.0\FLAGS            @ = "2" (a control's library)
//   TypeLib\{LIBID}\1.0\HELPDIR          @ = the module's folder
//   Interface\{IID} of _DVornFmt, _DVornFmtEvents and ITypeElement:
//     @ = the name; ProxyStubClsid and ProxyStubClsid32 = the standard
//     dispatch marshaller; TypeLib @ = {LIBID}, Version = "1.0"
// The classes (failure: SELFREG_E_CLASS, 0x80040201):
//   CLSID\{control}   @ = string 1; InprocServer32 @ = the module file,
//     ThreadingModel = "Apartment"; ProgID; Control; ToolboxBitmap32
//     "<module>, 1"; MiscStatus @ = "0", MiscStatus\1 @ = "132241"
//     (0x20491); TypeLib; Version "1.0"
//   VORNFMT.VornFmtCtrl.1  @ = string 1; CLSID @ = {control}
//   CLSID\{page}      @ = string 2; InprocServer32 as above; ProgID
//   VORNFMT.VornFmtPropPage.1  @ = string 2; CLSID @ = {page}
//
// Unregistering removes exactly these keys (and TypeLib\{LIBID} when no
// other version is left in it); keys that are already gone are no failure.
#include <filesystem>

#include "platform/automation/oleauto.h"

namespace vornfmt {

HRESULT RegisterServer(const std::filesystem::path& moduleFile);
HRESULT UnregisterServer();

}  // namespace vornfmt
