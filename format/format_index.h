#pragma once
// What is derived from a compiled format once and kept with it: the first
// item of every value name, and the trial patterns of a whole-type parse.
//
// "First" is the order of a depth-first walk: a node's own items in order,
// then (for a Conditional) the then-branch and the else-branch, then each
// child in order. Formatting a type of many fields thus costs one hash
// look-up per field instead of a walk per field.
#include <functional>
#include <string_view>
#include <unordered_map>

#include "format/brackets_object.h"
#include "format/trial_patterns.h"

namespace vornfmt {

class FormatIndex {
 public:
  explicit FormatIndex(const CBracketsObject& format);

  // The first item named `name` (exact, case-sensitive); null when none.
  const CFmtStringItem* Find(std::u16string_view name) const;
  const TrialPatterns& Trials() const { return trials_; }

 private:
  struct ViewHash {
    size_t operator()(std::u16string_view text) const { return std::hash<std::u16string_view>{}(text); }
  };
  void Add(const CBracketsObject& node);

  // Keys are views of the items' own names, which live as long as the format.
  std::unordered_map<std::u16string_view, const CFmtStringItem*, ViewHash> items_;
  TrialPatterns trials_;
};

// The same answer as FormatIndex::Find by walking below `node`, for a node
// that is not the root of a format.
const CFmtStringItem* FindItem(const CBracketsObject& node, std::u16string_view name);

// The item used when none is named like a value: kind Float, scale 1.0,
// offset 0.0, empty piece and name.
const CFmtStringItem& DefaultItem();

}  // namespace vornfmt
