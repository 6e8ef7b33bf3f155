#pragma once
// Where dialogs may appear. A host without Qt gets a QApplication on demand,
// created in the thread of the first call that shows something and kept for
// the life of the process; from then on only that thread can show dialogs.
// A call from any other thread -- or in a process whose application object
// is not a widget application -- answers false and shows nothing.
// QT_QPA_PLATFORM chooses the window system as usual (offscreen, xcb, ...).
#include <string>

namespace vornfmt::dialogs {

// True when this thread can show widgets now (creating the application
// when there is none and a display can be reached).
bool EnsureGuiApplication();

// Whether the window system Qt would use can be reached; `why` says what is
// missing when not. Checked before an application is created, because Qt
// ends the process when it cannot connect to a display.
bool DisplayReachable(std::string& why);

}  // namespace vornfmt::dialogs
