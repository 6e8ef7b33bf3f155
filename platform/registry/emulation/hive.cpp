#include "platform/registry/emulation/hive.h"

#include <cstdio>

#include "platform/registry/emulation/winreg.h"

namespace vornfmt::registry {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to 8 hexadecimal digits, the whole text.
std::optional<uint32_t> ParseHex32(std::string_view text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  return value;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The text as UTF-8: a UTF-16LE file (byte-order mark FF FE) is converted,
// a UTF-8 byte-order mark dropped.
std::optional<std::string> DecodeFile(std::string_view bytes) {
  if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::u16string wide;
    wide.reserve(bytes.size() / 2 - 1);
    for (size_t i = 2; i < bytes.size(); i += 2)
      wide.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8));
    return ToUtf8(wide);
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  return std::string(bytes);
}

std::vector<uint8_t> TextData(std::u16string_view text) {
  std::vector<uint8_t> data;
  data.reserve(text.size() * 2 + 2);
  for (char16_t c : text) {
    data.push_back(static_cast<uint8_t>(c & 0xFF));
    data.push_back(static_cast<uint8_t>(c >> 8));
  }
  data.push_back(0);
  data.push_back(0);
  return data;
}

// The text of a REG_SZ value that can be written in quotes: whole UTF-16
// units, one terminator at the end and none before, valid surrogate pairs,
// no line breaks. nullopt otherwise (written as hex(1) then).
std::optional<std::u16string> QuotableText(const std::vector<uint8_t>& data) {
  if (data.size() < 2 || data.size() % 2 != 0) return std::nullopt;
  std::u16string text;
  for (size_t i = 0; i + 2 < data.size(); i += 2) text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  if (data[data.size() - 2] != 0 || data[data.size() - 1] != 0) return std::nullopt;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == 0 || c == u'\n' || c == u'\r') return std::nullopt;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return std::nullopt;
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return std::nullopt;
    }
  }
  return text;
}

std::string Quote(std::u16string_view text) {
  std::string out = "\"";
  for (char c : ToUtf8(text)) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

// A quoted text at the start of `text`: the text without quotes and escapes,
// and `text` moved past the closing quote. Only \\ and \" are escapes.
std::optional<std::string> ReadQuoted(std::string_view& text, std::string& error) {
  if (text.empty() || text.front() != '"') {
    error = "a quoted text was expected";
    return std::nullopt;
  }
  std::string out;
  for (size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      text.remove_prefix(i + 1);
      return out;
    }
    if (c == '\\') {
      if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
        error = "only \\\\ and \\\" may follow a backslash in a quoted text";
        return std::nullopt;
      }
      ++i;
    }
    out.push_back(text[i]);
  }
  error = "a quoted text is not closed";
  return std::nullopt;
}

// "01,02,ff" (blanks allowed around the bytes; empty for no bytes).
std::optional<std::vector<uint8_t>> ReadHexBytes(std::string_view text, std::string& error) {
  std::vector<uint8_t> bytes;
  text = Trim(text);
  if (text.empty()) return bytes;
  while (true) {
    const size_t comma = text.find(',');
    const std::string_view part = Trim(text.substr(0, comma));
    const std::optional<uint32_t> byte = part.size() <= 2 ? ParseHex32(part) : std::nullopt;
    if (!byte) {
      // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on
      // the same text built with operator+.
      std::string message(1, '"');
      message.append(part).append("\" is not a hexadecimal byte");
      error = std::move(message);
      return std::nullopt;
    }
    if (bytes.size() >= kMaxValueBytes) {
      error = "a value is longer than " + std::to_string(kMaxValueBytes) + " bytes";
      return std::nullopt;
    }
    bytes.push_back(static_cast<uint8_t>(*byte));
    if (comma == std::string_view::npos) return bytes;
    text.remove_prefix(comma + 1);
  }
}

class Parser {
 public:
  Parser(Hive& hive, std::string& error) : hive_(hive), error_(error) {}

  bool Run(const std::string& text) {
    size_t pos = 0;
    bool header = false;
    while (pos < text.size()) {
      std::string line = NextLine(text, pos);
      // A hex value continues on the next line after a trailing backslash.
      while (!Trim(line).empty() && Trim(line).back() == '\\' && IsHexValue(line) && pos < text.size()) {
        std::string_view head = Trim(line);
        head.remove_suffix(1);
        line = std::string(head) + std::string(Trim(NextLine(text, pos)));
      }
      const std::string_view content = Trim(line);
      if (content.empty() || content.front() == ';') continue;
      if (!header) {
        if (content != kHeader && content != kHeader4) return Fail("the file does not start with \"" + std::string(kHeader) + "\"");
        header = true;
        continue;
      }
      if (!(content.front() == '[' ? KeyLine(content) : ValueLine(content))) return false;
    }
    if (!header) return Fail("the file does not start with \"" + std::string(kHeader) + "\"");
    return true;
  }

 private:
  std::string NextLine(const std::string& text, size_t& pos) {
    const size_t end = text.find('\n', pos);
    std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    ++lineNumber_;
    return line;
  }

  // A value line whose data are hex bytes ("name"=hex:..., "name" = hex(7):...).
  static bool IsHexValue(std::string_view line) {
    for (size_t equals = line.find('='); equals != std::string_view::npos; equals = line.find('=', equals + 1))
      if (Trim(line.substr(equals + 1)).substr(0, 3) == "hex") return true;
    return false;
  }

  bool Fail(const std::string& reason) {
    error_ = "line " + std::to_string(lineNumber_) + ": " + reason;
    return false;
  }

  bool KeyLine(std::string_view content) {
    if (content.back() != ']') return Fail("a key line must end with ']'");
    std::string_view path = content.substr(1, content.size() - 2);
    const bool remove = !path.empty() && path.front() == '-';
    if (remove) path.remove_prefix(1);
    const size_t slash = path.find('\\');
    const std::string_view root = path.substr(0, slash);
    if (!EqualsIgnoringCase(root, ToUtf8(hive_.RootName())))
      return Fail("the key " + std::string(path) + " is not under " + ToUtf8(hive_.RootName()));
    std::vector<std::u16string> parts;
    if (slash != std::string_view::npos) {
      auto split = SplitKeyPath(FromUtf8(path.substr(slash + 1)));
      if (!split) return Fail("the key " + std::string(path) + " has an empty, too long or too deep name");
      parts = std::move(*split);
    }
    current_ = nullptr;
    if (remove) {
      if (!parts.empty()) hive_.Remove(parts);
      return true;
    }
    bool created = false;
    current_ = &hive_.Create(parts, created);
    return true;
  }

  bool ValueLine(std::string_view content) {
    if (!current_) return Fail("a value must follow a key line");
    std::u16string name;
    if (content.front() == '@') {
      content.remove_prefix(1);
    } else {
      std::string reason;
      auto quoted = ReadQuoted(content, reason);
      if (!quoted) return Fail(reason);
      name = FromUtf8(*quoted);
      if (name.size() > kMaxValueNameLength) return Fail("a value name is longer than 16383 characters");
    }
    content = Trim(content);
    if (content.empty() || content.front() != '=') return Fail("'=' must follow the value name");
    content = Trim(content.substr(1));
    const std::u16string folded = FoldName(name);
    if (content == "-") {
      current_->values.erase(folded);
      return true;
    }
    Value value;
    value.name = name;
    std::string reason;
    if (!content.empty() && content.front() == '"') {
      auto text = ReadQuoted(content, reason);
      if (!text) return Fail(reason);
      if (!Trim(content).empty()) return Fail("nothing may follow a quoted value");
      value.type = REG_SZ;
      value.data = TextData(FromUtf8(*text));
      if (value.data.size() > kMaxValueBytes) return Fail("a value is longer than 1048576 bytes");
    } else if (content.substr(0, 6) == "dword:") {
      auto number = ParseHex32(content.substr(6));
      if (!number) return Fail("dword: must be followed by 1 to 8 hexadecimal digits");
      value.type = REG_DWORD;
      for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<uint8_t>(*number >> (8 * i)));
    } else if (content.substr(0, 4) == "hex:" || content.substr(0, 4) == "hex(") {
      value.type = REG_BINARY;
      content.remove_prefix(3);
      if (content.front() == '(') {
        const size_t close = content.find(')');
        auto type = close == std::string_view::npos ? std::nullopt : ParseHex32(content.substr(1, close - 1));
        if (!type) return Fail("hex( must be followed by a type in hexadecimal and ')'");
        value.type = *type;
        content.remove_prefix(close + 1);
      }
      if (content.empty() || content.front() != ':') return Fail("':' must follow hex or hex(type)");
      auto bytes = ReadHexBytes(content.substr(1), reason);
      if (!bytes) return Fail(reason);
      value.data = std::move(*bytes);
    } else {
      return Fail("a value must be a quoted text, dword:, hex: or hex(type):");
    }
    // A value set again keeps the name it was first written with.
    Value& slot = current_->values[folded];
    if (!slot.name.empty()) value.name = slot.name;
    slot = std::move(value);
    return true;
  }

  Hive& hive_;
  std::string& error_;
  Key* current_ = nullptr;
  size_t lineNumber_ = 0;
};

void AppendHex(std::string& out, const std::vector<uint8_t>& data) {
  size_t column = out.size() - (out.rfind('\n') == std::string::npos ? 0 : out.rfind('\n') + 1);
  for (size_t i = 0; i < data.size(); ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", data[i]);
    out += byte;
    column += 2;
    if (i + 1 < data.size()) {
      out.push_back(',');
      ++column;
      if (column >= 76) {
        out += "\\\n  ";
        column = 2;
      }
    }
  }
}

void SerializeValue(std::string& out, const Value& value) {
  out += value.name.empty() ? std::string("@") : Quote(value.name);
  out.push_back('=');
  if (value.type == REG_SZ) {
    if (auto text = QuotableText(value.data)) {
      out += Quote(*text);
      out.push_back('\n');
      return;
    }
  }
  if (value.type == REG_DWORD && value.data.size() == 4) {
    char number[16];
    const uint32_t dword = value.data[0] | value.data[1] << 8 | value.data[2] << 16 | static_cast<uint32_t>(value.data[3]) << 24;
    std::snprintf(number, sizeof number, "dword:%08x", dword);
    out += number;
    out.push_back('\n');
    return;
  }
  if (value.type == REG_BINARY) {
    out += "hex:";
  } else {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    out += prefix;
  }
  AppendHex(out, value.data);
  out.push_back('\n');
}

void SerializeKey(std::string& out, const Key& key, const std::string& path, bool isRoot) {
  if (!isRoot || !key.values.empty()) {
    out += "[" + path + "]\n";
    for (const auto& [folded, value] : key.values) SerializeValue(out, value);
    out.push_back('\n');
  }
  for (const auto& [folded, subkey] : key.subkeys) SerializeKey(out, *subkey, path + "\\" + ToUtf8(subkey->name), false);
}

}  // namespace

bool Key::Equals(const Key& other) const {
  if (name != other.name || values != other.values || subkeys.size() != other.subkeys.size()) return false;
  for (auto a = subkeys.begin(), b = other.subkeys.begin(); a != subkeys.end(); ++a, ++b)
    if (a->first != b->first || !a->second->Equals(*b->second)) return false;
  return true;
}

std::u16string FoldName(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return folded;
}

std::optional<std::vector<std::u16string>> SplitKeyPath(std::u16string_view path) {
  std::vector<std::u16string> parts;
  if (path.empty()) return parts;
  while (true) {
    const size_t slash = path.find(u'\\');
    const std::u16string_view part = path.substr(0, slash);
    if (part.empty() || part.size() > kMaxKeyNameLength || parts.size() >= kMaxKeyDepth) return std::nullopt;
    parts.emplace_back(part);
    if (slash == std::u16string_view::npos) return parts;
    path.remove_prefix(slash + 1);
  }
}

std::optional<Hive> Hive::Parse(std::string_view bytes, std::u16string_view rootName, std::string& error) {
  if (bytes.size() > kMaxHiveBytes) {
    error = "the file is larger than " + std::to_string(kMaxHiveBytes >> 20) + " MiB";
    return std::nullopt;
  }
  std::optional<std::string> text = DecodeFile(bytes);
  if (!text) {
    error = "a UTF-16 file has an odd number of bytes";
    return std::nullopt;
  }
  Hive hive{std::u16string(rootName)};
  Parser parser(hive, error);
  if (!parser.Run(*text)) return std::nullopt;
  return hive;
}

std::string Hive::Serialize() const {
  std::string out(kHeader);
  out += "\n\n";
  SerializeKey(out, root_, ToUtf8(root_.name), true);
  return out;
}

Key* Hive::Find(const std::vector<std::u16string>& path) {
  Key* key = &root_;
  for (const std::u16string& part : path) {
    auto it = key->subkeys.find(FoldName(part));
    if (it == key->subkeys.end()) return nullptr;
    key = it->second.get();
  }
  return key;
}

Key& Hive::Create(const std::vector<std::u16string>& path, bool& created) {
  created = false;
  Key* key = &root_;
  for (const std::u16string& part : path) {
    auto& slot = key->subkeys[FoldName(part)];
    if (!slot) {
      slot = std::make_unique<Key>();
      slot->name = part;
      created = true;
    }
    key = slot.get();
  }
  return *key;
}

bool Hive::Remove(const std::vector<std::u16string>& path) {
  if (path.empty()) return false;
  std::vector<std::u16string> parent(path.begin(), path.end() - 1);
  Key* key = Find(parent);
  return key && key->subkeys.erase(FoldName(path.back())) == 1;
}

}  // namespace vornfmt::registry
