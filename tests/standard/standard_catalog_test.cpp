// The embedded default catalog (resources/catalog) against the dataset it was
// converted from. tests/data/standard-layout.txt is written by
// tools/extract_standard_layout.py straight from the dataset; this test walks
// every type of the catalog through the resource-file library and compares.
// The mapping rules the converter applies (resources/catalog/README.md,
// section 3) are restated here on the dataset's values, independently of the
// converter: ExpectedKind, ExpectedLimits and ExpectedEnumSet.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ldrf/ldrf.h"

namespace {

constexpr uint32_t kEnglish = 0x656E7500;
constexpr int32_t kChar = 1, kUnsignedChar = 2, kSignedShort = 3, kUnsignedShort = 4, kSignedLong = 5, kUnsignedLong = 6,
                  kEnum = 7, kArray = 8, kStruct = 9, kUnion = 10, kBitfield = 11, kFloat = 12,
                  kSignedQuad = 13, kReference = 14, kDoubleFloat = 16;
constexpr int32_t kForeignEnumBase = 1000;  // README 3.9

const std::string kCatalogFolder = std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog";
const std::string kLayoutFile = std::string(VORNFMT_SOURCE_DIR) + "/tests/data/standard-layout.txt";

const uint8_t kStandardPid[8] = {0, 0, 0, 0, 0, 0, 0, 0};
const uint8_t kIotPid[8] = {0x90, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00};

std::string LastError() {
  char text[512] = {};
  uint32_t length = sizeof text;
  LdrfLastErrorText(text, &length);
  return std::string(text, length < sizeof text ? length : sizeof text - 1);
}

// ---------------------------------------------------------------------------
// The expectation file.

struct ExpectedLeaf {
  std::string path;
  unsigned offset = 0, size = 0;
  std::string title, units, kind;
  std::vector<std::string> details;
};

struct ExpectedType {
  std::string set, category, name, kind, base, title, units;
  unsigned index = 0;
  int size = -1;  // -1: a type-inheriting property (no size in the dataset)
  std::vector<ExpectedLeaf> leaves;
  bool IsNvt() const { return category == "SNVT" || category == "UNVT"; }
};

struct ExpectedEnum {
  std::string set, name;
  int32_t index = 0;
  std::vector<std::pair<int32_t, std::string>> members;
};

struct Layout {
  std::vector<ExpectedType> types;
  std::vector<ExpectedEnum> enums;
  std::string error;
};

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    out.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return out;
    start = tab + 1;
  }
}

Layout LoadLayout() {
  Layout layout;
  std::ifstream in(kLayoutFile);
  if (!in) {
    layout.error = "cannot read " + kLayoutFile;
    return layout;
  }
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f = SplitTabs(line);
    if (f[0] == "type" && f.size() == 10) {
      layout.types.push_back({f[1], f[2], f[4], f[5], f[7], f[8], f[9], static_cast<unsigned>(std::stoul(f[3])),
                              f[6] == "-" ? -1 : std::stoi(f[6]), {}});
    } else if (f[0] == "leaf" && f.size() >= 7 && !layout.types.empty()) {
      layout.types.back().leaves.push_back({f[1] == "-" ? "" : f[1], static_cast<unsigned>(std::stoul(f[2])),
                                            static_cast<unsigned>(std::stoul(f[3])), f[4], f[5], f[6],
                                            std::vector<std::string>(f.begin() + 7, f.end())});
    } else if (f[0] == "enum" && f.size() == 5) {
      layout.enums.push_back({f[1], f[3], std::stoi(f[2]), {}});
    } else if (f[0] == "member" && f.size() == 3 && !layout.enums.empty()) {
      layout.enums.back().members.emplace_back(std::stoi(f[1]), f[2]);
    } else {
      layout.error = kLayoutFile + ":" + std::to_string(number) + ": unexpected record";
      return layout;
    }
  }
  return layout;
}

// ---------------------------------------------------------------------------
// Walking a type's tree through the library.

struct NodeInfo {
  int32_t kind = 0;
  uint16_t offset = 0, size = 0;
  std::string name;
  uint8_t nameScope = 0, commentScope = 0, unitsScope = 0;
  uint32_t nameIndex = 0, commentIndex = 0, unitsIndex = 0;
};

struct WalkedNode {
  std::string path;       // as the formatter names it: arrays add nothing, elements NAME[i]
  unsigned offset = 0;    // absolute from the start of the walked type
  int fileScope = 0;      // the set whose file the node was read from
  bool leaf = false;
  NodeInfo node;
  NodeInfo text;          // the node carrying the field's texts (the reference for a referenced root)
  uint16_t count = 0;     // members or elements
  uint8_t refScope = 0;
  uint32_t refIndex = 0;
  int32_t min = 0, max = 0;
  int16_t a = 0, b = 0, c = 0;
  uint8_t width = 0, bit = 0;
  double fmin = 0, fmax = 0;
  int32_t enumSet = 0;
};

struct WalkedType {
  NodeInfo root;
  uint16_t rootSize = 0;
  std::vector<WalkedNode> nodes;  // every node, pre-order, references followed
  std::string error;
  std::vector<const WalkedNode*> Leaves() const {
    std::vector<const WalkedNode*> out;
    for (const WalkedNode& n : nodes)
      if (n.leaf) out.push_back(&n);
    return out;
  }
};

class Catalog {
 public:
  LdrfHandle catalog = 0, standard = 0, iot = 0, strings = 0;
  std::string error;

  bool Open() {
    if (LdrfOpenCatalog(kCatalogFolder.c_str(), 1, &catalog) != LDRF_OK)
      return Fail("LdrfOpenCatalog(" + kCatalogFolder + "): " + LastError());
    if (!OpenSet(kStandardPid, 0, standard) || !OpenSet(kIotPid, 1, iot)) return false;
    if (LdrfStartStringService(kEnglish, kCatalogFolder.c_str(), &strings) != LDRF_OK)
      return Fail("LdrfStartStringService: " + LastError());
    return true;
  }

  void Close() {
    if (strings) LdrfStopStringService(&strings);
    if (standard) LdrfCloseFile(standard);
    if (iot) LdrfCloseFile(iot);
    if (catalog) LdrfCloseCatalog(catalog);
    strings = standard = iot = catalog = 0;
  }

  LdrfHandle FileOfScope(int scope) const { return scope == 0 ? standard : scope == 1 ? iot : 0; }
  const uint8_t* PidOfScope(int scope) const { return scope == 0 ? kStandardPid : kIotPid; }

  // The text of a language-string reference, or "" for none; `ok` false on failure.
  std::string Text(int typeScope, uint8_t scope, uint32_t index, bool& ok) const {
    ok = true;
    if (index == 0) return "";
    char text[260] = {};
    uint32_t length = sizeof text;
    if (LdrfStringServiceRequest(strings, PidOfScope(typeScope), scope, index, text, &length) != LDRF_OK) {
      ok = false;
      return "";
    }
    return std::string(text, length);
  }

  bool Walk(LdrfHandle tree, int scope, WalkedType& out) const {
    int32_t peek = 0;
    if (LdrfScanTypeTree(tree, &out.rootSize, &peek) != LDRF_OK) {
      out.error = "LdrfScanTypeTree: " + LastError();
      return false;
    }
    LdrfResult r = ReadNode(tree, scope, "", 0, true, nullptr, 0, out);
    if (!out.error.empty()) return false;
    if (r != LDRF_OK) {
      out.error = "the scan did not end after the type's last node";
      return false;
    }
    if (!out.nodes.empty()) out.root = out.nodes.front().node;
    return true;
  }

 private:
  bool Fail(const std::string& message) {
    error = message;
    return false;
  }

  bool OpenSet(const uint8_t pid[8], uint16_t selector, LdrfHandle& file) {
    char path[1024] = {};
    uint32_t length = sizeof path;
    uint16_t tag = 0;
    if (LdrfSearchCatalog(catalog, pid, selector, LDRF_KIND_TYPE_FILE, kEnglish, path, &length, &tag, nullptr) !=
        LDRF_OK)
      return Fail("LdrfSearchCatalog(selector " + std::to_string(selector) + "): " + LastError());
    if (LdrfOpenFile(path, LDRF_KIND_TYPE_FILE, tag, nullptr, &file) != LDRF_OK)
      return Fail(std::string("LdrfOpenFile(") + path + "): " + LastError());
    return true;
  }

  static std::string Join(const std::string& parent, const std::string& name) {
    if (parent.empty()) return name;
    if (name.empty()) return parent;
    return parent + "." + name;
  }

  LdrfResult ReadNode(LdrfHandle tree, int scope, const std::string& parentPath, unsigned base, bool root,
                      const NodeInfo* referrer, int depth, WalkedType& out) const {
    if (depth > 40) {
      out.error = "references nest deeper than 40 levels at " + parentPath;
      return LDRF_MALFORMED;
    }
    NodeInfo n;
    char name[260] = {};
    uint32_t length = sizeof name;
    LdrfResult r = LdrfReadTypeTreeNode(tree, &n.kind, &n.offset, &n.size, name, &length, &n.nameScope,
                                        &n.nameIndex, &n.commentScope, &n.commentIndex, &n.unitsScope,
                                        &n.unitsIndex);
    if (r != LDRF_OK && r != LDRF_MORE) {
      out.error = "LdrfReadTypeTreeNode below '" + parentPath + "': " + LastError();
      return r;
    }
    n.name.assign(name, length < sizeof name ? length : 0);
    WalkedNode w;
    w.path = root || n.kind == kArray ? parentPath : Join(parentPath, n.name);
    w.offset = base + n.offset;
    w.fileScope = scope;
    w.node = n;
    w.text = root && referrer ? *referrer : n;
    w.leaf = n.kind != kArray && n.kind != kStruct && n.kind != kUnion && n.kind != kReference;
    LdrfResult d = LDRF_OK;
    switch (n.kind) {
      case kStruct:
      case kUnion:
        d = LdrfGetStructUnionDetails(tree, &w.count);
        break;
      case kArray:
        d = LdrfGetArrayDetails(tree, 1, &w.count);
        break;
      case kReference:
        d = LdrfGetReferenceDetails(tree, &w.refScope, &w.refIndex);
        break;
      case kBitfield:
        d = LdrfGetBitfieldDetails(tree, &w.width, &w.bit, nullptr, &w.min, &w.max, &w.a, &w.b, &w.c);
        break;
      case kFloat: {
        float lo = 0, hi = 0;
        d = LdrfGetFloatDetails(tree, &lo, &hi);
        w.fmin = lo;
        w.fmax = hi;
        break;
      }
      case kDoubleFloat:
        d = LdrfGetDoubleFloatDetails(tree, &w.fmin, &w.fmax);
        break;
      case kEnum:
        d = LdrfGetEnumDetails(tree, nullptr, &w.enumSet, &w.min, &w.max);
        break;
      default:
        d = LdrfGetScalarDetails(tree, &w.min, &w.max, &w.a, &w.b, &w.c);
        break;
    }
    if (d != LDRF_OK && d != LDRF_MORE) {
      out.error = "detail call for '" + w.path + "' (kind " + std::to_string(n.kind) + "): " + LastError();
      return d;
    }
    out.nodes.push_back(w);
    if (n.kind == kStruct || n.kind == kUnion || n.kind == kArray) {
      for (uint16_t i = 0; i < w.count; ++i) {
        if (r != LDRF_MORE) {
          out.error = "the scan ended inside '" + w.path + "'";
          return r;
        }
        r = ReadNode(tree, scope, w.path, base, false, nullptr, depth, out);
        if (!out.error.empty()) return r;
      }
    } else if (n.kind == kReference) {
      LdrfHandle file = FileOfScope(w.refScope);
      LdrfHandle sub = 0;
      if (!file || LdrfGetNVT(file, static_cast<uint16_t>(w.refIndex), &sub) != LDRF_OK) {
        out.error = "'" + w.path + "' refers to scope " + std::to_string(w.refScope) + " index " +
                    std::to_string(w.refIndex) + ", which does not open: " + LastError();
        return LDRF_NOT_FOUND;
      }
      uint16_t subSize = 0;
      int32_t peek = 0;
      LdrfResult s = LdrfScanTypeTree(sub, &subSize, &peek);
      if (s == LDRF_OK && subSize != n.size) {
        out.error = "'" + w.path + "' states size " + std::to_string(n.size) + " but its type has " +
                    std::to_string(subSize);
      } else if (s != LDRF_OK) {
        out.error = "LdrfScanTypeTree of the type referred to by '" + w.path + "': " + LastError();
      } else {
        NodeInfo self = n;
        s = ReadNode(sub, w.refScope, w.path, w.offset, true, &self, depth + 1, out);
        if (out.error.empty() && s != LDRF_OK)
          out.error = "the type referred to by '" + w.path + "' has nodes after its last one";
      }
      LdrfFreeTypeTree(sub);
    }
    return r;
  }
};

// ---------------------------------------------------------------------------
// The converter's mapping rules, restated on the dataset's values.

struct Range {
  int64_t lo, hi;
};

Range KindRange(int32_t kind) {
  switch (kind) {
    case kChar:
    case kSignedShort: return {-128, 127};
    case kUnsignedChar:
    case kUnsignedShort: return {0, 255};
    case kSignedLong: return {-32768, 32767};
    case kUnsignedLong: return {0, 65535};
    default: return {INT32_MIN, INT32_MAX};
  }
}

// README 3.2, 3.3: the kind of a dataset scalar.
int32_t ExpectedScalarKind(const std::string& sign, unsigned size, const std::string& text) {
  if (text == "char") return kChar;
  if (size == 1) return sign == "s" ? kSignedShort : kUnsignedShort;
  if (size == 2) return sign == "s" ? kSignedLong : kUnsignedLong;
  return kSignedQuad;  // 4 bytes, signed or not
}

int64_t Num(const std::string& s) { return std::strtoll(s.c_str(), nullptr, 10); }

// README 3.2, 3.3, 3.5: the raw limits of a dataset scalar.
Range ExpectedScalarLimits(const ExpectedLeaf& l, int32_t kind) {
  const auto& d = l.details;  // sign text a b c min max
  Range natural = KindRange(kind);
  Range r{d[5] == "-" ? natural.lo : Num(d[5]), d[6] == "-" ? natural.hi : Num(d[6])};
  if (d[2] == "1" && d[3] == "-1" && d[4] == "-2740") r = natural;  // SNVT_temp: published range
  if (d[0] == "u" && l.size == 4 && r.hi > INT32_MAX) r.hi = INT32_MAX;
  if (d[1] == "char" && r.lo > 0) r.lo = 0;
  return r;
}

// README 3.6: 0..1 on a multi-bit bitfield becomes its whole range.
Range ExpectedBitfieldLimits(const ExpectedLeaf& l) {
  int width = std::stoi(l.details[1]);
  Range r{Num(l.details[2]), Num(l.details[3])};
  if (width > 1 && r.lo == 0 && r.hi == 1) r.hi = (1 << width) - 1;
  return r;
}

class StandardCatalogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    layout_ = new Layout(LoadLayout());
    catalog_ = new Catalog;
    catalogOpen_ = catalog_->Open();
  }
  static void TearDownTestSuite() {
    catalog_->Close();
    delete catalog_;
    delete layout_;
    catalog_ = nullptr;
    layout_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(layout_->error.empty()) << layout_->error;
    ASSERT_GT(layout_->types.size(), 0u);
    ASSERT_TRUE(catalogOpen_) << catalog_->error;
  }

  static int ScopeOf(const std::string& set) { return set == "standard" ? 0 : 1; }

  static const ExpectedEnum* FindEnum(const std::string& set, const std::string& name) {
    for (const ExpectedEnum& e : layout_->enums)
      if (e.set == set && e.name == name) return &e;
    return nullptr;
  }

  static const ExpectedType* FindType(const std::string& name) {
    for (const ExpectedType& t : layout_->types)
      if (t.name == name) return &t;
    return nullptr;
  }

  // README 3.9: the set number of an enumeration as seen from a set's file.
  static int32_t ExpectedEnumSet(int fileScope, const std::string& name, const ExpectedEnum** found) {
    const std::string set = fileScope == 0 ? "standard" : "iot";
    if (const ExpectedEnum* own = FindEnum(set, name)) {
      *found = own;
      return own->index;
    }
    const ExpectedEnum* standard = FindEnum("standard", name);
    *found = standard;
    return standard ? kForeignEnumBase + standard->index : -1;
  }

  static bool OpenType(const ExpectedType& t, LdrfHandle& tree, std::string& error) {
    LdrfHandle file = catalog_->FileOfScope(ScopeOf(t.set));
    LdrfResult r = t.IsNvt() ? LdrfGetNVT(file, static_cast<uint16_t>(t.index), &tree)
                             : LdrfGetCPT(file, static_cast<uint16_t>(t.index), &tree, nullptr, nullptr, nullptr,
                                          nullptr, nullptr);
    if (r != LDRF_OK) error = "cannot open " + t.name + ": " + LastError();
    return r == LDRF_OK;
  }

  // Compares one walked type with its expectation; answers the differences.
  static std::vector<std::string> Compare(const ExpectedType& t, const WalkedType& w) {
    std::vector<std::string> diffs;
    auto diff = [&](const std::string& where, const std::string& what) {
      diffs.push_back(t.name + (where.empty() ? "" : " '" + where + "'") + ": " + what);
    };
    const int scope = ScopeOf(t.set);
    // The type itself.
    if (t.kind == "inherited") {
      if (w.root.kind != kSignedQuad || w.rootSize != 4) diff("", "a type-inheriting property must be a 4-byte signed quad");
    } else if (static_cast<int>(w.rootSize) != t.size) {
      diff("", "size " + std::to_string(w.rootSize) + ", expected " + std::to_string(t.size));
    }
    const int32_t rootKind = t.kind == "struct"      ? kStruct
                             : t.kind == "union"     ? kUnion
                             : t.kind == "reference" ? kReference
                                                     : w.root.kind;  // a single value: its leaf is checked
    if (w.root.kind != rootKind) diff("", "root kind " + std::to_string(w.root.kind) + ", expected " + t.kind);
    if (w.root.name != t.name) diff("", "root node named '" + w.root.name + "'");
    bool ok = true;
    if (t.kind == "reference") {
      // The referred type's root follows the reference, with that type's own name and texts.
      const ExpectedType* base = FindType(t.base);
      const WalkedNode* r = w.nodes.size() > 1 ? &w.nodes[1] : nullptr;
      std::string bt, bu;
      if (r) {
        bt = catalog_->Text(r->fileScope, r->node.nameScope, r->node.nameIndex, ok);
        if (ok) bu = catalog_->Text(r->fileScope, r->node.unitsScope, r->node.unitsIndex, ok);
      }
      if (!base || !r || !ok || r->node.name != t.base || bt != base->title || bu != base->units)
        diff("", "refers to '" + (r ? r->node.name : "") + "' ('" + bt + "', '" + bu + "'), expected " + t.base);
    }
    std::string title = catalog_->Text(scope, w.root.nameScope, w.root.nameIndex, ok);
    if (!ok || title != t.title) diff("", "title '" + title + "', expected '" + t.title + "'");
    std::string units = catalog_->Text(scope, w.root.unitsScope, w.root.unitsIndex, ok);
    if (!ok || units != t.units) diff("", "units '" + units + "', expected '" + t.units + "'");

    std::vector<const WalkedNode*> leaves = w.Leaves();
    std::vector<ExpectedLeaf> expected = t.leaves;
    if (t.kind == "inherited") expected.push_back({"", 0, 4, "", "", "inherited", {}});
    if (leaves.size() != expected.size()) {
      diff("", std::to_string(leaves.size()) + " leaves, expected " + std::to_string(expected.size()));
      return diffs;
    }
    for (size_t i = 0; i < leaves.size(); ++i) {
      const WalkedNode& g = *leaves[i];
      const ExpectedLeaf& e = expected[i];
      const std::string where = e.path.empty() ? "(the value)" : e.path;
      if (g.path != e.path) diff(where, "leaf " + std::to_string(i) + " is named '" + g.path + "'");
      if (g.offset != e.offset) diff(where, "offset " + std::to_string(g.offset) + ", expected " + std::to_string(e.offset));
      if (g.node.size != e.size) diff(where, "size " + std::to_string(g.node.size) + ", expected " + std::to_string(e.size));
      if (!e.path.empty()) {
        std::string lt = catalog_->Text(scope, g.text.nameScope, g.text.nameIndex, ok);
        if (!ok || lt != e.title) diff(where, "title '" + lt + "', expected '" + e.title + "'");
        std::string lu = catalog_->Text(scope, g.text.unitsScope, g.text.unitsIndex, ok);
        if (!ok || lu != e.units) diff(where, "units '" + lu + "', expected '" + e.units + "'");
      }
      auto limits = [&](Range r) {
        if (g.min != r.lo || g.max != r.hi)
          diff(where, "limits " + std::to_string(g.min) + ".." + std::to_string(g.max) + ", expected " +
                          std::to_string(r.lo) + ".." + std::to_string(r.hi));
      };
      if (e.kind == "inherited") {
        if (g.node.kind != kSignedQuad) diff(where, "kind " + std::to_string(g.node.kind));
        limits(KindRange(kSignedQuad));
        if (g.a != 1 || g.b != 0 || g.c != 0) diff(where, "scaled");
      } else if (e.kind == "scalar") {
        int32_t kind = ExpectedScalarKind(e.details[0], e.size, e.details[1]);
        if (kind == kChar && e.details[6] != "-" && Num(e.details[6]) > 127) kind = kUnsignedChar;  // README 3.3
        if (g.node.kind != kind) {
          diff(where, "kind " + std::to_string(g.node.kind) + ", expected " + std::to_string(kind));
          continue;
        }
        if (g.a != Num(e.details[2]) || g.b != Num(e.details[3]) || g.c != Num(e.details[4]))
          diff(where, "scaling " + std::to_string(g.a) + "," + std::to_string(g.b) + "," + std::to_string(g.c));
        limits(ExpectedScalarLimits(e, kind));
      } else if (e.kind == "bitfield") {
        const bool wholeByte = e.details[1] == "8";  // README 3.6: an unsigned short
        if (g.node.kind != (wholeByte ? kUnsignedShort : kBitfield)) {
          diff(where, "kind " + std::to_string(g.node.kind) + ", expected " + (wholeByte ? "unsigned short" : "a bitfield"));
          continue;
        }
        if (!wholeByte && (g.bit != Num(e.details[0]) || g.width != Num(e.details[1])))
          diff(where, "bit " + std::to_string(g.bit) + " width " + std::to_string(g.width));
        if (g.a != 1 || g.b != 0 || g.c != 0) diff(where, "scaled");
        limits(ExpectedBitfieldLimits(e));
      } else if (e.kind == "float") {
        const bool single = e.details[0] == "single";
        if (g.node.kind != (single ? kFloat : kDoubleFloat)) {
          diff(where, "kind " + std::to_string(g.node.kind) + ", expected " + (single ? "float" : "double float"));
          continue;
        }
        double lo = std::strtod(e.details[1].c_str(), nullptr), hi = std::strtod(e.details[2].c_str(), nullptr);
        if (single ? (static_cast<float>(g.fmin) != static_cast<float>(lo) || static_cast<float>(g.fmax) != static_cast<float>(hi))
                   : (g.fmin != lo || g.fmax != hi))
          diff(where, "float limits differ");
      } else if (e.kind == "enum") {
        if (g.node.kind != kEnum) {
          diff(where, "kind " + std::to_string(g.node.kind) + ", expected an enumeration");
          continue;
        }
        const ExpectedEnum* en = nullptr;
        int32_t set = ExpectedEnumSet(g.fileScope, e.details[0], &en);
        if (!en) {
          diff(where, "the expectation names the unknown enumeration " + e.details[0]);
          continue;
        }
        if (g.enumSet != set) diff(where, "enumeration set " + std::to_string(g.enumSet) + ", expected " + std::to_string(set));
        int64_t lo = INT32_MAX, hi = INT32_MIN;
        for (const auto& m : en->members) {
          lo = std::min<int64_t>(lo, m.first);
          hi = std::max<int64_t>(hi, m.first);
        }
        if (e.details[1] != "-") lo = Num(e.details[1]);
        if (e.details[2] != "-") hi = Num(e.details[2]);
        limits({lo, hi});
      } else {
        diff(where, "unknown expectation kind " + e.kind);
      }
    }
    return diffs;
  }

  // Walks one type; the walk's error or an empty one.
  static WalkedType WalkType(const ExpectedType& t) {
    WalkedType w;
    LdrfHandle tree = 0;
    if (OpenType(t, tree, w.error)) {
      catalog_->Walk(tree, ScopeOf(t.set), w);
      LdrfFreeTypeTree(tree);
    }
    return w;
  }
  static WalkedType WalkByName(const std::string& name) {
    const ExpectedType* t = FindType(name);
    WalkedType w;
    w.error = "no type " + name;
    return t ? WalkType(*t) : w;
  }

  static const WalkedNode* Find(const WalkedType& w, const std::string& path, int32_t kind) {
    for (const WalkedNode& n : w.nodes)
      if (n.path == path && n.node.kind == kind) return &n;
    return nullptr;
  }

  static std::string TitleOf(const WalkedNode& n) {
    bool ok = true;
    return catalog_->Text(0, n.text.nameScope, n.text.nameIndex, ok);
  }
  static std::string UnitsOf(const WalkedNode& n) {
    bool ok = true;
    return catalog_->Text(0, n.text.unitsScope, n.text.unitsIndex, ok);
  }

  static Layout* layout_;
  static Catalog* catalog_;
  static bool catalogOpen_;
};

Layout* StandardCatalogTest::layout_ = nullptr;
Catalog* StandardCatalogTest::catalog_ = nullptr;
bool StandardCatalogTest::catalogOpen_ = false;

// ---------------------------------------------------------------------------

TEST_F(StandardCatalogTest, ExpectationFileCoversTheWholeDataset) {
  std::map<std::string, int> count;
  for (const ExpectedType& t : layout_->types) ++count[t.set + " " + t.category];
  EXPECT_EQ(count["standard SNVT"], 210);
  EXPECT_EQ(count["standard SCPT"], 380);
  EXPECT_EQ(count["iot UNVT"], 7);
  EXPECT_EQ(count["iot UCPT"], 17);
  int standardEnums = 0, members = 0;
  for (const ExpectedEnum& e : layout_->enums) {
    if (e.set == "standard") {
      ++standardEnums;
      members += static_cast<int>(e.members.size());
    }
  }
  EXPECT_EQ(standardEnums, 86);
  EXPECT_EQ(members, 1150);
}

TEST_F(StandardCatalogTest, EachSetFileHoldsAllItsTypes) {
  uint16_t standardCount = 0, iotCount = 0;
  auto info = [](LdrfHandle file, uint16_t* count) {
    return LdrfGetTypeFileInfo(file, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr, count, nullptr, nullptr);
  };
  ASSERT_EQ(info(catalog_->standard, &standardCount), LDRF_OK) << LastError();
  ASSERT_EQ(info(catalog_->iot, &iotCount), LDRF_OK) << LastError();
  EXPECT_EQ(standardCount, 590);
  EXPECT_EQ(iotCount, 24);
}

TEST_F(StandardCatalogTest, EveryTypeHasTheDatasetLayout) {
  int compared = 0, failedTypes = 0;
  std::vector<std::string> report;
  for (const ExpectedType& t : layout_->types) {
    const WalkedType w = WalkType(t);
    std::vector<std::string> diffs =
        w.error.empty() ? Compare(t, w) : std::vector<std::string>{t.name + ": " + w.error};
    // The type is found by name at the same index.
    LdrfHandle byName = 0;
    uint16_t index = 0;
    LdrfHandle file = catalog_->FileOfScope(ScopeOf(t.set));
    LdrfResult r = t.IsNvt() ? LdrfGetNVTByName(file, t.name.c_str(), &index, &byName)
                             : LdrfGetCPTByName(file, t.name.c_str(), &index, &byName, nullptr, nullptr, nullptr,
                                                nullptr, nullptr);
    if (r != LDRF_OK || index != t.index) diffs.push_back(t.name + ": not found by name at index " + std::to_string(t.index));
    if (r == LDRF_OK) LdrfFreeTypeTree(byName);
    ++compared;
    if (!diffs.empty()) {
      ++failedTypes;
      for (size_t i = 0; i < diffs.size() && report.size() < 60; ++i) report.push_back(diffs[i]);
    }
  }
  EXPECT_EQ(compared, 614);
  std::ostringstream text;
  for (const std::string& line : report) text << "  " << line << "\n";
  EXPECT_EQ(failedTypes, 0) << "types that differ from the dataset (first differences):\n" << text.str();
}

TEST_F(StandardCatalogTest, EveryEnumerationHasTheDatasetMembersInOrder) {
  auto check = [](LdrfHandle file, int32_t set, const ExpectedEnum& e, const std::string& label) {
    ASSERT_EQ(LdrfSelectEnumSet(file, set, nullptr, nullptr, nullptr, nullptr), LDRF_OK) << label << ": " << LastError();
    uint16_t count = 0;
    ASSERT_EQ(LdrfGetEnumMemberCount(file, &count), LDRF_OK) << label;
    ASSERT_EQ(count, e.members.size()) << label;
    for (uint16_t i = 1; i <= count; ++i) {
      int32_t value = 0;
      char name[260] = {};
      uint32_t length = sizeof name;
      ASSERT_EQ(LdrfGetEnumMemberByIndex(file, i, &value, name, &length, nullptr, nullptr), LDRF_OK) << label;
      EXPECT_EQ(value, e.members[i - 1].first) << label << " member " << i;
      EXPECT_EQ(std::string(name, length), e.members[i - 1].second) << label << " member " << i;
    }
  };
  int sets = 0;
  for (const ExpectedEnum& e : layout_->enums) {
    check(catalog_->FileOfScope(ScopeOf(e.set)), e.index, e, e.set + " " + e.name);
    ++sets;
  }
  EXPECT_EQ(sets, 98);
  // The standard enumerations that the iot file's own nodes use are copied
  // into it (enumerations met through references to standard types are read
  // from the standard file and need no copy).
  std::set<std::string> copied;
  for (const ExpectedType& t : layout_->types) {
    if (t.set != "iot") continue;
    const WalkedType w = WalkType(t);
    ASSERT_TRUE(w.error.empty()) << t.name << ": " << w.error;
    std::vector<const WalkedNode*> leaves = w.Leaves();
    ASSERT_EQ(leaves.size(), t.leaves.size()) << t.name;
    for (size_t i = 0; i < leaves.size(); ++i)
      if (t.leaves[i].kind == "enum" && leaves[i]->fileScope == 1 && !FindEnum("iot", t.leaves[i].details[0]))
        copied.insert(t.leaves[i].details[0]);
  }
  EXPECT_EQ(copied, (std::set<std::string>{"alarm_type_t", "boolean_t", "char_encoding_t"}));
  for (const std::string& name : copied) {
    const ExpectedEnum* standard = FindEnum("standard", name);
    ASSERT_NE(standard, nullptr) << name;
    check(catalog_->iot, kForeignEnumBase + standard->index, *standard, "iot copy of " + name);
  }
}

// ---------------------------------------------------------------------------
// Nodes the leaf comparison does not see, read off the dataset by hand.

TEST_F(StandardCatalogTest, ContainerFieldsKeepTheirOwnNameTextsAndPlace) {
  WalkedType alarm = WalkByName("SNVT_alarm_2");
  ASSERT_TRUE(alarm.error.empty()) << alarm.error;
  const WalkedNode* description = Find(alarm, "", kArray);  // arrays add nothing to the path
  ASSERT_NE(description, nullptr);
  EXPECT_EQ(description->node.name, "description");
  EXPECT_EQ(description->offset, 9u);
  EXPECT_EQ(description->node.size, 22);
  EXPECT_EQ(TitleOf(*description), "Description");
  EXPECT_EQ(UnitsOf(*description), "array of 22 characters");

  WalkedType sw = WalkByName("SNVT_switch_2");
  ASSERT_TRUE(sw.error.empty()) << sw.error;
  const WalkedNode* setting = Find(sw, "setting", kUnion);
  ASSERT_NE(setting, nullptr);
  EXPECT_EQ(setting->offset, 1u);
  EXPECT_EQ(setting->node.size, 1);
  EXPECT_EQ(TitleOf(*setting), "Switch setting");
}

// A field typed by another type refers to it; the iot set refers to standard types.
TEST_F(StandardCatalogTest, FieldReferencesNameTheirType) {
  const struct {
    const char* type;
    const char* field;
    const char* referred;  // in the standard set
  } rows[] = {{"SNVT_switch_2", "setting.multiplier", "SNVT_multiplier_s"},
              {"SNVT_pump_sensor", "body_temperature", "SNVT_temp"},
              {"UNVT_iot_load_control", "color", "SNVT_color_2"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.type);
    WalkedType w = WalkByName(row.type);
    ASSERT_TRUE(w.error.empty()) << w.error;
    const WalkedNode* ref = Find(w, row.field, kReference);
    ASSERT_NE(ref, nullptr);
    EXPECT_EQ(ref->refScope, 0);
    const WalkedNode& root = *(ref + 1);  // the walk reads the referred root next
    EXPECT_EQ(root.node.name, row.referred);
    EXPECT_EQ(root.fileScope, 0);
  }
}

}  // namespace
