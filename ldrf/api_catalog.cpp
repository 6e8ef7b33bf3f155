// Catalog functions of the library.
#include <cstring>

#include "ldrf/language_keys.h"
#include "ldrf/library_objects.h"

namespace vornfmt::ldrf {

// Never destroyed: hosts may close catalogs from their own static destructors.
Library& TheLibrary() {
  static Library* library = new Library;
  return *library;
}

}  // namespace vornfmt::ldrf

using namespace vornfmt::ldrf;

extern "C" LdrfResult LdrfOpenCatalog(const char* folder, int32_t mode, LdrfHandle* catalog) {
  std::lock_guard guard(LibraryMutex());
  if (!folder || !catalog || mode != 1) return Fail(LDRF_BAD_PARAMETER, "LdrfOpenCatalog: bad arguments");
  auto index = std::make_shared<CatalogIndex>();
  std::string error;
  if (!index->Build(folder, error)) return Fail(LDRF_CANNOT_READ, error);
  TheLibrary().indexByFolder[folder] = index;
  *catalog = TheLibrary().catalogs.Add(std::make_shared<OpenCatalogObject>(OpenCatalogObject{index}));
  return LDRF_OK;
}

extern "C" LdrfResult LdrfGetCatalogInfo(LdrfHandle catalog, void*, void*, void*, void*, void*,
                                         uint16_t* formatFileCount) {
  std::lock_guard guard(LibraryMutex());
  OpenCatalogObject* object = TheLibrary().catalogs.Find(catalog);
  if (!object) return Fail(LDRF_BAD_HANDLE, "LdrfGetCatalogInfo: the catalog is not open");
  if (!formatFileCount) return Fail(LDRF_BAD_PARAMETER, "LdrfGetCatalogInfo: no count place");
  *formatFileCount = static_cast<uint16_t>(object->index->formatFiles().size());
  return LDRF_OK;
}

extern "C" LdrfResult LdrfCatalogGetFile(LdrfHandle catalog, int32_t kind, uint16_t index, void*, void*,
                                         void*, void*, void*, void*, char* path, uint32_t* pathLength) {
  std::lock_guard guard(LibraryMutex());
  OpenCatalogObject* object = TheLibrary().catalogs.Find(catalog);
  if (!object) return Fail(LDRF_BAD_HANDLE, "LdrfCatalogGetFile: the catalog is not open");
  if (kind != LDRF_KIND_FORMAT_FILE) return Fail(LDRF_BAD_PARAMETER, "LdrfCatalogGetFile: only format files are listed");
  const auto& files = object->index->formatFiles();
  if (index < 1 || index > files.size()) return Fail(LDRF_NOT_FOUND, "LdrfCatalogGetFile: no such format file");
  return CopyText(files[index - 1]->formatPath, path, pathLength);
}

extern "C" LdrfResult LdrfSearchCatalog(LdrfHandle catalog, const uint8_t programId[8], uint16_t selector,
                                        int32_t kind, uint32_t languageKey, char* path,
                                        uint32_t* pathLength, uint16_t* catalogTag, void*) {
  std::lock_guard guard(LibraryMutex());
  OpenCatalogObject* object = TheLibrary().catalogs.Find(catalog);
  if (!object) return Fail(LDRF_BAD_HANDLE, "LdrfSearchCatalog: the catalog is not open");
  if (!programId || (kind != LDRF_KIND_TYPE_FILE && kind != LDRF_KIND_FORMAT_FILE))
    return Fail(LDRF_BAD_PARAMETER, "LdrfSearchCatalog: bad arguments");
  if (!IsKnownLanguageKey(languageKey)) return Fail(LDRF_UNKNOWN_LANGUAGE, "LdrfSearchCatalog: unknown language key");
  ProgramId id;
  std::memcpy(id.data(), programId, id.size());
  const ResourceSet* set = object->index->Search(id, selector);
  const std::string* found = nullptr;
  if (set) found = kind == LDRF_KIND_TYPE_FILE ? &set->typePath : &set->formatPath;
  if (!found || found->empty()) return Fail(LDRF_NOT_FOUND, "LdrfSearchCatalog: no set for that program ID and scope");
  if (catalogTag) *catalogTag = set->tag;
  return CopyText(*found, path, pathLength);
}

extern "C" LdrfResult LdrfCloseCatalog(LdrfHandle catalog) {
  std::lock_guard guard(LibraryMutex());
  if (!TheLibrary().catalogs.Remove(catalog)) return Fail(LDRF_BAD_HANDLE, "LdrfCloseCatalog: the catalog is not open");
  return LDRF_OK;
}

extern "C" LdrfResult LdrfCatalogGetSkipped(LdrfHandle catalog, uint16_t index, char* text, uint32_t* textLength) {
  std::lock_guard guard(LibraryMutex());
  OpenCatalogObject* object = TheLibrary().catalogs.Find(catalog);
  if (!object) return Fail(LDRF_BAD_HANDLE, "LdrfCatalogGetSkipped: the catalog is not open");
  const auto& skipped = object->index->skipped();
  if (index < 1 || index > skipped.size()) return Fail(LDRF_NOT_FOUND, "LdrfCatalogGetSkipped: no such file");
  return CopyText(skipped[index - 1], text, textLength);
}
