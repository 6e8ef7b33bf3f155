#include "ldrf/type_file_reader.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <fstream>
#include <limits>
#include <set>

#include <simdjson.h>

#include "ldrf/error_place.h"
#include "ldrf/json_fields.h"
#include "platform/code_page.h"
#include "platform/hex_digit.h"

namespace vornfmt::ldrf {
namespace {

using simdjson::dom::element;
using simdjson::dom::element_type;

// Objects and lists may nest this deep. A valid file nests about twice
// kMaxNodeDepth deep (a node, its "members", the member's node ...); above
// that, the reader's own check names the type whose nodes nest too deeply.
constexpr size_t kMaxJsonDepth = 256;

struct ParseError {
  std::string message;
};

// The reason is one line: control characters of names and texts quoted
// from the file become blanks.
[[noreturn]] void Throw(const ErrorPlace& where, std::string_view what) {
  std::string message = PlaceText(where);
  message += ": ";
  message += what;
  for (char& c : message)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  throw ParseError{std::move(message)};
}

constexpr ErrorPlace kTypeFile{"type file"};
constexpr ErrorPlace kSetPlace{"set"};
constexpr ErrorPlace kEnumSetsPlace{"enum_sets"};
constexpr ErrorPlace kNvtsPlace{"nvts"};
constexpr ErrorPlace kCptsPlace{"cpts"};

// The keys of each kind of object, in the order of their enumerations.
enum DocumentKey : size_t { kFormatKey, kVersionKey, kSetKey, kEnumSetsKey, kNvtsKey, kCptsKey };
constexpr JsonKeys kDocumentKeys{std::array<std::string_view, 6>{"format", "version", "set", "enum_sets", "nvts", "cpts"}};
enum SetKey : size_t { kSetNameKey, kProgramIdKey, kSetScopeKey, kSetVersionKey };
constexpr JsonKeys kSetKeys{std::array<std::string_view, 4>{"name", "program_id", "scope", "version"}};
enum EnumSetKey : size_t { kEnumNumberKey, kEnumMembersKey };
constexpr JsonKeys kEnumSetKeys{std::array<std::string_view, 2>{"set", "members"}};
enum MemberKey : size_t { kMemberNameKey, kMemberValueKey };
constexpr JsonKeys kMemberKeys{std::array<std::string_view, 2>{"name", "value"}};
enum TypeKey : size_t { kTypeIndexKey, kTypeNameKey, kTypeNodeKey };
constexpr JsonKeys kTypeKeys{std::array<std::string_view, 3>{"index", "name", "node"}};
enum NodeKey : size_t {
  kKindKey, kNameKey, kOffsetKey, kSizeKey, kScaleKey, kMinKey, kMaxKey, kBitKey, kWidthKey, kEnumKey,
  kScopeKey, kIndexKey, kCountKey, kElementKey, kNameRefKey, kCommentRefKey, kUnitsRefKey, kMembersKey
};
constexpr JsonKeys kNodeKeys{std::array<std::string_view, kMembersKey + 1>{
    "kind",  "name",  "offset", "size",  "scale",   "min",      "max",         "bit",       "width",
    "enum", "scope", "index",  "count", "element", "name_ref", "comment_ref", "units_ref", "members"}};

constexpr std::array<const char*, 17> kKindNames = {
    "",         "char",  "unsigned char", "signed short", "unsigned short", "signed long",
    "unsigned long", "enum", "array", "struct", "union", "bitfield", "float", "signed quad",
    "reference", "unsigned quad", "double float"};

// "\"key\"" followed by the rest of a message.
std::string Quoted(std::string_view key, std::string_view rest) {
  std::string text = "\"";
  text += key;
  text += '"';
  text += rest;
  return text;
}

// Messages quote values of the file, never the file's JSON itself, and cut
// quoted texts short.
std::string Shortened(std::string_view text) {
  constexpr size_t kShown = 40;
  return text.size() <= kShown ? std::string(text) : std::string(text.substr(0, kShown)) + "...";
}

bool IsObject(const element& value) { return value.type() == element_type::OBJECT; }
bool IsArray(const element& value) { return value.type() == element_type::ARRAY; }
bool IsString(const element& value) { return value.type() == element_type::STRING; }
bool IsInteger(const element& value) {
  return value.type() == element_type::INT64 || value.type() == element_type::UINT64;
}
bool IsNumber(const element& value) { return IsInteger(value) || value.type() == element_type::DOUBLE; }
std::string_view TextOf(const element& value) { return value.get_string().value_unsafe(); }
simdjson::dom::array ArrayOf(const element& value) { return value.get_array().value_unsafe(); }
simdjson::dom::object ObjectOf(const element& value) { return value.get_object().value_unsafe(); }

// A whole JSON number as a signed 64-bit value; unsigned ones above its
// range become its largest value, so that every range test refuses them
// (reading them as signed would wrap 2^64 - 1 to -1).
int64_t WholeNumber(const element& number) {
  if (number.type() == element_type::UINT64)
    return static_cast<int64_t>(std::min<uint64_t>(number.get_uint64().value_unsafe(), INT64_MAX));
  return number.get_int64().value_unsafe();
}

// A whole number that is not negative, read as unsigned.
bool IsUnsigned(const element& value) { return IsInteger(value) && WholeNumber(value) >= 0; }
uint64_t UnsignedOf(const element& value) {
  return value.type() == element_type::UINT64 ? value.get_uint64().value_unsafe()
                                               : static_cast<uint64_t>(value.get_int64().value_unsafe());
}

double NumberOf(const element& value) {
  switch (value.type()) {
    case element_type::INT64: return static_cast<double>(value.get_int64().value_unsafe());
    case element_type::UINT64: return static_cast<double>(value.get_uint64().value_unsafe());
    default: return value.get_double().value_unsafe();
  }
}

const char* TypeName(const element& value) {
  switch (value.type()) {
    case element_type::OBJECT: return "object";
    case element_type::ARRAY: return "array";
    case element_type::STRING: return "string";
    case element_type::BOOL: return "boolean";
    case element_type::NULL_VALUE: return "null";
    default: return "number";
  }
}

int64_t IntegerAt(const JsonFields& fields, size_t key, int64_t low, int64_t high, int64_t fallback,
                  const ErrorPlace& where) {
  const element* value = fields.Find(key);
  if (!value) return fallback;
  if (!IsInteger(*value)) Throw(where, Quoted(fields.Key(key), " must be a whole number"));
  const int64_t number = WholeNumber(*value);
  if (number < low || number > high)
    Throw(where, Quoted(fields.Key(key), " = " + std::to_string(number) + " is outside " + std::to_string(low) +
                                             ".." + std::to_string(high)));
  return number;
}

std::string TextAt(const JsonFields& fields, size_t key, const ErrorPlace& where) {
  const element* value = fields.Find(key);
  if (!value) return {};
  if (!IsString(*value)) Throw(where, Quoted(fields.Key(key), " must be a text"));
  std::string ansi = codepage::Utf8ToAnsi(TextOf(*value));
  if (ansi.size() > kMaxNameBytes) Throw(where, Quoted(fields.Key(key), " is too long"));
  return ansi;
}

int32_t KindOf(const JsonFields& node, const ErrorPlace& where) {
  const element* kind = node.Find(kKindKey);
  if (!kind) Throw(where, "a node needs \"kind\"");
  if (IsInteger(*kind)) return static_cast<int32_t>(IntegerAt(node, kKindKey, 1, 16, 0, where));
  if (!IsString(*kind)) Throw(where, std::string("\"kind\" must be a kind name or code, not ") + TypeName(*kind));
  const std::string_view name = TextOf(*kind);
  for (size_t code = 1; code < kKindNames.size(); ++code)
    if (name == kKindNames[code]) return static_cast<int32_t>(code);
  Throw(where, "unknown \"kind\" \"" + Shortened(name) + "\"");
}

// [a, b] of two unsigned numbers no larger than firstMax and secondMax.
bool IsPairOfUnsigned(const element& value, uint64_t firstMax, uint64_t secondMax) {
  if (!IsArray(value)) return false;
  const simdjson::dom::array list = ArrayOf(value);
  if (list.size() != 2) return false;
  const element first = list.at(0).value_unsafe(), second = list.at(1).value_unsafe();
  return IsUnsigned(first) && IsUnsigned(second) && UnsignedOf(first) <= firstMax && UnsignedOf(second) <= secondMax;
}

StringRef RefAt(const JsonFields& node, size_t key, uint8_t ownScope, const ErrorPlace& where) {
  const element* value = node.Find(key);
  if (!value) return StringRef{};
  const auto bad = [&] { Throw(where, Quoted(node.Key(key), " must be an index or [scope, index]")); };
  if (IsUnsigned(*value)) {
    if (UnsignedOf(*value) > UINT32_MAX) bad();
    return StringRef{ownScope, static_cast<uint32_t>(UnsignedOf(*value))};
  }
  if (!IsPairOfUnsigned(*value, 255, UINT32_MAX)) bad();
  const simdjson::dom::array pair = ArrayOf(*value);
  return StringRef{static_cast<uint8_t>(UnsignedOf(pair.at(0).value_unsafe())),
                   static_cast<uint32_t>(UnsignedOf(pair.at(1).value_unsafe()))};
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

  void ReadDocument(const element& root) {
    if (!IsObject(root)) Throw(kTypeFile, "the document must be an object");
    const JsonFields doc(ObjectOf(root), kDocumentKeys);
    const element* format = doc.Find(kFormatKey);
    if (!format || !IsString(*format) || TextOf(*format) != "vornfmt-types")
      Throw(kTypeFile, "\"format\" must be \"vornfmt-types\"");
    if (IntegerAt(doc, kVersionKey, 1, 1, 0, kTypeFile) != 1) Throw(kTypeFile, "\"version\" must be 1");
    ReadSet(doc);
    ReadEnumSets(doc);
    ReadTable(doc, kNvtsKey, kNvtsPlace, data_.nvts, data_.nvtByIndex, data_.nvtByName);
    ReadTable(doc, kCptsKey, kCptsPlace, data_.cpts, data_.cptByIndex, data_.cptByName);
    for (auto& type : data_.nvts) LayOutType(type, kNvtsPlace.Below(" ", type.name));
    for (auto& type : data_.cpts) LayOutType(type, kCptsPlace.Below(" ", type.name));
    for (const auto& type : data_.nvts) CheckStatedSizes(type.root, kNvtsPlace.Below(" ", type.name));
    for (const auto& type : data_.cpts) CheckStatedSizes(type.root, kCptsPlace.Below(" ", type.name));
  }

 private:
  void ReadSet(const JsonFields& doc) {
    const element* found = doc.Find(kSetKey);
    if (!found || !IsObject(*found)) Throw(kTypeFile, "\"set\" must be an object");
    const JsonFields set(ObjectOf(*found), kSetKeys);
    SetIdentity& id = data_.set;
    id.name = TextAt(set, kSetNameKey, kSetPlace);
    const element* pid = set.Find(kProgramIdKey);
    if (!pid || !IsString(*pid) || !ParseProgramIdText(TextOf(*pid), id.programId))
      Throw(kSetPlace, "\"program_id\" must be 16 hexadecimal digits");
    id.scope = static_cast<uint8_t>(IntegerAt(set, kSetScopeKey, 0, 6, -1, kSetPlace));
    if (!set.Has(kSetScopeKey)) Throw(kSetPlace, "\"scope\" is required");
    if (const element* version = set.Find(kSetVersionKey)) {
      if (!IsPairOfUnsigned(*version, UINT16_MAX, UINT16_MAX)) Throw(kSetPlace, "\"version\" must be [major, minor]");
      const simdjson::dom::array pair = ArrayOf(*version);
      id.major = static_cast<uint16_t>(UnsignedOf(pair.at(0).value_unsafe()));
      id.minor = static_cast<uint16_t>(UnsignedOf(pair.at(1).value_unsafe()));
    }
  }

  void ReadEnumSets(const JsonFields& doc) {
    const element* sets = doc.Find(kEnumSetsKey);
    if (!sets) return;
    if (!IsArray(*sets)) Throw(kTypeFile, "\"enum_sets\" must be a list");
    for (const element entry : ArrayOf(*sets)) {
      if (!IsObject(entry)) Throw(kEnumSetsPlace, "every entry must be an object");
      const JsonFields fields(ObjectOf(entry), kEnumSetKeys);
      int32_t number = static_cast<int32_t>(IntegerAt(fields, kEnumNumberKey, 1, INT32_MAX, 0, kEnumSetsPlace));
      const std::string whereText = "enum set " + std::to_string(number);
      const ErrorPlace where{whereText};
      if (number == 0) Throw(kEnumSetsPlace, "every entry needs \"set\"");
      if (data_.enumSets.count(number)) Throw(where, "defined twice");
      const element* members = fields.Find(kEnumMembersKey);
      if (!members || !IsArray(*members)) Throw(where, "\"members\" must be a list");
      const simdjson::dom::array list = ArrayOf(*members);
      if (list.size() > UINT16_MAX) Throw(where, "too many members");
      std::vector<EnumMember>& out = data_.enumSets[number];
      out.reserve(list.size());
      for (const element member : list) {
        if (!IsObject(member)) Throw(where, "every member must be an object");
        const JsonFields memberFields(ObjectOf(member), kMemberKeys);
        EnumMember m;
        m.name = TextAt(memberFields, kMemberNameKey, where);
        if (!memberFields.Has(kMemberValueKey)) Throw(where, "member \"" + m.name + "\" needs \"value\"");
        m.value = static_cast<int32_t>(IntegerAt(memberFields, kMemberValueKey, INT8_MIN, INT8_MAX, 0, where));
        out.push_back(std::move(m));
      }
    }
  }

  void ReadTable(const JsonFields& doc, size_t key, const ErrorPlace& tablePlace, std::vector<TypeDef>& table,
                 std::map<uint16_t, size_t>& byIndex, std::map<std::string, size_t>& byName) {
    const element* found = doc.Find(key);
    if (!found) return;
    if (!IsArray(*found)) Throw(kTypeFile, Quoted(doc.Key(key), " must be a list"));
    const simdjson::dom::array entries = ArrayOf(*found);
    if (entries.size() > UINT16_MAX) Throw(tablePlace, "too many types");
    table.reserve(entries.size());
    for (const element entry : entries) {
      if (!IsObject(entry)) Throw(tablePlace, "every entry must be an object");
      const JsonFields fields(ObjectOf(entry), kTypeKeys);
      TypeDef type;
      type.index = static_cast<uint16_t>(IntegerAt(fields, kTypeIndexKey, 1, UINT16_MAX, 0, tablePlace));
      type.name = TextAt(fields, kTypeNameKey, tablePlace);
      const ErrorPlace where = tablePlace.Below(" ", type.name);
      if (type.index == 0 || type.name.empty()) Throw(where, "every type needs \"index\" and \"name\"");
      if (byIndex.count(type.index)) Throw(where, "index " + std::to_string(type.index) + " used twice");
      if (byName.count(type.name)) Throw(where, "name used twice");
      const element* node = fields.Find(kTypeNodeKey);
      if (!node) Throw(where, "\"node\" is required");
      type.root = ReadNode(*node, 1, where);
      if (type.root.name.empty()) type.root.name = type.name;
      byIndex[type.index] = table.size();
      byName[type.name] = table.size();
      table.push_back(std::move(type));
    }
  }

  NodeDef ReadNode(const element& value, int depth, const ErrorPlace& where) {
    if (depth > kMaxNodeDepth) Throw(where, "nodes nest too deeply");
    if (!IsObject(value)) Throw(where, "a node must be an object");
    const JsonFields json(ObjectOf(value), kNodeKeys);
    NodeDef node;
    node.kind = KindOf(json, where);
    node.name = TextAt(json, kNameKey, where);
    const ErrorPlace named = where.Below(".", node.name);
    const ErrorPlace& here = node.name.empty() ? where : named;
    node.hasOffset = json.Has(kOffsetKey);
    node.offset = static_cast<uint16_t>(IntegerAt(json, kOffsetKey, 0, UINT16_MAX, 0, here));
    node.hasSize = json.Has(kSizeKey);
    node.size = static_cast<uint16_t>(IntegerAt(json, kSizeKey, 0, UINT16_MAX, 0, here));
    node.nameRef = RefAt(json, kNameRefKey, data_.set.scope, here);
    node.commentRef = RefAt(json, kCommentRefKey, data_.set.scope, here);
    node.unitsRef = RefAt(json, kUnitsRefKey, data_.set.scope, here);
    ReadKindDetails(json, node, depth, here);
    return node;
  }

  void ReadKindDetails(const JsonFields& json, NodeDef& node, int depth, const ErrorPlace& here) {
    switch (node.kind) {
      case kBitfield: ReadBitfield(json, node, here); break;
      case kEnum: ReadEnum(json, node, here); break;
      case kArray: ReadArray(json, node, depth, here); break;
      case kStruct: case kUnion: ReadMembers(json, node, depth, here); break;
      case kFloat: ReadFloatLimits(json, node, FLT_MAX, here); break;
      case kDoubleFloat: ReadFloatLimits(json, node, DBL_MAX, here); break;
      case kReference:
        node.refScope = static_cast<uint8_t>(IntegerAt(json, kScopeKey, 0, 6, 0, here));
        node.refIndex = static_cast<uint16_t>(IntegerAt(json, kIndexKey, 1, UINT16_MAX, 0, here));
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

  void ReadScaling(const JsonFields& json, NodeDef& node, int64_t low, int64_t high, const ErrorPlace& here) {
    if (const element* scale = json.Find(kScaleKey)) {
      if (!IsArray(*scale) || ArrayOf(*scale).size() != 3) Throw(here, "\"scale\" must be [a, b, c]");
      std::array<int16_t, 3> abc{};
      size_t i = 0;
      for (const element v : ArrayOf(*scale)) {
        if (!IsInteger(v) || WholeNumber(v) < INT16_MIN || WholeNumber(v) > INT16_MAX)
          Throw(here, "\"scale\" values must be signed 16-bit numbers");
        abc[i++] = static_cast<int16_t>(WholeNumber(v));
      }
      node.multiplier = abc[0];
      node.exponent = abc[1];
      node.scaleOffset = abc[2];
    }
    node.minimum = static_cast<int32_t>(IntegerAt(json, kMinKey, INT32_MIN, INT32_MAX, low, here));
    node.maximum = static_cast<int32_t>(IntegerAt(json, kMaxKey, INT32_MIN, INT32_MAX, high, here));
  }

  void ReadBitfield(const JsonFields& json, NodeDef& node, const ErrorPlace& here) {
    // The codec reads a whole byte as a signed 8-bit number: an 8-bit field
    // is a "signed short" or "unsigned short", not a bitfield.
    if (const element* width = json.Find(kWidthKey); width && IsNumber(*width) && NumberOf(*width) == 8)
      Throw(here, "a bitfield is 1 to 7 bits; a whole byte is a \"signed short\" or \"unsigned short\"");
    node.width = static_cast<uint8_t>(IntegerAt(json, kWidthKey, 1, 7, 0, here));
    if (node.width == 0) Throw(here, "a bitfield needs \"width\"");
    node.hasBit = json.Has(kBitKey);
    node.bit = static_cast<uint8_t>(IntegerAt(json, kBitKey, 0, 7, 0, here));
    if (node.bit + node.width > 8) Throw(here, "\"bit\" + \"width\" must stay within the byte");
    ReadScaling(json, node, 0, (int64_t{1} << node.width) - 1, here);
  }

  void ReadEnum(const JsonFields& json, NodeDef& node, const ErrorPlace& here) {
    node.enumSet = static_cast<int32_t>(IntegerAt(json, kEnumKey, 1, INT32_MAX, 0, here));
    auto set = data_.enumSets.find(node.enumSet);
    if (set == data_.enumSets.end()) Throw(here, "\"enum\" names no enumeration set of this file");
    int32_t low = 0, high = 0;
    if (!set->second.empty()) {
      auto [lo, hi] = std::minmax_element(set->second.begin(), set->second.end(),
                                          [](auto& a, auto& b) { return a.value < b.value; });
      low = lo->value;
      high = hi->value;
    }
    node.minimum = static_cast<int32_t>(IntegerAt(json, kMinKey, INT32_MIN, INT32_MAX, low, here));
    node.maximum = static_cast<int32_t>(IntegerAt(json, kMaxKey, INT32_MIN, INT32_MAX, high, here));
  }

  void ReadFloatLimits(const JsonFields& json, NodeDef& node, double largest, const ErrorPlace& here) {
    node.floatMin = -largest;
    node.floatMax = largest;
    for (auto [key, place] : {std::pair{kMinKey, &node.floatMin}, std::pair{kMaxKey, &node.floatMax}}) {
      const element* value = json.Find(key);
      if (!value) continue;
      if (!IsNumber(*value) || std::isnan(NumberOf(*value))) Throw(here, Quoted(json.Key(key), " must be a number"));
      *place = NumberOf(*value);
    }
  }

  void ReadArray(const JsonFields& json, NodeDef& node, int depth, const ErrorPlace& here) {
    node.count = static_cast<uint16_t>(IntegerAt(json, kCountKey, 1, UINT16_MAX, 0, here));
    if (node.count == 0) Throw(here, "an array needs \"count\"");
    const element* found = json.Find(kElementKey);
    if (!found) Throw(here, "an array needs \"element\"");
    node.element = std::make_unique<NodeDef>(ReadNode(*found, depth + 1, here.Below("[]", "")));
  }

  void ReadMembers(const JsonFields& json, NodeDef& node, int depth, const ErrorPlace& here) {
    const element* members = json.Find(kMembersKey);
    if (!members || !IsArray(*members)) Throw(here, "\"members\" must be a list");
    const simdjson::dom::array list = ArrayOf(*members);
    if (list.size() > UINT16_MAX) Throw(here, "too many members");
    node.members.reserve(list.size());
    for (const element member : list) node.members.push_back(ReadNode(member, depth + 1, here));
  }

  // Offsets and sizes, bottom-up; references to types of this file take
  // their size from the referenced type.
  void LayOutType(TypeDef& type, const ErrorPlace& where) {
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

  void LayOut(NodeDef& node, const ErrorPlace& where) {
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

  uint32_t LayOutMembers(NodeDef& node, const ErrorPlace& where, uint64_t& expanded) {
    uint32_t next = 0, end = 0;
    int bitByte = -1, bitNext = 0;
    for (NodeDef& member : node.members) {
      const ErrorPlace named = where.Below(".", member.name);
      const ErrorPlace& here = member.name.empty() ? where : named;
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

  uint32_t ReferencedSize(const NodeDef& node, const ErrorPlace& where) {
    auto it = data_.nvtByIndex.find(node.refIndex);
    if (node.refScope != data_.set.scope || it == data_.nvtByIndex.end())
      Throw(where, "a reference to a type of another set must state \"size\"");
    TypeDef& target = data_.nvts[it->second];
    LayOutType(target, kNvtsPlace.Below(" ", target.name));
    return target.root.size;
  }

  // A reference that states its size must state that of the type it refers
  // to, or the referenced fields would lie outside it. Checked once every
  // type is laid out, so that references in cycles are compared too; types
  // of other sets are compared when a tree is loaded.
  void CheckStatedSizes(const NodeDef& node, const ErrorPlace& where) {
    if (node.kind == kReference && node.hasSize && node.refScope == data_.set.scope) {
      auto it = data_.nvtByIndex.find(node.refIndex);
      if (it != data_.nvtByIndex.end() && data_.nvts[it->second].root.size != node.size) {
        const TypeDef& target = data_.nvts[it->second];
        Throw(where, "\"size\" " + std::to_string(node.size) + " disagrees with " + target.name + " (" +
                         std::to_string(target.root.size) + " bytes), the type it refers to");
      }
    }
    for (const NodeDef& member : node.members) {
      const ErrorPlace named = where.Below(".", member.name);
      CheckStatedSizes(member, member.name.empty() ? where : named);
    }
    if (node.element) CheckStatedSizes(*node.element, where.Below("[]", ""));
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

namespace {

// Parses text, which is followed by at least SIMDJSON_PADDING readable
// bytes (simdjson reads whole blocks past the end of the text).
bool ParsePadded(simdjson::padded_string_view text, TypeFileData& out, std::string& error) {
  simdjson::dom::parser parser(kMaxResourceFileBytes);
  simdjson::error_code failure = parser.allocate(std::max<size_t>(text.size(), 1), kMaxJsonDepth);
  element root;
  if (!failure) failure = parser.parse(text).get(root);
  if (failure == simdjson::DEPTH_ERROR) {
    error = "not valid JSON: objects and lists nest deeper than " + std::to_string(kMaxJsonDepth) + " levels";
    return false;
  }
  if (failure) {
    error = std::string("not valid JSON: ") + simdjson::error_message(failure);
    return false;
  }
  try {
    out = TypeFileData{};
    Reader(out).ReadDocument(root);
    return true;
  } catch (const ParseError& e) {
    error = e.message;
  }
  return false;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

bool ParseTypeFile(std::string_view text, TypeFileData& out, std::string& error) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  const simdjson::padded_string padded(text);
  return ParsePadded(padded, out, error);
}

bool ParseTypeFile(const std::string& text, TypeFileData& out, std::string& error) {
  // A text read by ReadWholeFile has room for the padding: no copy.
  if (text.capacity() - text.size() < simdjson::SIMDJSON_PADDING) return ParseTypeFile(std::string_view(text), out, error);
  const size_t skipped = std::string_view(text).starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  return ParsePadded(simdjson::padded_string_view(text.data() + skipped, text.size() - skipped,
                                                  text.capacity() - skipped),
                     out, error);
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
  // Zeros after the text leave room for a parser that reads whole blocks
  // past its end (ParseTypeFile parses in place).
  text.assign(static_cast<size_t>(size) + simdjson::SIMDJSON_PADDING, '\0');
  in.read(text.data(), static_cast<std::streamsize>(size));
  text.resize(static_cast<size_t>(in.gcount()));
  return true;
}

}  // namespace vornfmt::ldrf
