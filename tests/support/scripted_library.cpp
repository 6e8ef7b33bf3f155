#include "tests/support/scripted_library.h"

namespace vornfmt::test {
namespace {

Script& S() { return TheScript(); }

LdrfResult OpenFile(const char* path, int32_t kind, uint16_t tag, void* reserved, LdrfHandle* file) {
  ++S().openFileCalls;
  return ::LdrfOpenFile(path, kind, tag, reserved, file);
}

LdrfResult CatalogGetFile(LdrfHandle catalog, int32_t kind, uint16_t index, void* r1, void* r2, void* r3, void* r4,
                          void* r5, void* r6, char* path, uint32_t* length) {
  ++S().catalogGetFileCalls;
  return ::LdrfCatalogGetFile(catalog, kind, S().sameFormatPathTwice ? 1 : index, r1, r2, r3, r4, r5, r6, path,
                              length);
}

LdrfResult LanguageInfo(void* r1, void* r2, uint32_t key, void* r3, void* r4, uint32_t* out, void* r5, void* r6,
                        void* r7) {
  return S().failLanguageInfo ? LDRF_NOT_FOUND : ::LdrfGetLanguageInfo(r1, r2, key, r3, r4, out, r5, r6, r7);
}

LdrfResult StopService(LdrfHandle* service) {
  const LdrfResult r = ::LdrfStopStringService(service);
  return S().failStringStop ? LDRF_BAD_HANDLE : r;
}

LdrfResult MemberCount(LdrfHandle file, uint16_t* count) {
  return S().failMemberCount ? LDRF_OUT_OF_SEQUENCE : ::LdrfGetEnumMemberCount(file, count);
}

LdrfResult EnumMember(LdrfHandle file, int32_t value, char* name, uint32_t* length, void* r1, void* r2) {
  ++S().enumMembers;
  return ::LdrfGetEnumMember(file, value, name, length, r1, r2);
}

LdrfResult Read(LdrfHandle tree, int32_t* kind, uint16_t* offset, uint16_t* size, char* name, uint32_t* length,
                uint8_t* ns, uint32_t* ni, uint8_t* cs, uint32_t* ci, uint8_t* us, uint32_t* ui) {
  const LdrfResult r = ::LdrfReadTypeTreeNode(tree, kind, offset, size, name, length, ns, ni, cs, ci, us, ui);
  return ++S().reads == S().readToAlter ? S().alteredResult : r;
}

LdrfResult Find(LdrfHandle tree, int32_t mode, const char* name) {
  ++S().finds;
  return S().failFinds ? LDRF_NOT_FOUND : ::LdrfFindTypeTreeNode(tree, mode, name);
}

LdrfResult Scan(LdrfHandle tree, uint16_t* size, int32_t* peek) {
  ++S().scans;
  return S().failScans ? LDRF_BAD_HANDLE : ::LdrfScanTypeTree(tree, size, peek);
}

LdrfResult Scalar(LdrfHandle tree, int32_t* mn, int32_t* mx, int16_t* a, int16_t* b, int16_t* c) {
  return S().failDetails ? LDRF_WRONG_NODE_KIND : ::LdrfGetScalarDetails(tree, mn, mx, a, b, c);
}

LdrfResult Bitfield(LdrfHandle tree, uint8_t* w, uint8_t* bit, void* r, int32_t* mn, int32_t* mx, int16_t* a,
                    int16_t* b, int16_t* c) {
  return S().failDetails ? LDRF_WRONG_NODE_KIND : ::LdrfGetBitfieldDetails(tree, w, bit, r, mn, mx, a, b, c);
}

LdrfResult Enum(LdrfHandle tree, void* r, int32_t* set, int32_t* mn, int32_t* mx) {
  return S().failDetails ? LDRF_WRONG_NODE_KIND : ::LdrfGetEnumDetails(tree, r, set, mn, mx);
}

LdrfResult Double(LdrfHandle tree, double* mn, double* mx) {
  return S().failDetails ? LDRF_WRONG_NODE_KIND : ::LdrfGetDoubleFloatDetails(tree, mn, mx);
}

}  // namespace

Script& TheScript() {
  static Script script;
  return script;
}

LdrfApi ScriptedLdrf() {
  TheScript() = Script{};
  LdrfApi api;
  api.LdrfOpenFile = OpenFile;
  api.LdrfCatalogGetFile = CatalogGetFile;
  api.LdrfGetLanguageInfo = LanguageInfo;
  api.LdrfStopStringService = StopService;
  api.LdrfGetEnumMemberCount = MemberCount;
  api.LdrfGetEnumMember = EnumMember;
  api.LdrfReadTypeTreeNode = Read;
  api.LdrfFindTypeTreeNode = Find;
  api.LdrfScanTypeTree = Scan;
  api.LdrfGetScalarDetails = Scalar;
  api.LdrfGetBitfieldDetails = Bitfield;
  api.LdrfGetEnumDetails = Enum;
  api.LdrfGetDoubleFloatDetails = Double;
  return api;
}

}  // namespace vornfmt::test
