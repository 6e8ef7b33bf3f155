#pragma once
// The text of a whole value: a compiled format walked over the values a tree
// holds, each item's piece with its value substituted, conditional parts
// chosen by the current values.
#include <string>
#include <string_view>

#include "format/brackets_object.h"
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

}  // namespace vornfmt
