#pragma once
// Storage of compiled formats.
//
// A loaded format file holds tens of thousands of small nodes, items and
// texts that are created once, only read afterwards and all released
// together. They therefore live in one FormatArena per format file (or per
// root node compiled on its own): nodes and items are carved out of large
// blocks, and every distinct text (type names, value names, pieces, format
// texts, conditions, measurement systems) is stored once and shared.
//
// Objects placed in an arena are never destroyed one by one: they must own
// nothing that needs releasing (their texts belong to the arena).
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vornfmt {

// An open-addressing table of objects keyed by a text they hold
// (KeyOf::Key(object)). It stores pointers only; the objects and their keys
// must outlive it.
template <class T, class KeyOf>
class TextKeyedTable {
 public:
  // FNV-1a over the code units, its high half folded into the low bits
  // that pick the slot.
  static std::size_t Hash(std::u16string_view key) {
    std::uint64_t hash = 14695981039346656037ull ^ key.size();
    for (char16_t c : key) hash = (hash ^ c) * 1099511628211ull;
    return static_cast<std::size_t>(hash ^ (hash >> 29));
  }

  T* Find(std::u16string_view key, std::size_t hash) const {
    if (slots_.empty()) return nullptr;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.value == nullptr) return nullptr;
      if (slot.hash == hash && KeyOf::Key(*slot.value) == key) return slot.value;
    }
  }
  // `value` must not be in the table yet; `hash` is the hash of its key.
  void Insert(T* value, std::size_t hash) {
    if (2 * (count_ + 1) > slots_.size()) Grow();
    Place(Slot{hash, value});
    ++count_;
  }
  std::size_t size() const { return count_; }
  template <class F>
  void ForEach(F&& f) const {
    for (const Slot& slot : slots_) {
      if (slot.value != nullptr) f(slot.value);
    }
  }

 private:
  struct Slot {
    std::size_t hash;
    T* value;
  };
  void Place(const Slot& slot) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = slot.hash & mask;
    while (slots_[i].value != nullptr) i = (i + 1) & mask;
    slots_[i] = slot;
  }
  void Grow() {
    std::vector<Slot> old(slots_.empty() ? 16 : 2 * slots_.size(), Slot{0, nullptr});
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.value != nullptr) Place(slot);
    }
  }

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

class FormatArena {
 public:
  FormatArena() = default;
  ~FormatArena();
  FormatArena(const FormatArena&) = delete;
  FormatArena& operator=(const FormatArena&) = delete;

  void* Allocate(std::size_t size, std::size_t align) {
    const auto at = (reinterpret_cast<std::uintptr_t>(cursor_) + align - 1) & ~(align - 1);
    if (cursor_ == nullptr || at + size > reinterpret_cast<std::uintptr_t>(end_)) {
      return AllocateSlow(size, align);
    }
    cursor_ = reinterpret_cast<char*>(at + size);
    return reinterpret_cast<void*>(at);
  }

  template <class T, class... Args>
  T* New(Args&&... args) {
    return ::new (Allocate(sizeof(T), alignof(T))) T(std::forward<Args>(args)...);
  }

  // The stored text equal to `text`, stored on first use. The empty text is
  // a shared constant.
  const std::u16string& Intern(std::u16string_view text);
  // A new stored text equal to `text`, not shared: for texts that the caller
  // knows to be distinct (the names of a file's format objects).
  const std::u16string& Store(std::u16string_view text);

  static const std::u16string& Empty();

  // A copy of `text` in the arena's blocks, not shared: for texts kept
  // until first use and never looked up (the pending formats of an object).
  std::u16string_view Copy(std::u16string_view text);

  // After loading, the arena is shared read-only by every thread; whatever
  // is added to it later is added under its one lock, by the first thread
  // that needs it, and published through an atomic flag or slot.
  //
  // Runs `build` once, the first time any thread finds `done` false, then
  // sets `done`. A thread that finds `done` true pays one atomic load.
  template <class Build>
  void BuildOnce(std::atomic<bool>& done, Build&& build) {
    if (done.load(std::memory_order_acquire)) return;
    std::lock_guard<std::mutex> lock(late_mutex_);
    if (done.load(std::memory_order_relaxed)) return;
    build();
    done.store(true, std::memory_order_release);
  }

  // The object in `slot`, made by `make` (a std::unique_ptr<T>) the first
  // time any thread asks and kept until the arena is released. For what is
  // derived from a compiled format after loading.
  template <class T, class Make>
  const T& KeepOnce(std::atomic<const T*>& slot, Make&& make) {
    if (const T* ready = slot.load(std::memory_order_acquire)) return *ready;
    std::lock_guard<std::mutex> lock(late_mutex_);
    if (const T* ready = slot.load(std::memory_order_relaxed)) return *ready;
    std::unique_ptr<T> made = make();
    const T* stored = made.get();
    kept_.emplace_back(made.release(), [](void* object) { delete static_cast<T*>(object); });
    slot.store(stored, std::memory_order_release);
    return *stored;
  }

 private:
  struct StringKey {
    static std::u16string_view Key(const std::u16string& s) { return s; }
  };
  struct Block {
    Block* next;
  };
  static constexpr std::size_t kHeader = 16;  // keeps the blocks' contents 16-aligned
  static constexpr std::size_t kFirstBlock = 2048;
  static constexpr std::size_t kLargestBlock = 64 * 1024;

  void* AllocateSlow(std::size_t size, std::size_t align);
  char* NewBlock(std::size_t bytes);

  Block* blocks_ = nullptr;
  char* cursor_ = nullptr;
  char* end_ = nullptr;
  std::size_t next_block_ = kFirstBlock;
  std::deque<std::u16string> texts_;
  TextKeyedTable<const std::u16string, StringKey> text_index_;
  std::mutex late_mutex_;
  std::vector<std::unique_ptr<void, void (*)(void*)>> kept_;
};

// A pointer to a node or item of a compiled format, as the lists of a node
// hand them out: `->`, `*` and get() like the owning pointers they stand for.
template <class T>
class NodeRef {
 public:
  NodeRef() = default;
  explicit NodeRef(T* pointer) : pointer_(pointer) {}
  T* get() const { return pointer_; }
  T& operator*() const { return *pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  T* pointer_ = nullptr;
};

// The children, items or alternatives of a compiled format, in order. The
// array lives in the arena of the owner.
template <class T>
class NodeList {
 public:
  using value_type = NodeRef<T>;
  using const_iterator = const NodeRef<T>*;
  using iterator = const_iterator;
  using size_type = std::size_t;

  const NodeRef<T>* begin() const { return data_; }
  const NodeRef<T>* end() const { return data_ + size_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const NodeRef<T>& operator[](std::size_t i) const { return data_[i]; }
  const NodeRef<T>& front() const { return data_[0]; }
  const NodeRef<T>& back() const { return data_[size_ - 1]; }

  void Reserve(std::size_t capacity, FormatArena& arena) {
    if (capacity <= capacity_) return;
    auto* grown = static_cast<NodeRef<T>*>(arena.Allocate(capacity * sizeof(NodeRef<T>), alignof(NodeRef<T>)));
    for (std::size_t i = 0; i < size_; ++i) grown[i] = data_[i];
    data_ = grown;
    capacity_ = capacity;
  }
  void Append(T* node, FormatArena& arena) {
    if (size_ == capacity_) Reserve(capacity_ == 0 ? 1 : 2 * capacity_, arena);
    data_[size_++] = NodeRef<T>(node);
  }

 private:
  NodeRef<T>* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace vornfmt
