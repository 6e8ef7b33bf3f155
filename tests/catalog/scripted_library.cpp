#include "tests/catalog/scripted_library.h"

namespace vornfmt::test {
namespace {

LdrfResult OpenFile(const char* path, int32_t kind, uint16_t tag, void* reserved, LdrfHandle* file) {
  ++TheScript().openFileCalls;
  return ::LdrfOpenFile(path, kind, tag, reserved, file);
}

LdrfResult CatalogGetFile(LdrfHandle catalog, int32_t kind, uint16_t index, void* r1, void* r2, void* r3, void* r4,
                          void* r5, void* r6, char* path, uint32_t* length) {
  ++TheScript().catalogGetFileCalls;
  if (TheScript().sameFormatPathTwice) index = 1;
  return ::LdrfCatalogGetFile(catalog, kind, index, r1, r2, r3, r4, r5, r6, path, length);
}

LdrfResult LanguageInfo(void* r1, void* r2, uint32_t key, void* r3, void* r4, uint32_t* out, void* r5, void* r6,
                        void* r7) {
  if (TheScript().failLanguageInfo) return LDRF_NOT_FOUND;
  return ::LdrfGetLanguageInfo(r1, r2, key, r3, r4, out, r5, r6, r7);
}

LdrfResult StopService(LdrfHandle* service) {
  LdrfResult r = ::LdrfStopStringService(service);
  return TheScript().failStringStop ? LDRF_BAD_HANDLE : r;
}

LdrfResult MemberCount(LdrfHandle file, uint16_t* count) {
  if (TheScript().failMemberCount) return LDRF_OUT_OF_SEQUENCE;
  return ::LdrfGetEnumMemberCount(file, count);
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
  return api;
}

}  // namespace vornfmt::test
