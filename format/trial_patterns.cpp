#include "format/trial_patterns.h"

#include <algorithm>

namespace vornfmt {
namespace {

constexpr uint64_t kSaturated = kMaxTrialPatterns + 1;

uint64_t Add(uint64_t a, uint64_t b) { return std::min(a + b, kSaturated); }
uint64_t Multiply(uint64_t a, uint64_t b) { return std::min(a * b, kSaturated); }  // a, b <= kSaturated

}  // namespace

TrialPatterns::TrialPatterns(const CBracketsObject& format) : format_(&format) { Count(format); }

const TrialPatterns::Counts& TrialPatterns::Count(const CBracketsObject& node) {
  Counts c;
  switch (node.Kind()) {
    case BracketKind::Items: c = {1, 1}; break;
    case BracketKind::Group:
      c.patterns = 1;
      for (const auto& child : node.Children()) {
        const Counts& sub = Count(*child);
        c.patterns = Multiply(c.patterns, sub.patterns);
        c.lists = c.lists == 0 ? sub.lists : Multiply(c.lists, sub.lists);
      }
      break;
    case BracketKind::Conditional:
      for (const CBracketsObject* branch : {node.ThenBranch(), node.ElseBranch()}) {
        if (!branch) continue;
        const Counts& sub = Count(*branch);
        c.patterns = Add(c.patterns, sub.patterns);
        c.lists = Add(c.lists, sub.lists);
      }
      break;
  }
  return counts_[&node] = c;
}

void TrialPatterns::AppendPattern(const CBracketsObject& node, uint64_t k, std::u16string& out) const {
  switch (node.Kind()) {
    case BracketKind::Items: out += node.FormatText(); break;
    case BracketKind::Group:
      for (const auto& child : node.Children()) {
        const uint64_t n = Patterns(*child);
        if (n == 0) return;
        AppendPattern(*child, k % n, out);
        k /= n;
      }
      break;
    case BracketKind::Conditional: {
      const uint64_t n = node.ThenBranch() ? Patterns(*node.ThenBranch()) : 0;
      if (k < n) AppendPattern(*node.ThenBranch(), k, out);
      else if (node.ElseBranch()) AppendPattern(*node.ElseBranch(), k - n, out);
      break;
    }
  }
}

void TrialPatterns::AppendLeaves(const CBracketsObject& node, uint64_t k, LeafList& out) const {
  switch (node.Kind()) {
    case BracketKind::Items: out.push_back(&node); break;
    case BracketKind::Group: {
      // Only the children from the last point where the combined result was
      // empty contribute; an empty result took that child's lists as they are.
      const auto& children = node.Children();
      size_t first = 0;
      uint64_t combined = 0;
      for (size_t i = 0; i < children.size(); ++i) {
        const uint64_t n = Lists(*children[i]);
        if (combined == 0) first = i;
        combined = combined == 0 ? n : Multiply(combined, n);
      }
      for (size_t i = first; i < children.size(); ++i) {
        const uint64_t n = Lists(*children[i]);
        if (n == 0) return;
        AppendLeaves(*children[i], k % n, out);
        k /= n;
      }
      break;
    }
    case BracketKind::Conditional: {
      const uint64_t n = node.ThenBranch() ? Lists(*node.ThenBranch()) : 0;
      if (k < n) AppendLeaves(*node.ThenBranch(), k, out);
      else if (node.ElseBranch()) AppendLeaves(*node.ElseBranch(), k - n, out);
      break;
    }
  }
}

std::u16string TrialPatterns::Pattern(uint64_t k) const {
  std::u16string out;
  AppendPattern(*format_, k, out);
  return out;
}

LeafList TrialPatterns::Leaves(uint64_t k) const {
  LeafList out;
  AppendLeaves(*format_, k, out);
  return out;
}

bool ExpandPatterns(const CBracketsObject& format, std::vector<std::u16string>& out) {
  const TrialPatterns trials(format);
  if (trials.TooMany()) return false;
  for (uint64_t k = 0; k < trials.PatternCount(); ++k) out.push_back(trials.Pattern(k));
  return true;
}

bool ExpandLeafLists(const CBracketsObject& format, std::vector<LeafList>& out) {
  const TrialPatterns trials(format);
  if (trials.TooMany()) return false;
  for (uint64_t k = 0; k < trials.LeafListCount(); ++k) out.push_back(trials.Leaves(k));
  return true;
}

}  // namespace vornfmt
