// The compiler of format specifications (CBracketsObject::Compile and
// CBracketsObject::CompileConditional).
//
// Grammar, inside a parenthesised group:
//   group        '(' ... ')'            each top-level group becomes a child
//   conditional  (cond) ? (then) : (else)
//   item list    "format text" , arg , arg ...
//   arg          name [ '*' scale [ '+' offset [ '(' scope ':' index ')' ] ] ]
//
// Every parenthesis counts, also inside quotes. The partner of every '(' of
// the format specification is computed once with a stack; a group cut out of the
// text is a contiguous range of it, and the partner of a '(' inside a range is
// the global partner when that lies inside the range, else none. So finding
// partners costs O(1) and compiling is linear in the format specification, also for
// unbalanced or deeply nested text.
//
// Storage bound: the names and pieces of all items of one specification may
// hold at most kStorageFactor times the characters of the format specification and
// type name, plus kStorageSlack. Ordinary specifications never come near it;
// it stops a list of masses of surplus arguments (each of which repeats the
// text after the last conversion) or of masses of unnamed arguments (each of
// which repeats a long type name) from growing quadratically. Arguments that
// no longer fit are dropped.
//
// Nodes and items are placed in the arena of the node compiled into, and
// every text is stored there once (FormatArena::Intern): the items without a
// written name share the type name with the format object, and the pieces,
// format texts and conditions that recur through a file are stored once.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/brackets_object.h"
#include "format/cmy_string.h"
#include "format/fmt_splitter.h"
#include "format/mask_conversions.h"
#include "format/scaling_part.h"
#include "format/split_conditional.h"

namespace vornfmt {

class FormatCompiler {
 public:
  FormatCompiler(FormatArena& arena, std::u16string_view text, std::u16string_view type_name);
  // Tells that `type_name` (the one given above) is already stored in the arena.
  FormatCompiler& WithStoredTypeName(const std::u16string& type_name) {
    stored_type_name_ = &type_name;
    return *this;
  }

  void CompileNode(CBracketsObject& node, std::size_t begin, std::size_t end,
                   std::u16string_view type_name, int depth);
  bool CompileConditionalNode(CBracketsObject& node, std::size_t begin, std::size_t end,
                              int depth);

 private:
  static constexpr std::size_t npos = std::u16string_view::npos;

  std::size_t Partner(std::size_t open, std::size_t end) const {
    const std::size_t close = partner_[open];
    return close < end ? close : npos;
  }
  // The partner table lives in per-thread scratch space reused by every
  // compile (specifications are compiled by the thousand at load time).
  static std::vector<std::size_t>& Scratch(std::size_t which);
  std::optional<detail::ConditionalParts> Split(std::size_t begin, std::size_t end) const;
  std::size_t OffsetOf(std::u16string_view part) const {
    return static_cast<std::size_t>(part.data() - text_.data());
  }
  void CompileBranch(CBracketsObject*& branch, std::u16string_view part, int depth);
  void CompileGroups(CBracketsObject& node, std::size_t begin, std::size_t end,
                     std::u16string_view type_name, int depth);
  void CompileItemList(CBracketsObject& node, std::u16string_view text,
                       std::u16string_view type_name);
  // Charges an item's stored characters; false when they no longer fit.
  bool Charge(std::size_t characters);
  // Appends an item: `piece` is masked here, `name` and the piece are stored
  // in the arena.
  CFmtStringItem* AddItem(CBracketsObject& node, std::u16string_view name, std::u16string_view argument,
                          std::u16string_view piece, char16_t letter);
  // The stored text of `piece` masked.
  const std::u16string& MaskedText(std::u16string_view piece);

  static constexpr std::size_t kStorageFactor = 4;
  static constexpr std::size_t kStorageSlack = 64 * 1024;

  FormatArena& arena_;
  std::u16string_view text_;
  std::u16string_view type_name_;
  const std::u16string* stored_type_name_ = nullptr;  // set on first use
  std::u16string masked_;  // scratch for masking
  std::vector<std::size_t>& partner_;  // for every '(' its ')', else npos
  std::size_t storage_left_;
};

namespace {

// The text with every blank removed; a view of the text itself when it has
// none, else of `buffer`.
std::u16string_view WithoutBlanks(std::u16string_view text, std::u16string& buffer) {
  if (text.find(u' ') == std::u16string_view::npos) return text;
  buffer.clear();
  for (char16_t c : text) {
    if (c != u' ') buffer.push_back(c);
  }
  return buffer;
}

}  // namespace

std::vector<std::size_t>& FormatCompiler::Scratch(std::size_t which) {
  thread_local std::vector<std::size_t> scratch[2];
  return scratch[which];
}

FormatCompiler::FormatCompiler(FormatArena& arena, std::u16string_view text,
                               std::u16string_view type_name)
    : arena_(arena),
      text_(text),
      type_name_(type_name),
      partner_(Scratch(0)),
      storage_left_(kStorageFactor * (text.size() + type_name.size()) + kStorageSlack) {
  // Scratch space grown by a huge specification is given back.
  constexpr std::size_t kKeep = 1 << 16;
  std::vector<std::size_t>& open = Scratch(1);
  if (partner_.capacity() > kKeep) std::vector<std::size_t>().swap(partner_);
  if (open.capacity() > kKeep) std::vector<std::size_t>().swap(open);
  partner_.assign(text.size(), npos);
  open.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'(') {
      open.push_back(i);
    } else if (text[i] == u')' && !open.empty()) {
      partner_[open.back()] = i;
      open.pop_back();
    }
  }
}

std::optional<detail::ConditionalParts> FormatCompiler::Split(std::size_t begin,
                                                              std::size_t end) const {
  const std::u16string_view range = text_.substr(begin, end - begin);
  return detail::SplitConditionalWith(range, [&](std::size_t i) {
    const std::size_t close = Partner(begin + i, end);
    return close == npos ? npos : close - begin;
  });
}

void FormatCompiler::CompileNode(CBracketsObject& node, std::size_t begin, std::size_t end,
                                 std::u16string_view type_name, int depth) {
  if (depth > kMaxFormatNesting) return;
  while (begin < end && IsWhiteSpace(text_[begin])) ++begin;
  if (begin >= end) return;
  if (text_[begin] == u'(') {
    if (!CompileConditionalNode(node, begin, end, depth)) {
      CompileGroups(node, begin, end, type_name, depth);
    }
  } else if (text_[begin] == u'"') {
    CompileItemList(node, text_.substr(begin, end - begin), type_name);
  }
}

bool FormatCompiler::CompileConditionalNode(CBracketsObject& node, std::size_t begin,
                                            std::size_t end, int depth) {
  const auto parts = Split(begin, end);
  if (!parts) return false;
  node.kind_ = BracketKind::Conditional;
  node.condition_ = &arena_.Intern(parts->condition);
  CompileBranch(node.then_branch_, parts->then_part, depth);
  CompileBranch(node.else_branch_, parts->else_part, depth);
  return true;
}

void FormatCompiler::CompileBranch(CBracketsObject*& branch, std::u16string_view part, int depth) {
  branch = arena_.New<CBracketsObject>(arena_);
  const std::size_t begin = OffsetOf(part);
  CompileNode(*branch, begin, begin + part.size(), std::u16string_view(), depth + 1);
}

void FormatCompiler::CompileGroups(CBracketsObject& node, std::size_t begin, std::size_t end,
                                   std::u16string_view type_name, int depth) {
  // Characters outside groups are skipped; a '(' without a partner is
  // skipped like them.
  for (std::size_t i = begin; i < end; ++i) {
    if (text_[i] != u'(') continue;
    const std::size_t close = Partner(i, end);
    if (close == npos) continue;
    auto* child = arena_.New<CBracketsObject>(arena_);
    CompileNode(*child, i + 1, close, type_name, depth + 1);
    node.children_.Append(child, arena_);
    i = close;
  }
}

bool FormatCompiler::Charge(std::size_t characters) {
  if (characters > storage_left_) {
    storage_left_ = 0;
    return false;
  }
  storage_left_ -= characters;
  return true;
}

void FormatCompiler::CompileItemList(CBracketsObject& node, std::u16string_view text,
                                     std::u16string_view type_name) {
  const std::size_t close_quote = text.find(u'"', 1);
  if (close_quote == npos) return;
  const std::u16string_view format = text.substr(1, close_quote - 1);
  node.format_text_ = &arena_.Intern(format);
  std::u16string buffer;
  const std::u16string_view arguments = WithoutBlanks(text.substr(close_quote + 1), buffer);
  CFmt splitter(format);
  char16_t letter = 0;
  std::u16string piece;
  std::size_t comma = arguments.find(u',');
  if (comma == npos) {
    // One item shows the whole value through the whole format text.
    splitter.NextPiece(letter, piece);
    if (Charge(type_name.size() + format.size())) AddItem(node, type_name, arguments, format, letter);
    return;
  }
  node.items_.Reserve(static_cast<std::size_t>(std::count(arguments.begin(), arguments.end(), u',')),
                      arena_);
  CFmtStringItem* last = nullptr;
  while (comma != npos) {
    const std::size_t next = arguments.find(u',', comma + 1);
    const std::u16string_view argument =
        arguments.substr(comma + 1, next == npos ? npos : next - comma - 1);
    std::u16string_view name = Head(argument, u'*');
    if (name.empty()) name = type_name;
    splitter.NextPiece(letter, piece);
    if (!Charge(name.size() + piece.size() + 1)) break;
    last = AddItem(node, name, argument, piece, letter);
    comma = next;
  }
  if (last == nullptr) return;
  // The text after the last consumed conversion goes with the last item.
  splitter.NextPiece(letter, piece);
  // The joined text is masked again even when nothing is appended: masking
  // is not idempotent. An escaped "\%d" reads "%%d" once masked, and masking
  // that again turns its 'd' into 's' ("\%d%d" is stored as "%%s%s"). Only a
  // piece without '%' and '\' is certain to stay as it is.
  const std::u16string& stored = last->Piece();
  if (!piece.empty() || stored.find_first_of(u"%\\") != std::u16string::npos) {
    std::u16string joined;
    joined.reserve(stored.size() + piece.size());
    joined.append(stored).append(piece);
    last->UseMaskedPiece(MaskedText(joined));
  }
}

const std::u16string& FormatCompiler::MaskedText(std::u16string_view piece) {
  masked_.assign(piece);
  MaskConversions(masked_);
  return arena_.Intern(masked_);
}

CFmtStringItem* FormatCompiler::AddItem(CBracketsObject& node, std::u16string_view name,
                                        std::u16string_view argument, std::u16string_view piece,
                                        char16_t letter) {
  // Items without a written name show the type's value: they share its name.
  const bool type_name = !name.empty() && name.data() == type_name_.data() && name.size() == type_name_.size();
  if (type_name && stored_type_name_ == nullptr) stored_type_name_ = &arena_.Intern(type_name_);
  const std::u16string& stored_name = type_name ? *stored_type_name_ : arena_.Intern(name);
  auto* item = arena_.New<CFmtStringItem>(arena_, stored_name, ReadScalingPart(argument),
                                          MaskedText(piece), ConversionKindFromLetter(letter));
  node.items_.Append(item, arena_);
  node.kind_ = BracketKind::Items;
  return item;
}

void CBracketsObject::Compile(std::u16string_view specification, std::u16string_view type_name) {
  FormatCompiler(Arena(), specification, type_name)
      .CompileNode(*this, 0, specification.size(), type_name, 0);
}

void CBracketsObject::CompileWithStoredName(std::u16string_view specification,
                                            const std::u16string& type_name) {
  FormatCompiler(Arena(), specification, type_name)
      .WithStoredTypeName(type_name)
      .CompileNode(*this, 0, specification.size(), type_name, 0);
}

bool CBracketsObject::CompileConditional(std::u16string_view text) {
  return FormatCompiler(Arena(), text, std::u16string_view()).CompileConditionalNode(*this, 0, text.size(), 0);
}

}  // namespace vornfmt
