#pragma once
// The values of the keys a reader knows in one JSON object, found in a
// single pass over the object instead of one search per key. A key that
// appears twice takes its last value, as in the JSON reader the type files
// were first read with (simdjson's own lookup finds the first).
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include <simdjson.h>

namespace vornfmt::ldrf {

// The keys of one kind of object, with a small open-addressing table from
// a hash of each key to its position, built when the program is compiled.
class JsonKeys {
 public:
  static constexpr size_t kMaxKeys = 18;  // a node's, the most of any object

  template <size_t N>
  constexpr explicit JsonKeys(const std::array<std::string_view, N>& names) : count_(N) {
    static_assert(N <= kMaxKeys);
    for (size_t i = 0; i < N; ++i) {
      names_[i] = names[i];
      size_t slot = Hash(names[i]);
      while (slots_[slot] != 0) slot = (slot + 1) % kSlots;
      slots_[slot] = static_cast<uint8_t>(i + 1);
    }
  }

  // The position of key, or kMaxKeys when it is none of these.
  constexpr size_t Find(std::string_view key) const {
    for (size_t slot = Hash(key); slots_[slot] != 0; slot = (slot + 1) % kSlots) {
      const size_t i = slots_[slot] - 1u;
      if (Same(names_[i], key)) return i;
    }
    return kMaxKeys;
  }
  constexpr std::string_view Name(size_t i) const { return names_[i]; }
  constexpr size_t size() const { return count_; }

 private:
  static constexpr size_t kSlots = 64;

  static constexpr size_t Hash(std::string_view key) {
    if (key.empty()) return 0;
    return (key.size() * 7 + static_cast<uint8_t>(key[0]) * 3 + static_cast<uint8_t>(key[key.size() / 2])) % kSlots;
  }
  // Keys are short: comparing in place beats a call to memcmp.
  static constexpr bool Same(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (a[i] != b[i]) return false;
    return true;
  }

  std::array<std::string_view, kMaxKeys> names_{};
  std::array<uint8_t, kSlots> slots_{};  // position + 1; 0 for an empty slot
  size_t count_;
};

class JsonFields {
 public:
  // keys outlives this object.
  JsonFields(simdjson::dom::object object, const JsonKeys& keys);

  // The value of key i, or null when the object lacks that key.
  const simdjson::dom::element* Find(size_t i) const { return Has(i) ? &values_[i].value : nullptr; }
  bool Has(size_t i) const { return (found_ >> i & 1) != 0; }
  std::string_view Key(size_t i) const { return keys_.Name(i); }

 private:
  // Left unset until the key is found: most objects give a few of their keys.
  union Slot {
    Slot() {}
    simdjson::dom::element value;
  };

  const JsonKeys& keys_;
  uint32_t found_ = 0;
  std::array<Slot, JsonKeys::kMaxKeys> values_;
};

}  // namespace vornfmt::ldrf
