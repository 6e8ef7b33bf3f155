#include "dialogs/value_dialogs.h"

#include <algorithm>

#include <QBitmap>
#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>

#include "convert/conversion_drivers.h"
#include "convert/output/locale_number_text.h"
#include "convert/tree_text.h"
#include "convert/variant_convert.h"
#include "dialogs/modal.h"
#include "typetree/codec.h"

namespace vornfmt::dialogs {
namespace {

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }

bool IsNumberKind(int32_t kind) {
  return (kind >= kKindChar && kind <= kKindUnsignedLong) || kind == kKindBitfield || kind == kKindFloat ||
         kind == kKindSignedQuad;
}

// The structure dialog's raw buffer: 31 bytes, or the type's length when longer.
constexpr size_t kStructRawMinimum = 31;

// Bitmap 205 cut into 16-pixel images, white transparent; empty icons when
// the set has no such bitmap.
std::vector<QIcon> FieldStateIcons(const ResourceSet& resources) {
  std::vector<QIcon> icons(2);
  QPixmap strip(QString::fromStdString(resources.BitmapFile(kFieldStatesBitmap).string()));
  if (strip.isNull()) return icons;
  strip.setMask(strip.createMaskFromColor(QColor(255, 255, 255), Qt::MaskInColor));
  for (int i = 0; i < 2 && (i + 1) * 16 <= strip.width(); ++i) icons[i] = QIcon(strip.copy(i * 16, 0, 16, strip.height()));
  return icons;
}

}  // namespace

CCheckEnumDlg::CCheckEnumDlg(const DialogTemplate& t, CTypeTreeItemBase& node, const std::u16string& valueText,
                             QWidget* parent)
    : TemplateDialog(t, parent), value_(valueText) {
  SetText(kVariableText, node.GetName());
  if (auto* list = ControlAs<QComboBox>(kEnumList)) {
    std::vector<std::u16string> names;
    EnumNames(node, names);
    QStringList items;
    for (const std::u16string& name : names) items << Q(name);
    // A sorted drop-down list orders without regard to case, as the
    // platform's list does; equal names keep the type file's order.
    std::stable_sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
      return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    list->addItems(items);
    // The first entry that begins with the value text, ignoring case.
    int chosen = -1;
    for (int i = 0; i < list->count() && chosen < 0; ++i)
      if (list->itemText(i).startsWith(Q(valueText), Qt::CaseInsensitive)) chosen = i;
    list->setCurrentIndex(chosen);
    list->setFocus();
  }
  SetText(kEnumName, node.GetNameText());
  SetText(kCommentText, node.GetCommentText());
  SetText(kEnumUnits, GetUnitsText(node));
}

void CCheckEnumDlg::OnOk() {
  auto* list = ControlAs<QComboBox>(kEnumList);
  value_ = list && list->currentIndex() >= 0 ? list->currentText().toStdU16String() : std::u16string();
  accept();
}

CCheckNumberDlg::CCheckNumberDlg(const DialogTemplate& t, CTypeTreeItemBase& node, const std::u16string& valueText,
                                 QWidget* parent)
    : TemplateDialog(t, parent), value_(valueText) {
  SetText(kVariableText, node.GetName());
  std::u16string minimum, maximum;
  if (GetBoundsText(node, minimum, maximum)) {
    SetText(kNumberMin, minimum);
    SetText(kNumberMax, maximum);
  }
  SetText(kNumberKind, std::u16string(node.GetKindName()));
  SetText(kNumberResolution, RealText(GetResolution(node)));
  SetText(kNumberName, node.GetNameText());
  SetText(kCommentText, node.GetCommentText());
  SetText(kNumberUnits, GetUnitsText(node));
  SetText(kNumberValue, valueText);
  if (auto* value = ControlAs<QLineEdit>(kNumberValue)) {
    value->setFocus();
    value->selectAll();
  }
}

void CCheckNumberDlg::OnOk() {
  value_ = Text(kNumberValue);
  accept();
}

CCheckStructDlg::CCheckStructDlg(const ResourceSet& resources, const DialogTemplate& t, CTypeTreeItem& root,
                                 const std::u16string& resultText, QWidget* parent)
    : TemplateDialog(t, parent),
      resources_(resources),
      root_(root),
      raw_(std::max<size_t>(kStructRawMinimum, root.GetSize(true)), 0) {
  auto* list = ControlAs<QTreeWidget>(kStructList);
  SetText(kStructResult, resultText);
  if (list) {
    const std::vector<QIcon> icons = FieldStateIcons(resources_);
    // While the dialog fills itself, conversions open no further dialogs.
    root_.SetInteractive(false);
    ParseText(root_, resultText, -1);
    const int16_t count = root_.GetSubfieldCount();
    rowStates_.assign(static_cast<size_t>(count), 0);
    for (int16_t i = 0; i < count; ++i) {
      auto* row = new QTreeWidgetItem(list);
      row->setText(0, Q(root_.GetSubfield(i)->GetName()));
      row->setIcon(0, icons[1]);
      row->setData(0, Qt::UserRole, static_cast<int>(i));
      std::u16string text;
      FormatText(root_, text, i);
      row->setText(1, Q(text));
    }
    for (int16_t i = 0; i < count; ++i) {
      QTreeWidgetItem* row = list->topLevelItem(i);
      ShowState(*row, i, WriteField(i, row->text(1).toStdU16String()));
    }
    UpdateResult();
    root_.SetInteractive(true);
    connect(list, &QTreeWidget::itemSelectionChanged, this, [this, list] {
      if (QWidget* modify = Control(kStructModify)) modify->setEnabled(!list->selectedItems().isEmpty());
    });
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this] { Modify(); });
    list->setFocus();
  }
  if (auto* modify = ControlAs<QPushButton>(kStructModify))
    connect(modify, &QPushButton::clicked, this, [this] { Modify(); });
  SetText(kVariableText, root_.GetName());
  SetText(kStructName, root_.GetNameText());
  SetText(kCommentText, root_.GetCommentText());
  SetText(kStructUnits, GetUnitsText(root_));
}

bool CCheckStructDlg::WriteField(int16_t sub, const std::u16string& text) {
  VARIANT value;
  VariantInit(&value);
  SetBstr(value, text);
  const bool ok = WriteFromVariant(root_, raw_.data(), raw_.size(), &value, sub) != FALSE;
  VariantClear(&value);
  return ok;
}

void CCheckStructDlg::UpdateResult() {
  Decode(root_, raw_.data(), raw_.size());
  std::u16string result;
  FormatText(root_, result, -1);
  SetText(kStructResult, result);
}

void CCheckStructDlg::ShowState(QTreeWidgetItem& row, int16_t sub, bool accepted) {
  if (sub >= 0 && static_cast<size_t>(sub) < rowStates_.size()) rowStates_[sub] = accepted ? 1 : 0;
  const std::vector<QIcon> icons = FieldStateIcons(resources_);
  row.setIcon(0, icons[accepted ? 1 : 0]);
}

void CCheckStructDlg::Modify() {
  auto* list = ControlAs<QTreeWidget>(kStructList);
  if (!list || list->selectedItems().isEmpty()) return;
  QTreeWidgetItem* row = list->selectedItems().front();
  const int16_t sub = static_cast<int16_t>(row->data(0, Qt::UserRole).toInt());
  CTypeTreeItemBase* node = root_.GetSubfield(sub);
  if (!node) return;
  std::u16string text = row->text(1).toStdU16String();
  if (!EditFieldText(resources_, *node, text)) return;
  const bool accepted = WriteField(sub, text);
  if (accepted) {
    row->setText(1, Q(text));
    UpdateResult();
  }
  ShowState(*row, sub, accepted);
}

bool RunEnumDialog(const ResourceSet& resources, CTypeTreeItemBase& node, std::u16string& text) {
  const DialogTemplate* t = resources.Dialog(kEnumDialog);
  if (!t) return false;
  CCheckEnumDlg dialog(*t, node, text, OwnerWindow());
  if (RunModal(dialog) != QDialog::Accepted) return false;
  text = dialog.ValueText();
  return true;
}

bool RunNumberDialog(const ResourceSet& resources, CTypeTreeItemBase& node, std::u16string& text) {
  const DialogTemplate* t = resources.Dialog(kNumberDialog);
  if (!t) return false;
  CCheckNumberDlg dialog(*t, node, text, OwnerWindow());
  if (RunModal(dialog) != QDialog::Accepted) return false;
  text = dialog.ValueText();
  return true;
}

bool RunStructDialog(const ResourceSet& resources, CTypeTreeItem& root, std::u16string& text) {
  const DialogTemplate* t = resources.Dialog(kStructDialog);
  if (!t) return false;
  CCheckStructDlg dialog(resources, *t, root, text, OwnerWindow());
  if (RunModal(dialog) != QDialog::Accepted) return false;
  text = dialog.ResultText();
  return true;
}

bool EditFieldText(const ResourceSet& resources, CTypeTreeItemBase& node, std::u16string& text) {
  if (IsNumberKind(node.kind)) return RunNumberDialog(resources, node, text);
  if (node.kind == kKindEnum) {
    if (!RunEnumDialog(resources, node, text)) return false;
    int8_t member = 0;
    if (node.owner && EnumValueByName(node, text, member)) {
      node.value.Store(member);
      CTypeTreeItem& root = *node.owner;
      FormatText(root, text, root.FindSubIndexByName(node.GetName()));
    }
    return true;
  }
  if (node.kind == kKindStruct && node.owner) {
    std::u16string result;
    if (!RunStructDialog(resources, *node.owner, result)) return false;
    text = result;
    return true;
  }
  return false;
}

void ShowMessageBox(const std::u16string& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Vorn Formatter"), Q(text), QMessageBox::Ok, nullptr);
  RunModal(box);
}

}  // namespace vornfmt::dialogs
