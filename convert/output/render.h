#pragma once
// Formatting through a compiled format: the text of a whole value (the
// format walked over the values a tree holds, each item's piece with its
// value substituted, conditional parts chosen by the current values), the
// text or scaled number of one subfield, the text of a bound.
#include <string>
#include <string_view>

#include "format/alternate_fmt.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {

// At most this many characters make up the text of a character array
// (element fields name[0], name[1], ...); elements beyond are not read.
inline constexpr int kMaxArrayCharacters = 31;

// Appends the text of `node` to `out`: an Items node its items' pieces, a
// Group its children's texts, a Conditional the text of the branch its
// condition chooses. Nothing separates the texts. Never fails: an item that
// finds nothing to show adds nothing.
void Render(const CBracketsObject& node, std::u16string& out, CTypeTreeItem& root);

// Appends what one item shows: its piece with the value text of the field it
// names; for a String item naming no field, the piece with the text of the
// character array name[0], name[1], ... (the alarm-description rule applies);
// for a Literal item naming no field, the piece as written; else nothing.
void RenderPiece(const CFmtStringItem& item, std::u16string& out, CTypeTreeItem& root);

// The characters of the element fields name[0], name[1], ... of `root` up to
// the first missing element or the first zero (at most kMaxArrayCharacters),
// each the low 8 bits of its truncated value, as narrow text.
std::string CharacterArrayBytes(std::u16string_view name, CTypeTreeItem& root);

// The text an array of characters shows through a String item: the language
// string the characters refer to when the tree is an SNVT_alarm_2 and the
// item its "description" and the characters hold a valid reference
// (EmbeddedStringRef), else the characters read in the ANSI code page.
std::u16string CharacterArrayText(const CFmtStringItem& item, CTypeTreeItem& root);

// The one type whose character field may carry a language-string reference:
// the item "description" of SNVT_alarm_2.
bool IsAlarmDescription(const CFmtStringItem& item, const CTypeTreeItem& root);

// sub -1 (0xFFFF): the text of the whole value; through the root's own
// format its items are found once (resolved_items.h); always succeeds. Any other
// sub: the value text of that subfield through the item named like it (or
// like its array, the part of the name before '['). False, `out` untouched,
// when the subfield or the item does not exist.
bool FormatValues(const CAlternateFmt& format, std::u16string& out, CTypeTreeItem& root, int16_t sub);

// The scaled number of `node` through the item named exactly like it; 0.0
// for a null node or when no item is named so.
double GetNumber(const CAlternateFmt& format, CTypeTreeItemBase* node);

// The text of `number` through the item called `name`, or through the
// default item ("%.15g") when there is none.
bool FormatBound(const CAlternateFmt& format, std::u16string_view name, double number, std::u16string& out);

}  // namespace vornfmt
