#pragma once
// A type file as read: set identity, type tables and enumeration sets. Node
// definitions keep offsets relative to their container; trees with absolute
// offsets are made from them on demand (expanded_tree.h).
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vornfmt::ldrf {

enum NodeKind : int32_t {
  kChar = 1, kUnsignedChar, kSignedShort, kUnsignedShort, kSignedLong, kUnsignedLong,
  kEnum, kArray, kStruct, kUnion, kBitfield, kFloat, kSignedQuad, kReference,
  kUnsignedQuad, kDoubleFloat
};

using ProgramId = std::array<uint8_t, 8>;

struct StringRef {
  uint8_t scope = 0;
  uint32_t index = 0;
};

struct SetIdentity {
  std::string name;
  ProgramId programId{};
  uint8_t scope = 0;
  uint16_t major = 0, minor = 0;
};

struct NodeDef {
  int32_t kind = 0;
  std::string name;            // ANSI code page
  uint16_t offset = 0;         // relative to the container
  uint16_t size = 0;
  StringRef nameRef, commentRef, unitsRef;
  int32_t minimum = 0, maximum = 0;       // raw limits; enum limits
  int16_t multiplier = 1, exponent = 0, scaleOffset = 0;
  uint8_t width = 0, bit = 0;             // bitfields
  double floatMin = 0, floatMax = 0;      // float and double float
  int32_t enumSet = 0;
  uint8_t refScope = 0;
  uint16_t refIndex = 0;
  uint16_t count = 0;                     // array elements
  std::vector<NodeDef> members;           // struct, union
  std::unique_ptr<NodeDef> element;       // array
  uint32_t expandedNodes = 1;             // this node and all below it, elements expanded
  bool hasOffset = false, hasSize = false, hasBit = false, laidOut = false;
};

struct TypeDef {
  uint16_t index = 0;
  std::string name;  // ANSI code page
  NodeDef root;
};

struct EnumMember {
  std::string name;  // ANSI code page
  int32_t value = 0;
};

struct TypeFileData {
  SetIdentity set;
  std::vector<TypeDef> nvts, cpts;
  std::map<uint16_t, size_t> nvtByIndex, cptByIndex;
  std::map<std::string, size_t> nvtByName, cptByName;
  std::map<int32_t, std::vector<EnumMember>> enumSets;
};

}  // namespace vornfmt::ldrf
