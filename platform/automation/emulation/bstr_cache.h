#pragma once
// A small per-thread cache of freed BSTR blocks, as the system's automation
// library keeps one: formatting hands out a new text per value and the host
// frees it soon after, so the next text of about the same length reuses the
// block instead of going through malloc and free again.
//
// Blocks are kept by size class (16-byte steps up to kLargestCachedBlock),
// a few per class and thread; the rest go back to malloc. Setting OANOCACHE
// in the environment turns the cache off, as it does for the system library,
// and builds with AddressSanitizer never cache, so that a text used after
// SysFreeString is still reported.
#include <cstddef>

namespace vornfmt::automation {

inline constexpr size_t kLargestCachedBlock = 256;

// A block of at least `bytes` bytes (the whole BSTR allocation, prefix
// included), or null when malloc fails.
void* TakeBstrBlock(size_t bytes);
// Gives back a block of `bytes` bytes (as asked of TakeBstrBlock).
void ReturnBstrBlock(void* block, size_t bytes);

}  // namespace vornfmt::automation
