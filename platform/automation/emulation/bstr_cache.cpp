#include "platform/automation/emulation/bstr_cache.h"

#include <array>
#include <cstdlib>

namespace vornfmt::automation {
namespace {

constexpr size_t kStep = 16;
constexpr size_t kClasses = kLargestCachedBlock / kStep;
constexpr size_t kPerClass = 4;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kCacheBuilt = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kCacheBuilt = false;
#else
constexpr bool kCacheBuilt = true;
#endif
#else
constexpr bool kCacheBuilt = true;
#endif

bool CacheWanted() {
  static const bool wanted = kCacheBuilt && std::getenv("OANOCACHE") == nullptr;
  return wanted;
}

// Blocks of class c hold (c + 1) * kStep bytes.
size_t ClassOf(size_t bytes) { return (bytes - 1) / kStep; }

struct ThreadCache {
  std::array<std::array<void*, kPerClass>, kClasses> blocks{};
  std::array<unsigned char, kClasses> counts{};
};

// The cache of this thread, reached through one pointer of the static TLS
// block (a plain load, not a call per access as for the cache object
// itself); the object lives in an owner that frees the kept blocks when
// the thread ends and closes the cache for frees that come later.
#if defined(__GNUC__) && !defined(_WIN32)
#define VORNFMT_INITIAL_EXEC __attribute__((tls_model("initial-exec")))
#else
#define VORNFMT_INITIAL_EXEC
#endif
VORNFMT_INITIAL_EXEC thread_local ThreadCache* threadCache = nullptr;
VORNFMT_INITIAL_EXEC thread_local bool threadCacheClosed = false;

struct CacheOwner {
  ThreadCache cache;
  ~CacheOwner() {
    threadCache = nullptr;
    threadCacheClosed = true;
    for (size_t c = 0; c < kClasses; ++c)
      for (size_t i = 0; i < cache.counts[c]; ++i) std::free(cache.blocks[c][i]);
  }
};

// Null once the thread's cache is closed, or when caching is off.
ThreadCache* Cache() {
  if (threadCache) return threadCache;
  if (threadCacheClosed || !CacheWanted()) return nullptr;
  thread_local CacheOwner owner;
  threadCache = &owner.cache;
  return threadCache;
}

}  // namespace

// Cached sizes are always allocated as whole classes, so that any kept
// block serves any size of its class, whether or not the cache was open
// when it was taken.
void* TakeBstrBlock(size_t bytes) {
  if (bytes == 0 || bytes > kLargestCachedBlock) return std::malloc(bytes);
  const size_t c = ClassOf(bytes);
  ThreadCache* cache = Cache();
  if (cache && cache->counts[c] > 0) return cache->blocks[c][--cache->counts[c]];
  return std::malloc((c + 1) * kStep);
}

void ReturnBstrBlock(void* block, size_t bytes) {
  ThreadCache* cache = bytes == 0 || bytes > kLargestCachedBlock ? nullptr : Cache();
  const size_t c = cache ? ClassOf(bytes) : 0;
  if (cache && cache->counts[c] < kPerClass) {
    cache->blocks[c][cache->counts[c]++] = block;
    return;
  }
  std::free(block);
}

}  // namespace vornfmt::automation
