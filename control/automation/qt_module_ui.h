#pragma once
// The control module's user interface on the Qt dialogs (dialogs/): the
// value editor, the resource sets of resources/ui, the property frame. Only
// a module built with the dialogs links it (VORNFMT_DIALOGS).
#include "control/module_ui.h"

namespace vornfmt {

// The one instance, for CVornFmtApp.
ModuleUi& QtModuleUi();

}  // namespace vornfmt
