#pragma once
// Reading typed text back into the value slots of a tree through the same
// compiled format that shows them.
#include <string_view>

#include "format/alternate_fmt.h"
#include "format/fmt_splitter.h"
#include "format/trial_patterns.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {

// sub other than -1: the whole text is the one input field of the subfield,
// read through the item named like it (or like its array); no literal text is
// matched. False when the subfield or its item does not exist or the item
// refuses the text (parse_into.h).
//
// sub -1: the text must match the whole format. The trial patterns
// (trial_patterns.h) are tried in order, each with a fresh scanner over the
// full text; a pattern is accepted when its literal text matches, every
// field reads, and the branches that the values just read select are the
// ones the pattern was made of. False when none is accepted, or when the
// format has more than kMaxTrialPatterns patterns. Values stored by rejected
// trials stay where a later trial does not overwrite them; text after the
// last field is not compared.
bool ParseValues(const CAlternateFmt& format, std::u16string_view text, CTypeTreeItem& root, int16_t sub);

// Reads one input field per item of `node` from `scanner`, in order (Literal
// items take none), choosing conditional branches by the values as they
// stand, also those stored earlier in this same trial. False at once when a
// literal does not match; false, going on, when an item refuses its field.
bool MatchText(const CBracketsObject& node, CFmt& scanner, CTypeTreeItem& root);

// The Items nodes that the current values select, in order.
void ChosenLeaves(const CBracketsObject& node, CTypeTreeItem& root, LeafList& out);

}  // namespace vornfmt
