#pragma once
// CBracketsObject: one node of a compiled format specification.
//
//   Items        shows its items in order;
//   Group        shows its children in order (nothing when it has none);
//   Conditional  shows its then-branch when its condition holds, else its
//                else-branch.
//
// A specification is compiled once, when its format file is loaded, and the
// tree is only read afterwards. The compiler reports nothing: what it cannot
// read compiles to nodes that show nothing.
//
// Nesting bound: compiling recurses once per level of parentheses (twice for
// a conditional: the branch node and the group inside it). Compile fills the
// nodes down to kMaxFormatNesting levels below the node it was called on; a
// node one level deeper is left an empty Group (it shows nothing), so a
// compiled tree is at most kMaxFormatNesting + 2 nodes deep. A specification
// nested thousands of levels deep thus exhausts the stack neither here nor in
// the code that walks the tree later.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "format/fmt_string_item.h"

namespace vornfmt {

enum class BracketKind : std::int32_t { Items = 0, Group = 1, Conditional = 2 };

inline constexpr int kMaxFormatNesting = 100;

class FormatCompiler;

class CBracketsObject {
 public:
  CBracketsObject() = default;
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
  const std::u16string& FormatText() const { return format_text_; }
  // For a Conditional, the condition with its outer parentheses; else empty.
  const std::u16string& Condition() const { return condition_; }
  const std::vector<std::unique_ptr<CBracketsObject>>& Children() const { return children_; }
  const std::vector<std::unique_ptr<CFmtStringItem>>& Items() const { return items_; }
  const CBracketsObject* ThenBranch() const { return then_branch_.get(); }
  const CBracketsObject* ElseBranch() const { return else_branch_.get(); }

 private:
  friend class FormatCompiler;

  std::u16string format_text_;
  BracketKind kind_ = BracketKind::Group;
  std::vector<std::unique_ptr<CBracketsObject>> children_;
  std::vector<std::unique_ptr<CFmtStringItem>> items_;
  std::u16string condition_;
  std::unique_ptr<CBracketsObject> then_branch_;
  std::unique_ptr<CBracketsObject> else_branch_;
};

}  // namespace vornfmt
