#pragma once
// The trial patterns of a whole-type parse. A compiled format with
// conditionals can have been written in several ways; each combination of
// branches gives one pattern (the format texts of its Items nodes joined) and
// one leaf list (those Items nodes), both in the same order:
//
//   Items        one pattern, its own format text; one list holding itself;
//   Group        every combination of its children's patterns, the first
//                child varying fastest (A{a1,a2} B{b1,b2} gives a1b1, a2b1,
//                a1b2, a2b2). Lists combine the same way, except that while
//                the combined result is still empty a child's lists are taken
//                as they are, and a Group without children has one empty
//                pattern but no list;
//   Conditional  the then-branch's patterns, then the else-branch's.
//
// Patterns are numbered in this order and built one at a time, on demand, so
// a parse holds one pattern in memory, not all of them.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "format/brackets_object.h"

namespace vornfmt {

// A whole-type parse tries at most this many patterns. Every conditional
// doubles the patterns of the group around it, so a format with many
// conditionals in sequence (a hostile file) would otherwise make a parse
// exponential; past this count the parse answers false. 4096 is twelve
// independent conditionals; the standard formats need a handful.
inline constexpr uint64_t kMaxTrialPatterns = 4096;

using LeafList = std::vector<const CBracketsObject*>;

class TrialPatterns {
 public:
  explicit TrialPatterns(const CBracketsObject& format);

  // Counts, saturating just above kMaxTrialPatterns.
  uint64_t PatternCount() const { return Patterns(*format_); }
  uint64_t LeafListCount() const { return Lists(*format_); }
  bool TooMany() const { return PatternCount() > kMaxTrialPatterns; }

  // Pattern / leaf list number k (k below the count).
  std::u16string Pattern(uint64_t k) const;
  LeafList Leaves(uint64_t k) const;

 private:
  struct Counts {
    uint64_t patterns = 0;
    uint64_t lists = 0;
  };
  const Counts& Count(const CBracketsObject& node);
  uint64_t Patterns(const CBracketsObject& node) const { return counts_.at(&node).patterns; }
  uint64_t Lists(const CBracketsObject& node) const { return counts_.at(&node).lists; }
  void AppendPattern(const CBracketsObject& node, uint64_t k, std::u16string& out) const;
  void AppendLeaves(const CBracketsObject& node, uint64_t k, LeafList& out) const;

  const CBracketsObject* format_;
  std::unordered_map<const CBracketsObject*, Counts> counts_;
};

// Every pattern / leaf list, in order; false (and nothing) beyond the cap.
bool ExpandPatterns(const CBracketsObject& format, std::vector<std::u16string>& out);
bool ExpandLeafLists(const CBracketsObject& format, std::vector<LeafList>& out);

}  // namespace vornfmt
