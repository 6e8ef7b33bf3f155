#include "dialogs/modal.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace vornfmt::dialogs {
namespace {

ModalHook& Hook() {
  static ModalHook hook;
  return hook;
}

}  // namespace

ModalHook SetModalHook(ModalHook hook) {
  ModalHook previous = std::move(Hook());
  Hook() = std::move(hook);
  return previous;
}

int RunModal(QDialog& dialog) {
  if (Hook()) {
    QPointer<QDialog> guarded(&dialog);
    QTimer::singleShot(0, &dialog, [guarded] {
      if (guarded && Hook()) {
        ModalHook hook = Hook();  // the hook may replace itself
        hook(*guarded);
      }
    });
  }
  return dialog.exec();
}

QWidget* OwnerWindow() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

}  // namespace vornfmt::dialogs
