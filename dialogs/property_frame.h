#pragma once
// The property frame the control's Properties verb opens: a modal window
// with one tab per page (the control has one, "General") and OK and Cancel
// below. The frame is the window system's on Windows, so its buttons speak
// Qt's language; the page is ours: built from its dialog template of the
// resource set, under the caption the control gives.
#include <string_view>

#include "dialogs/resource_set.h"

namespace vornfmt::dialogs {

// Runs the frame titled `title` with the page of template `dialogId` under
// the tab `caption`; false (nothing shown) when the set has no such
// template. OK and Cancel both answer true: the page holds nothing to apply.
bool RunPropertyFrame(const ResourceSet& resources, std::u16string_view title, int dialogId,
                      std::u16string_view caption);

}  // namespace vornfmt::dialogs
