#include "tests/typetree/tree_library.h"

#include "format/fmt_file_factory.h"
#include "platform/code_page.h"

namespace vornfmt::test {
namespace {

LdrfResult Read(LdrfHandle tree, int32_t* kind, uint16_t* offset, uint16_t* size, char* name, uint32_t* length,
                uint8_t* ns, uint32_t* ni, uint8_t* cs, uint32_t* ci, uint8_t* us, uint32_t* ui) {
  const LdrfResult r = ::LdrfReadTypeTreeNode(tree, kind, offset, size, name, length, ns, ni, cs, ci, us, ui);
  return ++Script().reads == Script().readToAlter ? Script().alteredResult : r;
}

LdrfResult Find(LdrfHandle tree, int32_t mode, const char* name) {
  ++Script().finds;
  return Script().failFinds ? LDRF_NOT_FOUND : ::LdrfFindTypeTreeNode(tree, mode, name);
}

LdrfResult Scan(LdrfHandle tree, uint16_t* size, int32_t* peek) {
  ++Script().scans;
  return Script().failScans ? LDRF_BAD_HANDLE : ::LdrfScanTypeTree(tree, size, peek);
}

LdrfResult Scalar(LdrfHandle tree, int32_t* mn, int32_t* mx, int16_t* a, int16_t* b, int16_t* c) {
  return Script().failDetails ? LDRF_WRONG_NODE_KIND : ::LdrfGetScalarDetails(tree, mn, mx, a, b, c);
}

LdrfResult Bitfield(LdrfHandle tree, uint8_t* w, uint8_t* bit, void* r, int32_t* mn, int32_t* mx, int16_t* a,
                    int16_t* b, int16_t* c) {
  return Script().failDetails ? LDRF_WRONG_NODE_KIND : ::LdrfGetBitfieldDetails(tree, w, bit, r, mn, mx, a, b, c);
}

LdrfResult Enum(LdrfHandle tree, void* r, int32_t* set, int32_t* mn, int32_t* mx) {
  return Script().failDetails ? LDRF_WRONG_NODE_KIND : ::LdrfGetEnumDetails(tree, r, set, mn, mx);
}

LdrfResult Double(LdrfHandle tree, double* mn, double* mx) {
  return Script().failDetails ? LDRF_WRONG_NODE_KIND : ::LdrfGetDoubleFloatDetails(tree, mn, mx);
}

LdrfApi ScriptedTreeLdrf() {
  Script() = TreeScript{};
  LdrfApi api;
  api.LdrfReadTypeTreeNode = Read;
  api.LdrfFindTypeTreeNode = Find;
  api.LdrfScanTypeTree = Scan;
  api.LdrfGetScalarDetails = Scalar;
  api.LdrfGetBitfieldDetails = Bitfield;
  api.LdrfGetEnumDetails = Enum;
  api.LdrfGetDoubleFloatDetails = Double;
  return api;
}

}  // namespace

TreeScript& Script() {
  static TreeScript script;
  return script;
}

std::string DataFolder(const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  return std::string(VORNFMT_TEST_DATA) + "/" + name;
}

ScriptedEngine::ScriptedEngine(const std::string& folder, bool formats)
    : library_(ScriptedTreeLdrf()), engine_(library_) {
  if (formats) engine_.SetFormatFileFactory(MakeFmtFileFactory());
  engine_.OpenCatalog(codepage::Utf8ToUtf16(DataFolder(folder)));
  previous_ = InstallEngine(&engine_);
}

ScriptedEngine::~ScriptedEngine() { InstallEngine(previous_); }

}  // namespace vornfmt::test
