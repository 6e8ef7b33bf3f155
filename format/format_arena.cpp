#include "format/format_arena.h"

#include <algorithm>

namespace vornfmt {

FormatArena::~FormatArena() {
  kept_.clear();  // what was derived from the nodes goes before them
  while (blocks_ != nullptr) {
    Block* next = blocks_->next;
    ::operator delete(static_cast<void*>(blocks_));
    blocks_ = next;
  }
}

const std::u16string& FormatArena::Empty() {
  static const std::u16string empty;
  return empty;
}

const std::u16string& FormatArena::Intern(std::u16string_view text) {
  if (text.empty()) return Empty();
  const std::size_t hash = text_index_.Hash(text);
  if (const std::u16string* found = text_index_.Find(text, hash)) return *found;
  const std::u16string& stored = texts_.emplace_back(text);
  text_index_.Insert(&stored, hash);
  return stored;
}

const std::u16string& FormatArena::Store(std::u16string_view text) {
  if (text.empty()) return Empty();
  return texts_.emplace_back(text);
}

std::u16string_view FormatArena::Copy(std::u16string_view text) {
  if (text.empty()) return {};
  auto* copy = static_cast<char16_t*>(Allocate(text.size() * sizeof(char16_t), alignof(char16_t)));
  std::copy(text.begin(), text.end(), copy);
  return {copy, text.size()};
}

char* FormatArena::NewBlock(std::size_t bytes) {
  auto* block = static_cast<Block*>(::operator new(kHeader + bytes));
  block->next = blocks_;
  blocks_ = block;
  return reinterpret_cast<char*>(block) + kHeader;
}

void* FormatArena::AllocateSlow(std::size_t size, std::size_t align) {
  // Large requests get a block of their own, leaving the current one open.
  if (size + align > kLargestBlock / 4) {
    char* own = NewBlock(size + align);
    const auto at = (reinterpret_cast<std::uintptr_t>(own) + align - 1) & ~(align - 1);
    return reinterpret_cast<void*>(at);
  }
  const std::size_t bytes = next_block_;
  next_block_ = std::min(2 * next_block_, kLargestBlock);
  cursor_ = NewBlock(bytes);
  end_ = cursor_ + bytes;
  return Allocate(size, align);
}

}  // namespace vornfmt
