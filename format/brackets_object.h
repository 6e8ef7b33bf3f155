#pragma once
// CBracketsObject: one node of a compiled format specification.
//
//   Items        shows its items in order;
//   Group        shows its children in order (nothing when it has none);
//   Conditional  shows its then-branch when its condition holds, else its
//                else-branch.
//
// A specification is compiled once -- for a loaded format file, when its
// type's formats are first asked for (fmt_object.h) -- and the tree is only
// read afterwards. The compiler reports nothing: what it cannot
// read compiles to nodes that show nothing.
//
// Nesting bound: compiling recurses once per level of parentheses (twice for
// a conditional: the branch node and the group inside it). Compile fills the
// nodes down to kMaxFormatNesting levels below the node it was called on; a
// node one level deeper is left an empty Group (it shows nothing), so a
// compiled tree is at most kMaxFormatNesting + 2 nodes deep. A specification
// nested thousands of levels deep thus exhausts the stack neither here nor in
// the code that walks the tree later.
//
// Storage: the nodes, items and texts of a tree live in one FormatArena (see
// format_arena.h): the format file's when the tree belongs to a loaded file,
// else one that the root node creates when it is first compiled into and
// releases with itself. The lists hand out NodeRef pointers, which read like
// the owning pointers of a vector of nodes.
#include <cstdint>
#include <string>
#include <string_view>

#include "format/fmt_string_item.h"
#include "format/format_arena.h"

namespace vornfmt {

enum class BracketKind : std::int32_t { Items = 0, Group = 1, Conditional = 2 };

inline constexpr int kMaxFormatNesting = 100;

class FormatCompiler;

class CBracketsObject {
 public:
  CBracketsObject() = default;
  // A node whose tree lives in `arena`.
  explicit CBracketsObject(FormatArena& arena) : arena_(&arena) {}
  virtual ~CBracketsObject();
  CBracketsObject(const CBracketsObject&) = delete;
  CBracketsObject& operator=(const CBracketsObject&) = delete;

  // Compiles `specification` into this (new, empty) node. Items without a
  // written name show the value called `type_name`.
  void Compile(std::u16string_view specification, std::u16string_view type_name);
  // Makes this node a Conditional when `text` splits into
  // (condition) ? (then) : (else); the branches are compiled without a type
  // name. Answers false, leaving the node unchanged, otherwise.
  bool CompileConditional(std::u16string_view text);
  // Appends an item showing `name` through `piece` (stored masked), with the
  // scaling read from `argument` and the kind from `letter`; the node becomes
  // an Items node.
  CFmtStringItem* AddItem(std::u16string_view name, std::u16string_view argument,
                          std::u16string_view piece, char16_t letter);

  BracketKind Kind() const { return kind_; }
  // For an Items node, the format text between the quotes; else empty.
  const std::u16string& FormatText() const { return *format_text_; }
  // For a Conditional, the condition with its outer parentheses; else empty.
  const std::u16string& Condition() const { return *condition_; }
  const NodeList<CBracketsObject>& Children() const { return children_; }
  const NodeList<CFmtStringItem>& Items() const { return items_; }
  const CBracketsObject* ThenBranch() const { return then_branch_; }
  const CBracketsObject* ElseBranch() const { return else_branch_; }

 protected:
  // The arena of this node's tree, created on first use for a root of its own.
  FormatArena& Arena();
  // The same, for a node that has one already (every compiled root has).
  FormatArena& ArenaOf() const { return *arena_; }

 private:
  friend class FormatCompiler;
  friend class CFmtObject;

  // Compile, with the type name already a text of this node's arena.
  void CompileWithStoredName(std::u16string_view specification, const std::u16string& type_name);

  FormatArena* arena_ = nullptr;
  bool owns_arena_ = false;
  BracketKind kind_ = BracketKind::Group;
  const std::u16string* format_text_ = &FormatArena::Empty();
  const std::u16string* condition_ = &FormatArena::Empty();
  NodeList<CBracketsObject> children_;
  NodeList<CFmtStringItem> items_;
  CBracketsObject* then_branch_ = nullptr;
  CBracketsObject* else_branch_ = nullptr;
};

}  // namespace vornfmt
