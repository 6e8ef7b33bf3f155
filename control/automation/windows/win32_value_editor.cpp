#include "control/automation/windows/win32_value_editor.h"

#include <windows.h>

#include <vector>

#include "control/automation/windows/win32_module_ui.h"
#include "control/module_resources.h"
#include "convert/output/locale_number_text.h"
#include "convert/tree_text.h"
#include "typetree/codec.h"

namespace vornfmt {
namespace {

// Template and control ids of the module's dialogs (resources/ui/*/ui.json).
constexpr int kEnumDialog = 107, kNumberDialog = 202;
constexpr int kVariableText = 201, kCommentText = 202;
constexpr int kEnumName = 204, kEnumUnits = 205, kEnumList = 203;
constexpr int kNumberName = 203, kNumberUnits = 205, kNumberKind = 207, kNumberMin = 208, kNumberMax = 204,
              kNumberResolution = 209, kNumberValue = 210;

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

void SetText(HWND dialog, int id, const std::u16string& text) { SetDlgItemTextW(dialog, id, Wide(text)); }

std::u16string ControlText(HWND control) {
  std::u16string text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, u'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, reinterpret_cast<LPWSTR>(text.data()),
                                                 static_cast<int>(text.size()))));
  return text;
}

// What a dialog procedure works on: the node, the text in and out.
struct Editing {
  CTypeTreeItemBase& node;
  std::u16string& text;
};

void ShowNodeTexts(HWND dialog, CTypeTreeItemBase& node, int nameId, int unitsId) {
  SetText(dialog, kVariableText, node.GetName());
  SetText(dialog, nameId, node.GetNameText());
  SetText(dialog, kCommentText, node.GetCommentText());
  SetText(dialog, unitsId, GetUnitsText(node));
}

// FALSE from WM_INITDIALOG keeps the focus where the procedure put it.
INT_PTR InitNumber(HWND dialog, Editing& e) {
  ShowNodeTexts(dialog, e.node, kNumberName, kNumberUnits);
  std::u16string minimum, maximum;
  if (GetBoundsText(e.node, minimum, maximum)) {
    SetText(dialog, kNumberMin, minimum);
    SetText(dialog, kNumberMax, maximum);
  }
  SetText(dialog, kNumberKind, std::u16string(e.node.GetKindName()));
  SetText(dialog, kNumberResolution, RealText(GetResolution(e.node)));
  SetText(dialog, kNumberValue, e.text);
  HWND value = GetDlgItem(dialog, kNumberValue);
  SetFocus(value);
  SendMessageW(value, EM_SETSEL, 0, -1);
  return FALSE;
}

INT_PTR InitEnum(HWND dialog, Editing& e) {
  ShowNodeTexts(dialog, e.node, kEnumName, kEnumUnits);
  HWND list = GetDlgItem(dialog, kEnumList);
  std::vector<std::u16string> names;
  EnumNames(e.node, names);
  // The list sorts itself (CBS_SORT), without regard to case.
  for (const std::u16string& name : names) SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name)));
  // The first entry that begins with the value text, ignoring case (the
  // first of all for an empty text); none when nothing does.
  const LRESULT chosen = e.text.empty() ? 0
                                        : SendMessageW(list, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                                       reinterpret_cast<LPARAM>(Wide(e.text)));
  SendMessageW(list, CB_SETCURSEL, chosen == CB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(chosen), 0);
  SetFocus(list);
  return FALSE;
}

std::u16string ChosenEntry(HWND list) {
  const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return {};
  const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

// One procedure for both dialogs: `valueId` is the control whose text OK takes.
template <int valueId, INT_PTR (*init)(HWND, Editing&)>
INT_PTR CALLBACK EditProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return init(dialog, *reinterpret_cast<Editing*>(lParam));
  }
  if (message != WM_COMMAND) return FALSE;
  auto* e = reinterpret_cast<Editing*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (LOWORD(wParam)) {
    case IDOK:
      if (e) {
        HWND value = GetDlgItem(dialog, valueId);
        e->text = valueId == kEnumList ? ChosenEntry(value) : ControlText(value);
      }
      EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

// Runs dialog `id` modally without owner: true on OK. A template the module
// lacks, or no desktop to show it on, answers false.
bool RunDialog(int id, DLGPROC procedure, CTypeTreeItemBase& node, std::u16string& text) {
  // The dialog works on a copy, so Cancel leaves `text` as it was.
  std::u16string accepted = text;
  Editing shown{node, accepted};
  const INT_PTR result = DialogBoxParamW(ThisModule(), MAKEINTRESOURCEW(id), nullptr, procedure,
                                         reinterpret_cast<LPARAM>(&shown));
  if (result != IDOK) return false;
  text = accepted;
  return true;
}

}  // namespace

void Win32ValueEditor::ShowMessage(uint32_t messageId) {
  std::u16string text = ModuleString(messageId);
  if (text.empty()) text = std::u16string(MessageText(messageId));
  MessageBoxW(nullptr, Wide(text), L"Vorn Formatter", MB_OK | MB_ICONEXCLAMATION);
}

bool Win32ValueEditor::EditNumber(std::u16string& text, CTypeTreeItemBase& node) {
  return RunDialog(kNumberDialog, &EditProc<kNumberValue, &InitNumber>, node, text);
}

bool Win32ValueEditor::EditEnumeration(std::u16string& text, CTypeTreeItemBase& node) {
  return RunDialog(kEnumDialog, &EditProc<kEnumList, &InitEnum>, node, text);
}

bool Win32ValueEditor::EditStructure(std::u16string&, CTypeTreeItem&) { return false; }

}  // namespace vornfmt
