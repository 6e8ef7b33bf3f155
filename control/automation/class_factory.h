#pragma once
// The module's two class factories, the control's and the property page's,
// and the class-object look-up behind DllGetClassObject. A factory is a
// static object; its references and LockServer locks keep the module loaded
// (module_counts.h).
#include "platform/automation/oleauto.h"

namespace vornfmt {

// CLASS_E_CLASSNOTAVAILABLE for any class but the control and the property
// page (TypeElement has no factory: GetItem1/2/3 make elements).
HRESULT GetModuleClassObject(REFCLSID clsid, REFIID riid, void** object);

}  // namespace vornfmt
