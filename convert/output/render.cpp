#include "convert/output/render.h"

#include "catalog/formatter_engine.h"
#include "convert/output/embedded_string_ref.h"
#include "convert/output/evaluate_condition.h"
#include "convert/output/item_value.h"
#include "convert/output/locale_number_text.h"
#include "convert/output/resolved_items.h"
#include "platform/code_page.h"

namespace vornfmt {
namespace {

std::u16string ReferencedText(const std::string& characters, CTypeTreeItem& root, bool& valid) {
  EmbeddedStringRef ref;
  ref.text = characters;
  ref.Parse(root.pid);
  valid = ref.valid;
  if (!valid) return {};
  return TheEngine().LookupString(ref.ProgramIdText(), ref.scope, static_cast<uint32_t>(ref.index));
}

// The characters of the elements up to the first zero.
std::string CharactersOf(const std::vector<CTypeTreeItemBase*>& elements) {
  std::string bytes;
  for (const CTypeTreeItemBase* node : elements) {
    const auto c = static_cast<char>(static_cast<uint8_t>(Truncated(node->value.value)));
    if (c == 0) break;
    bytes.push_back(c);
  }
  return bytes;
}

std::u16string ShownCharacters(const std::string& characters, bool alarmDescription, CTypeTreeItem& root) {
  if (alarmDescription) {
    bool valid = false;
    std::u16string referenced = ReferencedText(characters, root, valid);
    if (valid) return referenced;
  }
  return codepage::FromAnsi(characters);
}

// Render with the items found once (`resolved`) or, without, by name.
struct Walk {
  CTypeTreeItem& root;
  ResolvedItems* resolved;

  void Piece(const CFmtStringItem& item, std::u16string& out) const {
    if (!resolved) return RenderPiece(item, out, root);
    const ResolvedItem& found = resolved->Item(item);
    if (found.node) {
      AppendItemValue(out, item, *found.node);
    } else if (item.Kind() == ConversionKind::String) {
      AppendPiece(out, item.Piece(), ShownCharacters(CharactersOf(found.characters), found.alarmDescription, root));
    } else if (item.Kind() == ConversionKind::Literal) {
      out += item.Piece();
    }
  }

  bool Condition(const CBracketsObject& node) const {
    return resolved ? Holds(resolved->Condition(node)) : EvaluateCondition(node, root);
  }

  void Node(const CBracketsObject& node, std::u16string& out) const {
    switch (node.Kind()) {
      case BracketKind::Items:
        for (const auto& item : node.Items()) Piece(*item, out);
        break;
      case BracketKind::Group:
        for (const auto& child : node.Children()) Node(*child, out);
        break;
      case BracketKind::Conditional: {
        const CBracketsObject* branch = Condition(node) ? node.ThenBranch() : node.ElseBranch();
        if (branch) Node(*branch, out);
        break;
      }
    }
  }
};

}  // namespace

bool IsAlarmDescription(const CFmtStringItem& item, const CTypeTreeItem& root) {
  return item.Name() == u"description" && root.GetName() == u"SNVT_alarm_2";
}

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
  return ShownCharacters(CharacterArrayBytes(item.Name(), root), IsAlarmDescription(item, root), root);
}

void RenderPiece(const CFmtStringItem& item, std::u16string& out, CTypeTreeItem& root) {
  if (CTypeTreeItemBase* node = root.FindItemByName(item.Name())) {
    AppendItemValue(out, item, *node);
  } else if (item.Kind() == ConversionKind::String) {
    AppendPiece(out, item.Piece(), CharacterArrayText(item, root));
  } else if (item.Kind() == ConversionKind::Literal) {
    out += item.Piece();  // as written: no "%%" folding on this path
  }
}

void Render(const CBracketsObject& node, std::u16string& out, CTypeTreeItem& root) {
  Walk{root, nullptr}.Node(node, out);
}

bool FormatValues(const CAlternateFmt& format, std::u16string& out, CTypeTreeItem& root, int16_t sub) {
  if (static_cast<uint16_t>(sub) == 0xFFFF) {
    out.clear();
    Walk{root, ResolvedItemsFor(format, root)}.Node(format, out);
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
