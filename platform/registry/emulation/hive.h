#pragma once
// One registry hive in memory (a root key such as HKEY_LOCAL_MACHINE with
// its keys and values), read from and written as the text of the standard
// registry export format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\Vendor\Product]
//   @="default value"
//   "Name"="text with \\ and \" escaped"
//   "Count"=dword:0000002a
//   "Data"=hex:01,02,ff
//   "Other"=hex(2):43,00,3a,00,00,00        (hex(<type in hexadecimal>))
//
// Read: UTF-16LE with its byte-order mark (as regedit writes it) or UTF-8
// with or without one; "REGEDIT4" files too; comments (';') and blank
// lines; "\" at the end of a hex line continues it; [-key] and "name"=-
// delete. Written: UTF-8 without byte-order mark, keys sorted as regedit
// sorts them (case-insensitively), every key on its own section.
//
// Key and value names compare case-insensitively in the ASCII letters, as
// the registry compares them for the names this system uses.
//
// Hostile files are refused, not trusted: at most kMaxHiveBytes of text,
// keys at most kMaxKeyDepth deep with names of at most kMaxKeyNameLength
// characters, value names of at most kMaxValueNameLength characters, values
// of at most kMaxValueBytes bytes. A file breaking any rule of the format
// is refused as a whole, with the line and the reason.
#ifdef _WIN32
#error "The registry emulation is not for Windows: include platform/registry/winreg.h"
#endif
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/emulation/utf_text.h"

namespace vornfmt::registry {

inline constexpr size_t kMaxHiveBytes = 16u << 20;
inline constexpr size_t kMaxKeyDepth = 512;
inline constexpr size_t kMaxKeyNameLength = 255;
inline constexpr size_t kMaxValueNameLength = 16383;
inline constexpr size_t kMaxValueBytes = 1u << 20;

struct Value {
  std::u16string name;  // empty: the key's default value ("@")
  uint32_t type = 0;    // REG_SZ, REG_DWORD, ...
  std::vector<uint8_t> data;

  bool operator==(const Value&) const = default;
};

struct Key {
  std::u16string name;
  // Both by folded name (ASCII letters in lower case).
  std::map<std::u16string, Value> values;
  std::map<std::u16string, std::unique_ptr<Key>> subkeys;

  bool Equals(const Key& other) const;
};

// A key path below the root, split at backslashes ("A\B" -> {"A","B"});
// nullopt when a part is empty or too long, or the path too deep.
std::optional<std::vector<std::u16string>> SplitKeyPath(std::u16string_view path);
std::u16string FoldName(std::u16string_view name);

class Hive {
 public:
  explicit Hive(std::u16string rootName) { root_.name = std::move(rootName); }

  // Reads `bytes` (the whole file) into a hive rooted at `rootName`; keys of
  // any other root are an error. nullopt with `error` ("line 3: ...").
  static std::optional<Hive> Parse(std::string_view bytes, std::u16string_view rootName, std::string& error);
  // The export text (UTF-8).
  std::string Serialize() const;

  const std::u16string& RootName() const { return root_.name; }
  Key& Root() { return root_; }
  const Key& Root() const { return root_; }

  // Null when a key of the path is missing.
  Key* Find(const std::vector<std::u16string>& path);
  // Creates the missing keys; answers the key and whether it was new.
  Key& Create(const std::vector<std::u16string>& path, bool& created);
  // Removes the key with everything below it; false when it is missing.
  // The root itself cannot be removed.
  bool Remove(const std::vector<std::u16string>& path);

  bool operator==(const Hive& other) const { return root_.Equals(other.root_); }

 private:
  Key root_;
};

using automation::FromUtf8;
using automation::ToUtf8;

}  // namespace vornfmt::registry
