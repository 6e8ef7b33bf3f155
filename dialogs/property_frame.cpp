#include "dialogs/property_frame.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/modal.h"
#include "dialogs/template_dialog.h"

namespace vornfmt::dialogs {
namespace {

QString Q(std::u16string_view text) { return QString::fromStdU16String(std::u16string(text)); }

}  // namespace

bool RunPropertyFrame(const ResourceSet& resources, std::u16string_view title, int dialogId,
                      std::u16string_view caption) {
  const DialogTemplate* t = resources.Dialog(dialogId);
  if (!t) return false;
  QDialog frame(OwnerWindow());
  frame.setWindowTitle(Q(title));
  auto* layout = new QVBoxLayout(&frame);
  auto* tabs = new QTabWidget(&frame);
  // Added to the tabs, the page's dialog becomes a child widget of its tab.
  tabs->addTab(new TemplateDialog(*t, nullptr), Q(caption));
  layout->addWidget(tabs);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &frame);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &frame, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &frame, &QDialog::reject);
  layout->addWidget(buttons);
  RunModal(frame);
  return true;
}

}  // namespace vornfmt::dialogs
