// Language keys and the string service of the library.
#include <cstring>

#include "ldrf/language_keys.h"
#include "ldrf/library_objects.h"

using namespace vornfmt::ldrf;

extern "C" LdrfResult LdrfGetLanguageKeyFromExtension(void*, const char extension[50], uint32_t* key) {
  if (!extension || !key) return Fail(LDRF_BAD_PARAMETER, "LdrfGetLanguageKeyFromExtension: bad arguments");
  std::string_view text(extension, strnlen(extension, 50));
  auto found = LanguageKeyOf(text);
  if (!found) return Fail(LDRF_UNKNOWN_LANGUAGE, "unknown language extension \"" + std::string(text) + "\"");
  *key = *found;
  return LDRF_OK;
}

extern "C" LdrfResult LdrfGetLanguageInfo(void*, void*, uint32_t key, void*, void*, uint32_t* languageKey, void*,
                                          void*, void*) {
  if (!languageKey) return Fail(LDRF_BAD_PARAMETER, "LdrfGetLanguageInfo: no key place");
  if (!IsKnownLanguageKey(key)) return Fail(LDRF_UNKNOWN_LANGUAGE, "unknown language key");
  *languageKey = key;
  return LDRF_OK;
}

extern "C" LdrfResult LdrfStartStringService(uint32_t languageKey, const char* catalogFolder, LdrfHandle* service) {
  std::lock_guard guard(LibraryMutex());
  if (!catalogFolder || !service) return Fail(LDRF_BAD_PARAMETER, "LdrfStartStringService: bad arguments");
  if (!IsKnownLanguageKey(languageKey)) return Fail(LDRF_UNKNOWN_LANGUAGE, "unknown language key");
  auto& cached = TheLibrary().indexByFolder[catalogFolder];
  if (!cached) {
    auto index = std::make_shared<CatalogIndex>();
    std::string error;
    if (!index->Build(catalogFolder, error)) {
      TheLibrary().indexByFolder.erase(catalogFolder);
      return Fail(LDRF_CANNOT_READ, error);
    }
    cached = index;
  }
  *service = TheLibrary().services.Add(std::make_shared<StringServiceObject>(StringServiceObject{languageKey, cached}));
  return LDRF_OK;
}

extern "C" LdrfResult LdrfStringServiceRequest(LdrfHandle service, const uint8_t programId[8], uint8_t scope,
                                               uint32_t index, char* text, uint32_t* textLength) {
  std::lock_guard guard(LibraryMutex());
  StringServiceObject* object = TheLibrary().services.Find(service);
  if (!object) return Fail(LDRF_BAD_HANDLE, "LdrfStringServiceRequest: the service is not started");
  if (!programId) return Fail(LDRF_BAD_PARAMETER, "LdrfStringServiceRequest: no program ID");
  ProgramId id;
  std::memcpy(id.data(), programId, id.size());
  const ResourceSet* set = object->index->Search(id, scope);
  if (!set) return Fail(LDRF_NOT_FOUND, "no set of scope " + std::to_string(scope) + " for that program ID");
  const LanguageStrings* strings = set->Language(object->languageKey);
  if (!strings) return Fail(LDRF_NOT_FOUND, set->LanguageError(object->languageKey));
  auto it = strings->find(index);
  if (it == strings->end()) return Fail(LDRF_NOT_FOUND, "no string of index " + std::to_string(index));
  return CopyText(it->second, text, textLength);
}

extern "C" LdrfResult LdrfStopStringService(LdrfHandle* service) {
  std::lock_guard guard(LibraryMutex());
  if (!service || !TheLibrary().services.Remove(*service))
    return Fail(LDRF_BAD_HANDLE, "LdrfStopStringService: the service is not started");
  *service = 0;
  return LDRF_OK;
}
