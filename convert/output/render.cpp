#include "convert/output/render.h"

#include "catalog/formatter_engine.h"
#include "convert/output/embedded_string_ref.h"
#include "convert/output/evaluate_condition.h"
#include "convert/output/item_value.h"
#include "convert/output/locale_number_text.h"
#include "platform/code_page.h"

namespace vornfmt {
namespace {

// The one type whose character field may carry a language-string reference.
bool IsAlarmDescription(const CFmtStringItem& item, const CTypeTreeItem& root) {
  return item.Name() == u"description" && root.GetName() == u"SNVT_alarm_2";
}

std::u16string ReferencedText(const std::string& characters, CTypeTreeItem& root, bool& valid) {
  EmbeddedStringRef ref;
  ref.text = characters;
  ref.Parse(root.pid);
  valid = ref.valid;
  if (!valid) return {};
  return TheEngine().LookupString(ref.ProgramIdText(), ref.scope, static_cast<uint32_t>(ref.index));
}

}  // namespace

std::string CharacterArrayBytes(std::u16string_view name, CTypeTreeItem& root) {
  std::string bytes;
  std::u16string element(name);
  for (int i = 0; i < kMaxArrayCharacters; ++i) {
    element.resize(name.size());
    element += u'[';
    element += DecimalText(i);
    element += u']';
    const CTypeTreeItemBase* node = root.FindItemByName(element);
    if (!node) break;
    const auto c = static_cast<char>(static_cast<uint8_t>(Truncated(node->value.value)));
    if (c == 0) break;
    bytes.push_back(c);
  }
  return bytes;
}

std::u16string CharacterArrayText(const CFmtStringItem& item, CTypeTreeItem& root) {
  const std::string characters = CharacterArrayBytes(item.Name(), root);
  if (IsAlarmDescription(item, root)) {
    bool valid = false;
    std::u16string referenced = ReferencedText(characters, root, valid);
    if (valid) return referenced;
  }
  return codepage::FromAnsi(characters);
}

void RenderPiece(const CFmtStringItem& item, std::u16string& out, CTypeTreeItem& root) {
  if (CTypeTreeItemBase* node = root.FindItemByName(item.Name())) {
    AppendPiece(out, item.Piece(), ValueText(item, *node));
  } else if (item.Kind() == ConversionKind::String) {
    AppendPiece(out, item.Piece(), CharacterArrayText(item, root));
  } else if (item.Kind() == ConversionKind::Literal) {
    out += item.Piece();  // as written: no "%%" folding on this path
  }
}

void Render(const CBracketsObject& node, std::u16string& out, CTypeTreeItem& root) {
  switch (node.Kind()) {
    case BracketKind::Items:
      for (const auto& item : node.Items()) RenderPiece(*item, out, root);
      break;
    case BracketKind::Group:
      for (const auto& child : node.Children()) Render(*child, out, root);
      break;
    case BracketKind::Conditional: {
      const CBracketsObject* branch = EvaluateCondition(node, root) ? node.ThenBranch() : node.ElseBranch();
      if (branch) Render(*branch, out, root);
      break;
    }
  }
}


bool FormatValues(const CAlternateFmt& format, std::u16string& out, CTypeTreeItem& root, int16_t sub) {
  if (static_cast<uint16_t>(sub) == 0xFFFF) {
    std::u16string text;
    Render(format, text, root);
    out = std::move(text);
    return true;
  }
  CTypeTreeItemBase* node = root.GetSubfield(sub);
  if (!node) return false;
  const CFmtStringItem* item = format.FindItemOrArrayItem(node->GetName());
  if (!item) return false;
  out = ValueText(*item, *node);
  return true;
}

double GetNumber(const CAlternateFmt& format, CTypeTreeItemBase* node) {
  if (!node) return 0.0;
  const CFmtStringItem* item = format.FindItem(node->GetName());
  return item ? ScaledValue(*item, *node) : 0.0;
}

bool FormatBound(const CAlternateFmt& format, std::u16string_view name, double number, std::u16string& out) {
  const CFmtStringItem* item = format.FindItem(name);
  return NumberText(item ? *item : DefaultItem(), number, out);
}

}  // namespace vornfmt
