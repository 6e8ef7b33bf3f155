#pragma once
// The module's classes as hosts and the registry know them. The control's
// class, the type library and the interfaces are identified in
// resources/vornfmt.idl (vornfmt_idl.h); the property page, which the type
// library does not describe, here.
#include "platform/automation/oleauto.h"

namespace vornfmt {

inline constexpr GUID kClsidVornFmtPropPage = {
    0xA008658E, 0x78EB, 0x494B, {0x97, 0xDD, 0x3C, 0xA6, 0xF0, 0xAC, 0x60, 0x21}};

inline constexpr char16_t kControlProgId[] = u"VORNFMT.VornFmtCtrl.1";
inline constexpr char16_t kPropertyPageProgId[] = u"VORNFMT.VornFmtPropPage.1";

// OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INVISIBLEATRUNTIME |
// OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE.
inline constexpr unsigned long kControlMiscStatus = 0x20491;

}  // namespace vornfmt
