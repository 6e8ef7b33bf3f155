#include "ldrf/type_file_reader.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "platform/code_page.h"
#include "platform/hex_digit.h"

namespace vornfmt::ldrf {
namespace {

using Json = nlohmann::json;

struct ParseError {
  std::string message;
};

// The reason is one line: control characters of names and texts quoted
// from the file become blanks.
[[noreturn]] void Throw(const std::string& where, const std::string& what) {
  std::string message = where + ": " + what;
  for (char& c : message)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  throw ParseError{std::move(message)};
}

constexpr std::array<const char*, 17> kKindNames = {
    "",         "char",  "unsigned char", "signed short", "unsigned short", "signed long",
    "unsigned long", "enum", "array", "struct", "union", "bitfield", "float", "signed quad",
    "reference", "unsigned quad", "double float"};

// Messages quote values of the file, never the file's JSON itself: printing
// a value (json::dump) recurses once per nesting level, and a hostile file
// nests as deeply as its size allows. Quoted texts are cut short.
std::string Shortened(const std::string& text) {
  constexpr size_t kShown = 40;
  return text.size() <= kShown ? text : text.substr(0, kShown) + "...";
}

// A whole JSON number as a signed 64-bit value; unsigned ones above its
// range become its largest value, so that every range test refuses them
// (reading them as signed would wrap 2^64 - 1 to -1).
int64_t WholeNumber(const Json& number) {
  if (number.is_number_unsigned()) return static_cast<int64_t>(std::min<uint64_t>(number.get<uint64_t>(), INT64_MAX));
  return number.get<int64_t>();
}

int64_t IntegerAt(const Json& object, const char* key, int64_t low, int64_t high,
                  int64_t fallback, const std::string& where) {
  auto it = object.find(key);
  if (it == object.end()) return fallback;
  if (!it->is_number_integer()) Throw(where, std::string("\"") + key + "\" must be a whole number");
  const int64_t value = WholeNumber(*it);
  if (value < low || value > high)
    Throw(where, std::string("\"") + key + "\" = " + std::to_string(value) + " is outside " +
                     std::to_string(low) + ".." + std::to_string(high));
  return value;
}

std::string TextAt(const Json& object, const char* key, const std::string& where) {
  auto it = object.find(key);
  if (it == object.end()) return {};
  if (!it->is_string()) Throw(where, std::string("\"") + key + "\" must be a text");
  std::string ansi = codepage::Utf8ToAnsi(it->get<std::string>());
  if (ansi.size() > kMaxNameBytes) Throw(where, std::string("\"") + key + "\" is too long");
  return ansi;
}

int32_t KindOf(const Json& node, const std::string& where) {
  auto it = node.find("kind");
  if (it == node.end()) Throw(where, "a node needs \"kind\"");
  if (it->is_number_integer()) {
    int64_t code = IntegerAt(node, "kind", 1, 16, 0, where);
    return static_cast<int32_t>(code);
  }
  if (!it->is_string()) Throw(where, std::string("\"kind\" must be a kind name or code, not ") + it->type_name());
  const std::string name = it->get<std::string>();
  for (size_t code = 1; code < kKindNames.size(); ++code)
    if (name == kKindNames[code]) return static_cast<int32_t>(code);
  Throw(where, "unknown \"kind\" \"" + Shortened(name) + "\"");
}

StringRef RefAt(const Json& node, const char* key, uint8_t ownScope, const std::string& where) {
  auto it = node.find(key);
  StringRef ref;
  if (it == node.end()) return ref;
  const std::string bad = std::string("\"") + key + "\" must be an index or [scope, index]";
  if (it->is_number_unsigned()) {
    if (it->get<uint64_t>() > UINT32_MAX) Throw(where, bad);
    return StringRef{ownScope, static_cast<uint32_t>(it->get<uint64_t>())};
  }
  if (!it->is_array() || it->size() != 2 || !(*it)[0].is_number_unsigned() ||
      !(*it)[1].is_number_unsigned() || (*it)[0].get<uint64_t>() > 255 ||
      (*it)[1].get<uint64_t>() > UINT32_MAX)
    Throw(where, bad);
  return StringRef{static_cast<uint8_t>((*it)[0].get<uint64_t>()),
                   static_cast<uint32_t>((*it)[1].get<uint64_t>())};
}

struct RawRange {
  int64_t low, high;
  uint16_t size;
};

bool IsScalar(int32_t kind) { return (kind >= kChar && kind <= kUnsignedLong) || kind == kSignedQuad; }

RawRange NaturalRange(int32_t kind) {
  switch (kind) {
    case kUnsignedChar: case kUnsignedShort: return {0, 255, 1};
    case kSignedLong: return {INT16_MIN, INT16_MAX, 2};
    case kUnsignedLong: return {0, UINT16_MAX, 2};
    case kSignedQuad: return {INT32_MIN, INT32_MAX, 4};
    default: return {INT8_MIN, INT8_MAX, 1};
  }
}

class Reader {
 public:
  explicit Reader(TypeFileData& data) : data_(data) {}

  void ReadDocument(const Json& doc) {
    if (!doc.is_object()) Throw("type file", "the document must be an object");
    if (doc.value("format", std::string()) != "vornfmt-types")
      Throw("type file", "\"format\" must be \"vornfmt-types\"");
    if (IntegerAt(doc, "version", 1, 1, 0, "type file") != 1)
      Throw("type file", "\"version\" must be 1");
    ReadSet(doc);
    ReadEnumSets(doc);
    ReadTable(doc, "nvts", data_.nvts, data_.nvtByIndex, data_.nvtByName);
    ReadTable(doc, "cpts", data_.cpts, data_.cptByIndex, data_.cptByName);
    for (auto& type : data_.nvts) LayOutType(type, "nvts " + type.name);
    for (auto& type : data_.cpts) LayOutType(type, "cpts " + type.name);
    for (const auto& type : data_.nvts) CheckStatedSizes(type.root, "nvts " + type.name);
    for (const auto& type : data_.cpts) CheckStatedSizes(type.root, "cpts " + type.name);
  }

 private:
  void ReadSet(const Json& doc) {
    auto it = doc.find("set");
    if (it == doc.end() || !it->is_object()) Throw("type file", "\"set\" must be an object");
    const Json& set = *it;
    SetIdentity& id = data_.set;
    id.name = TextAt(set, "name", "set");
    auto pid = set.find("program_id");
    if (pid == set.end() || !pid->is_string() || !ParseProgramIdText(pid->get<std::string>(), id.programId))
      Throw("set", "\"program_id\" must be 16 hexadecimal digits");
    id.scope = static_cast<uint8_t>(IntegerAt(set, "scope", 0, 6, -1, "set"));
    if (!set.contains("scope")) Throw("set", "\"scope\" is required");
    auto version = set.find("version");
    if (version != set.end()) {
      if (!version->is_array() || version->size() != 2 || !(*version)[0].is_number_unsigned() ||
          !(*version)[1].is_number_unsigned() || (*version)[0].get<uint64_t>() > UINT16_MAX ||
          (*version)[1].get<uint64_t>() > UINT16_MAX)
        Throw("set", "\"version\" must be [major, minor]");
      id.major = static_cast<uint16_t>((*version)[0].get<uint64_t>());
      id.minor = static_cast<uint16_t>((*version)[1].get<uint64_t>());
    }
  }

  void ReadEnumSets(const Json& doc) {
    auto it = doc.find("enum_sets");
    if (it == doc.end()) return;
    if (!it->is_array()) Throw("type file", "\"enum_sets\" must be a list");
    for (const Json& entry : *it) {
      if (!entry.is_object()) Throw("enum_sets", "every entry must be an object");
      int32_t number = static_cast<int32_t>(IntegerAt(entry, "set", 1, INT32_MAX, 0, "enum_sets"));
      const std::string where = "enum set " + std::to_string(number);
      if (number == 0) Throw("enum_sets", "every entry needs \"set\"");
      if (data_.enumSets.count(number)) Throw(where, "defined twice");
      auto members = entry.find("members");
      if (members == entry.end() || !members->is_array()) Throw(where, "\"members\" must be a list");
      if (members->size() > UINT16_MAX) Throw(where, "too many members");
      std::vector<EnumMember>& list = data_.enumSets[number];
      for (const Json& member : *members) {
        if (!member.is_object()) Throw(where, "every member must be an object");
        EnumMember m;
        m.name = TextAt(member, "name", where);
        if (!member.contains("value")) Throw(where, "member \"" + m.name + "\" needs \"value\"");
        m.value = static_cast<int32_t>(IntegerAt(member, "value", INT8_MIN, INT8_MAX, 0, where));
        list.push_back(std::move(m));
      }
    }
  }

  void ReadTable(const Json& doc, const char* key, std::vector<TypeDef>& table,
                 std::map<uint16_t, size_t>& byIndex, std::map<std::string, size_t>& byName) {
    auto it = doc.find(key);
    if (it == doc.end()) return;
    if (!it->is_array()) Throw("type file", std::string("\"") + key + "\" must be a list");
    if (it->size() > UINT16_MAX) Throw(key, "too many types");
    table.reserve(it->size());
    for (const Json& entry : *it) {
      if (!entry.is_object()) Throw(key, "every entry must be an object");
      TypeDef type;
      type.index = static_cast<uint16_t>(IntegerAt(entry, "index", 1, UINT16_MAX, 0, key));
      type.name = TextAt(entry, "name", key);
      const std::string where = std::string(key) + " " + type.name;
      if (type.index == 0 || type.name.empty()) Throw(where, "every type needs \"index\" and \"name\"");
      if (byIndex.count(type.index)) Throw(where, "index " + std::to_string(type.index) + " used twice");
      if (byName.count(type.name)) Throw(where, "name used twice");
      auto node = entry.find("node");
      if (node == entry.end()) Throw(where, "\"node\" is required");
      type.root = ReadNode(*node, 1, where);
      if (type.root.name.empty()) type.root.name = type.name;
      byIndex[type.index] = table.size();
      byName[type.name] = table.size();
      table.push_back(std::move(type));
    }
  }

  NodeDef ReadNode(const Json& json, int depth, const std::string& where) {
    if (depth > kMaxNodeDepth) Throw(where, "nodes nest too deeply");
    if (!json.is_object()) Throw(where, "a node must be an object");
    NodeDef node;
    node.kind = KindOf(json, where);
    node.name = TextAt(json, "name", where);
    const std::string here = node.name.empty() ? where : where + "." + node.name;
    node.hasOffset = json.contains("offset");
    node.offset = static_cast<uint16_t>(IntegerAt(json, "offset", 0, UINT16_MAX, 0, here));
    node.hasSize = json.contains("size");
    node.size = static_cast<uint16_t>(IntegerAt(json, "size", 0, UINT16_MAX, 0, here));
    node.nameRef = RefAt(json, "name_ref", data_.set.scope, here);
    node.commentRef = RefAt(json, "comment_ref", data_.set.scope, here);
    node.unitsRef = RefAt(json, "units_ref", data_.set.scope, here);
    ReadKindDetails(json, node, depth, here);
    return node;
  }

  void ReadKindDetails(const Json& json, NodeDef& node, int depth, const std::string& here) {
    switch (node.kind) {
      case kBitfield: ReadBitfield(json, node, here); break;
      case kEnum: ReadEnum(json, node, here); break;
      case kArray: ReadArray(json, node, depth, here); break;
      case kStruct: case kUnion: ReadMembers(json, node, depth, here); break;
      case kFloat: ReadFloatLimits(json, node, FLT_MAX, here); break;
      case kDoubleFloat: ReadFloatLimits(json, node, DBL_MAX, here); break;
      case kReference:
        node.refScope = static_cast<uint8_t>(IntegerAt(json, "scope", 0, 6, 0, here));
        node.refIndex = static_cast<uint16_t>(IntegerAt(json, "index", 1, UINT16_MAX, 0, here));
        if (node.refIndex == 0) Throw(here, "a reference needs \"index\"");
        break;
      default:
        if (IsScalar(node.kind)) {
          RawRange range = NaturalRange(node.kind);
          ReadScaling(json, node, range.low, range.high, here);
          // A limit beyond the raw range admits values that the field's bits
          // cannot hold: written, they wrap and read back as other values.
          if (node.minimum < range.low || node.maximum > range.high)
            Throw(here, "limits " + std::to_string(node.minimum) + ".." + std::to_string(node.maximum) +
                            " must lie within " + std::to_string(range.low) + ".." + std::to_string(range.high) +
                            ", the raw values of a " + kKindNames[static_cast<size_t>(node.kind)]);
        }
        break;
    }
  }

  void ReadScaling(const Json& json, NodeDef& node, int64_t low, int64_t high, const std::string& here) {
    auto scale = json.find("scale");
    if (scale != json.end()) {
      if (!scale->is_array() || scale->size() != 3) Throw(here, "\"scale\" must be [a, b, c]");
      std::array<int16_t, 3> abc{};
      for (size_t i = 0; i < 3; ++i) {
        const Json& v = (*scale)[i];
        if (!v.is_number_integer() || WholeNumber(v) < INT16_MIN || WholeNumber(v) > INT16_MAX)
          Throw(here, "\"scale\" values must be signed 16-bit numbers");
        abc[i] = static_cast<int16_t>(WholeNumber(v));
      }
      node.multiplier = abc[0];
      node.exponent = abc[1];
      node.scaleOffset = abc[2];
    }
    node.minimum = static_cast<int32_t>(IntegerAt(json, "min", INT32_MIN, INT32_MAX, low, here));
    node.maximum = static_cast<int32_t>(IntegerAt(json, "max", INT32_MIN, INT32_MAX, high, here));
  }

  void ReadBitfield(const Json& json, NodeDef& node, const std::string& here) {
    // The codec reads a whole byte as a signed 8-bit number: an 8-bit field
    // is a "signed short" or "unsigned short", not a bitfield.
    if (auto width = json.find("width"); width != json.end() && *width == 8)
      Throw(here, "a bitfield is 1 to 7 bits; a whole byte is a \"signed short\" or \"unsigned short\"");
    node.width = static_cast<uint8_t>(IntegerAt(json, "width", 1, 7, 0, here));
    if (node.width == 0) Throw(here, "a bitfield needs \"width\"");
    node.hasBit = json.contains("bit");
    node.bit = static_cast<uint8_t>(IntegerAt(json, "bit", 0, 7, 0, here));
    if (node.bit + node.width > 8) Throw(here, "\"bit\" + \"width\" must stay within the byte");
    ReadScaling(json, node, 0, (int64_t{1} << node.width) - 1, here);
  }

  void ReadEnum(const Json& json, NodeDef& node, const std::string& here) {
    node.enumSet = static_cast<int32_t>(IntegerAt(json, "enum", 1, INT32_MAX, 0, here));
    auto set = data_.enumSets.find(node.enumSet);
    if (set == data_.enumSets.end()) Throw(here, "\"enum\" names no enumeration set of this file");
    int32_t low = 0, high = 0;
    if (!set->second.empty()) {
      auto [lo, hi] = std::minmax_element(set->second.begin(), set->second.end(),
                                          [](auto& a, auto& b) { return a.value < b.value; });
      low = lo->value;
      high = hi->value;
    }
    node.minimum = static_cast<int32_t>(IntegerAt(json, "min", INT32_MIN, INT32_MAX, low, here));
    node.maximum = static_cast<int32_t>(IntegerAt(json, "max", INT32_MIN, INT32_MAX, high, here));
  }

  void ReadFloatLimits(const Json& json, NodeDef& node, double largest, const std::string& here) {
    node.floatMin = -largest;
    node.floatMax = largest;
    for (auto [key, place] : {std::pair{"min", &node.floatMin}, std::pair{"max", &node.floatMax}}) {
      auto it = json.find(key);
      if (it == json.end()) continue;
      if (!it->is_number() || std::isnan(it->get<double>())) Throw(here, std::string("\"") + key + "\" must be a number");
      *place = it->get<double>();
    }
  }

  void ReadArray(const Json& json, NodeDef& node, int depth, const std::string& here) {
    node.count = static_cast<uint16_t>(IntegerAt(json, "count", 1, UINT16_MAX, 0, here));
    if (node.count == 0) Throw(here, "an array needs \"count\"");
    auto element = json.find("element");
    if (element == json.end()) Throw(here, "an array needs \"element\"");
    node.element = std::make_unique<NodeDef>(ReadNode(*element, depth + 1, here + "[]"));
  }

  void ReadMembers(const Json& json, NodeDef& node, int depth, const std::string& here) {
    auto members = json.find("members");
    if (members == json.end() || !members->is_array()) Throw(here, "\"members\" must be a list");
    if (members->size() > UINT16_MAX) Throw(here, "too many members");
    node.members.reserve(members->size());
    for (const Json& member : *members) node.members.push_back(ReadNode(member, depth + 1, here));
  }

  // Offsets and sizes, bottom-up; references to types of this file take
  // their size from the referenced type.
  void LayOutType(TypeDef& type, const std::string& where) {
    if (type.root.laidOut) return;
    if (!inProgress_.insert(&type).second) Throw(where, "references form a cycle without stated sizes");
    if (inProgress_.size() > kMaxNodeDepth) Throw(where, "references without stated sizes chain too deeply");
    LayOut(type.root, where);
    // Every node lies within its type, so bounding the type bounds them all.
    if (type.root.size > kMaxTypeBytes)
      Throw(where, "the type takes " + std::to_string(type.root.size) + " bytes; fields are addressed within the first " +
                       std::to_string(kMaxTypeBytes) + " (bit offsets are signed 16-bit)");
    inProgress_.erase(&type);
  }

  void LayOut(NodeDef& node, const std::string& where) {
    if (node.laidOut) return;
    uint32_t natural = 0;
    uint64_t expanded = 1;
    switch (node.kind) {
      case kStruct: case kUnion: natural = LayOutMembers(node, where, expanded); break;
      case kArray:
        LayOut(*node.element, where);
        natural = uint32_t{node.count} * node.element->size;
        expanded += uint64_t{node.count} * node.element->expandedNodes;
        break;
      case kReference: natural = node.hasSize ? node.size : ReferencedSize(node, where); break;
      case kFloat: case kSignedQuad: case kUnsignedQuad: natural = 4; break;
      case kDoubleFloat: natural = 8; break;
      case kSignedLong: case kUnsignedLong: natural = 2; break;
      default: natural = 1; break;
    }
    if (natural > UINT16_MAX) Throw(where, "the size exceeds 65535 bytes");
    if (expanded > kMaxExpandedNodes) Throw(where, "the type expands to too many nodes");
    if (node.hasSize && node.size != natural && !IsFreeSized(node))
      Throw(where, "\"size\" " + std::to_string(node.size) + " does not match the layout (" +
                       std::to_string(natural) + ")");
    if (!node.hasSize) node.size = static_cast<uint16_t>(natural);
    if (node.hasSize && IsFreeSized(node) && node.size < natural)
      Throw(where, "\"size\" is smaller than the members need");
    node.expandedNodes = static_cast<uint32_t>(expanded);
    node.laidOut = true;
  }

  // Structures and unions may state a larger size than their members need.
  static bool IsFreeSized(const NodeDef& node) { return node.kind == kStruct || node.kind == kUnion; }

  uint32_t LayOutMembers(NodeDef& node, const std::string& where, uint64_t& expanded) {
    uint32_t next = 0, end = 0;
    int bitByte = -1, bitNext = 0;
    for (NodeDef& member : node.members) {
      const std::string here = member.name.empty() ? where : where + "." + member.name;
      LayOut(member, here);
      expanded += member.expandedNodes;
      if (member.kind == kBitfield) {
        PlaceBitfield(member, node.kind == kUnion, next, bitByte, bitNext);
      } else {
        bitByte = -1;
        if (!member.hasOffset) member.offset = static_cast<uint16_t>(node.kind == kUnion ? 0 : std::min<uint32_t>(next, UINT16_MAX));
        if (uint32_t{member.offset} + member.size > UINT16_MAX) Throw(here, "offset beyond 65535 bytes");
        next = member.offset + member.size;
      }
      end = std::max<uint32_t>(end, uint32_t{member.offset} + member.size);
    }
    return end;
  }

  static void PlaceBitfield(NodeDef& member, bool inUnion, uint32_t& next, int& bitByte, int& bitNext) {
    if (!member.hasOffset) {
      bool fits = bitByte >= 0 && bitNext + member.width <= 8 && !member.hasBit;
      if (fits) {
        member.offset = static_cast<uint16_t>(bitByte);
        member.bit = static_cast<uint8_t>(bitNext);
      } else {
        member.offset = static_cast<uint16_t>(inUnion ? 0 : std::min<uint32_t>(next, UINT16_MAX));
      }
    } else if (!member.hasBit && bitByte == member.offset && bitNext + member.width <= 8) {
      member.bit = static_cast<uint8_t>(bitNext);
    }
    bitByte = member.offset;
    bitNext = member.bit + member.width;
    next = std::max<uint32_t>(next, uint32_t{member.offset} + 1);
  }

  uint32_t ReferencedSize(const NodeDef& node, const std::string& where) {
    auto it = data_.nvtByIndex.find(node.refIndex);
    if (node.refScope != data_.set.scope || it == data_.nvtByIndex.end())
      Throw(where, "a reference to a type of another set must state \"size\"");
    TypeDef& target = data_.nvts[it->second];
    LayOutType(target, "nvts " + target.name);
    return target.root.size;
  }

  // A reference that states its size must state that of the type it refers
  // to, or the referenced fields would lie outside it. Checked once every
  // type is laid out, so that references in cycles are compared too; types
  // of other sets are compared when a tree is loaded.
  void CheckStatedSizes(const NodeDef& node, const std::string& where) {
    if (node.kind == kReference && node.hasSize && node.refScope == data_.set.scope) {
      auto it = data_.nvtByIndex.find(node.refIndex);
      if (it != data_.nvtByIndex.end() && data_.nvts[it->second].root.size != node.size) {
        const TypeDef& target = data_.nvts[it->second];
        Throw(where, "\"size\" " + std::to_string(node.size) + " disagrees with " + target.name + " (" +
                         std::to_string(target.root.size) + " bytes), the type it refers to");
      }
    }
    for (const NodeDef& member : node.members)
      CheckStatedSizes(member, member.name.empty() ? where : where + "." + member.name);
    if (node.element) CheckStatedSizes(*node.element, where + "[]");
  }

  TypeFileData& data_;
  std::set<const TypeDef*> inProgress_;
};

}  // namespace

bool ParseProgramIdText(std::string_view text, ProgramId& out) {
  std::string digits;
  for (char c : text) {
    if (c == ':') continue;
    if (HexDigit(c) < 0) return false;
    digits.push_back(c);
  }
  if (digits.size() != 16) return false;
  for (size_t i = 0; i < 8; ++i)
    out[i] = static_cast<uint8_t>(HexDigit(digits[2 * i]) * 16 + HexDigit(digits[2 * i + 1]));
  return true;
}

bool ParseTypeFile(std::string_view text, TypeFileData& out, std::string& error) {
  Json doc = Json::parse(text.begin(), text.end(), nullptr, false);
  if (doc.is_discarded()) {
    // Parse again with exceptions only to get the position for the message.
    try {
      Json ignored = Json::parse(text.begin(), text.end());
    } catch (const Json::exception& e) {
      error = std::string("not valid JSON: ") + e.what();
    }
    return false;
  }
  try {
    out = TypeFileData{};
    Reader(out).ReadDocument(doc);
    return true;
  } catch (const ParseError& e) {
    error = e.message;
  } catch (const Json::exception& e) {
    error = e.what();
  }
  return false;
}

bool ReadWholeFile(const std::filesystem::path& path, std::string& text, std::string& error) {
  std::error_code ec;
  uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) {
    error = path.string() + ": " + ec.message();
    return false;
  }
  if (size > kMaxResourceFileBytes) {
    error = path.string() + ": larger than the library reads";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path.string() + ": cannot be opened";
    return false;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return true;
}

}  // namespace vornfmt::ldrf
