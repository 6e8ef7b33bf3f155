#pragma once
// The control module's user interface on Windows: the editing step's
// dialogs and message box as real Win32 dialogs (DialogBoxParam over the
// DIALOGEX templates tools/rc/module_rc.py writes into the module from the
// same template data the Qt dialogs read), and the module's own STRINGTABLE
// as the built-in resource set.
//
// The structure dialog and the property page are not drawn on Win32: their
// calls answer false (Cancel, nothing shown), as a module without a user
// interface does.
#include <windows.h>

#include "control/module_ui.h"

namespace vornfmt {

// The module that holds this code, whose resources the dialogs load.
HINSTANCE ThisModule();

// The one instance, for CVornFmtApp.
ModuleUi& Win32ModuleUi();

}  // namespace vornfmt
