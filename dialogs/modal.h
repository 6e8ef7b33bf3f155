#pragma once
// Running a dialog modally, with a hook that lets a test act as the user:
// whenever one of our dialogs or message boxes opens, the hook is called
// with it from inside its message loop (once it is on screen); it can find
// controls by id (TemplateDialog::Control), type, select and click, and
// must close the dialog.
#include <functional>

class QDialog;
class QWidget;

namespace vornfmt::dialogs {

using ModalHook = std::function<void(QDialog&)>;

// Installs `hook` (empty: none); answers the previous one.
ModalHook SetModalHook(ModalHook hook);

// exec() of `dialog`, calling the hook first when one is installed.
int RunModal(QDialog& dialog);

// The owner of a new dialog: the dialog open now in this thread, else the
// active window, else none.
QWidget* OwnerWindow();

}  // namespace vornfmt::dialogs
