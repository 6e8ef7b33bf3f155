#pragma once
// The three "Modify Variable Value" dialogs and EditFieldText. They show a
// node's names, comment, units, bounds and resolution and collect a text;
// they convert nothing themselves except the structure dialog, which hands
// each field's text to the write driver (convert/) and shows whether it was
// accepted.
//
// A dialog is constructed with its node and initial text, run modally by its
// creator (RunModal), and read after OK: ValueText (enumeration, number) or
// ResultText (structure).
#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/template_dialog.h"
#include "typetree/type_tree_item.h"

class QTreeWidgetItem;

namespace vornfmt::dialogs {

// Template and control ids.
inline constexpr int kEnumDialog = 107, kPropertyPage = 200, kNumberDialog = 202, kStructDialog = 203;
inline constexpr int kIdOk = 1, kIdCancel = 2;
inline constexpr int kVariableText = 201, kCommentText = 202;
inline constexpr int kEnumName = 204, kEnumUnits = 205, kEnumList = 203;
inline constexpr int kNumberName = 203, kNumberUnits = 205, kNumberKind = 207, kNumberMin = 208, kNumberMax = 204,
                     kNumberResolution = 209, kNumberValue = 210;
inline constexpr int kStructName = 203, kStructUnits = 205, kStructList = 211, kStructResult = 212,
                     kStructModify = 213;
// Bitmap of the structure dialog's row states: image 0 not accepted, 1 accepted.
inline constexpr int kFieldStatesBitmap = 205;

class CCheckEnumDlg : public TemplateDialog {
 public:
  CCheckEnumDlg(const DialogTemplate& t, CTypeTreeItemBase& node, const std::u16string& valueText, QWidget* parent);
  // The chosen member name (after OK); empty when no member is chosen.
  std::u16string ValueText() const { return value_; }

 protected:
  void OnOk() override;

 private:
  std::u16string value_;
};

class CCheckNumberDlg : public TemplateDialog {
 public:
  CCheckNumberDlg(const DialogTemplate& t, CTypeTreeItemBase& node, const std::u16string& valueText,
                  QWidget* parent);
  // The typed text (after OK), unchecked.
  std::u16string ValueText() const { return value_; }

 protected:
  void OnOk() override;

 private:
  std::u16string value_;
};

class CCheckStructDlg : public TemplateDialog {
 public:
  CCheckStructDlg(const ResourceSet& resources, const DialogTemplate& t, CTypeTreeItem& root,
                  const std::u16string& resultText, QWidget* parent);
  std::u16string ResultText() const { return Text(kStructResult); }
  // 1: the field's text was accepted, 0: not; one per subfield.
  const std::vector<int32_t>& RowStates() const { return rowStates_; }
  // The structure's own raw buffer: at least 31 bytes, at least the type's length.
  const std::vector<uint8_t>& Raw() const { return raw_; }

 private:
  void Modify();
  bool WriteField(int16_t sub, const std::u16string& text);
  void UpdateResult();
  void ShowState(QTreeWidgetItem& row, int16_t sub, bool accepted);

  const ResourceSet& resources_;
  CTypeTreeItem& root_;
  std::vector<uint8_t> raw_;
  std::vector<int32_t> rowStates_;
};

// The dialog that fits `node`, run modally, with `text` as its value: true
// on OK with the new text in `text`. Arrays, unions, references and other
// kinds without a dialog answer false at once.
bool EditFieldText(const ResourceSet& resources, CTypeTreeItemBase& node, std::u16string& text);

// Each runs its dialog modally over `OwnerWindow()`: true on OK with the
// dialog's text in `text`; false on Cancel or when the set lacks the template.
bool RunEnumDialog(const ResourceSet& resources, CTypeTreeItemBase& node, std::u16string& text);
bool RunNumberDialog(const ResourceSet& resources, CTypeTreeItemBase& node, std::u16string& text);
bool RunStructDialog(const ResourceSet& resources, CTypeTreeItem& root, std::u16string& text);

// The message box: `text`, titled "Vorn Formatter", with the exclamation
// icon and an OK button, without owner window.
void ShowMessageBox(const std::u16string& text);

}  // namespace vornfmt::dialogs
