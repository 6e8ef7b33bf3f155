// Type-file functions of the library: opening, counting, type trees by index
// or name, and enumeration sets.
#include "ldrf/library_objects.h"
#include "ldrf/type_file_reader.h"

using namespace vornfmt::ldrf;

namespace {

// The parsed data of a type file: from a catalog already read when the path
// and tag name one of its sets, else read from the path.
std::shared_ptr<const TypeFileData> DataForPath(const std::string& path, uint16_t tag, std::string& error) {
  for (const auto& [folder, index] : TheLibrary().indexByFolder)
    for (const ResourceSet& set : index->sets())
      if (set.tag == tag && set.typePath == path) return set.data;
  std::string text;
  auto data = std::make_shared<TypeFileData>();
  if (!ReadWholeFile(path, text, error) || !ParseTypeFile(text, *data, error)) return nullptr;
  return data;
}

LdrfResult OpenTree(LdrfHandle file, bool networkVariable, const uint16_t* index, const char* name,
                    uint16_t* indexOut, LdrfHandle* tree) {
  std::lock_guard guard(LibraryMutex());
  OpenTypeFileObject* object = TheLibrary().files.Find(file);
  if (!object) return Fail(LDRF_BAD_HANDLE, "the type file is not open");
  if (!tree || (!index && !name)) return Fail(LDRF_BAD_PARAMETER, "no type or no tree place");
  const TypeFileData& data = *object->data;
  const auto& table = networkVariable ? data.nvts : data.cpts;
  size_t position = 0;
  if (index) {
    const auto& byIndex = networkVariable ? data.nvtByIndex : data.cptByIndex;
    auto it = byIndex.find(*index);
    if (it == byIndex.end()) return Fail(LDRF_NOT_FOUND, "no type of index " + std::to_string(*index));
    position = it->second;
  } else {
    const auto& byName = networkVariable ? data.nvtByName : data.cptByName;
    auto it = byName.find(name);
    if (it == byName.end()) return Fail(LDRF_NOT_FOUND, std::string("no type named ") + name);
    position = it->second;
  }
  const TypeDef& type = table[position];
  auto& cached = object->trees[{networkVariable, type.index}];
  if (!cached) cached = std::make_shared<ExpandedTree>(type);
  if (indexOut) *indexOut = type.index;
  *tree = TheLibrary().trees.Add(std::make_shared<TreeCursorObject>(TreeCursorObject{object->data, cached}));
  return LDRF_OK;
}

// The selected enumeration set of an open file, or a failure result.
LdrfResult SelectedSet(LdrfHandle file, const std::vector<EnumMember>*& members) {
  OpenTypeFileObject* object = TheLibrary().files.Find(file);
  if (!object) return Fail(LDRF_BAD_HANDLE, "the type file is not open");
  if (!object->selectedSet) return Fail(LDRF_OUT_OF_SEQUENCE, "no enumeration set is selected");
  members = object->selectedSet;
  return LDRF_OK;
}

}  // namespace

extern "C" LdrfResult LdrfOpenFile(const char* path, int32_t kind, uint16_t catalogTag, void*, LdrfHandle* file) {
  std::lock_guard guard(LibraryMutex());
  if (!path || !file || kind != LDRF_KIND_TYPE_FILE) return Fail(LDRF_BAD_PARAMETER, "LdrfOpenFile: bad arguments");
  std::string error;
  auto data = DataForPath(path, catalogTag, error);
  if (!data) return Fail(LDRF_MALFORMED, error);
  auto object = std::make_shared<OpenTypeFileObject>();
  object->data = std::move(data);
  *file = TheLibrary().files.Add(std::move(object));
  return LDRF_OK;
}

extern "C" LdrfResult LdrfCloseFile(LdrfHandle file) {
  std::lock_guard guard(LibraryMutex());
  if (!TheLibrary().files.Remove(file)) return Fail(LDRF_BAD_HANDLE, "LdrfCloseFile: the file is not open");
  return LDRF_OK;
}

extern "C" LdrfResult LdrfGetTypeFileInfo(LdrfHandle file, void*, void*, void*, void*, void*, void*, void*,
                                          void*, void*, void*, void*, void*, void*, void*, uint16_t* typeCount,
                                          void*, void*) {
  std::lock_guard guard(LibraryMutex());
  OpenTypeFileObject* object = TheLibrary().files.Find(file);
  if (!object) return Fail(LDRF_BAD_HANDLE, "LdrfGetTypeFileInfo: the file is not open");
  if (!typeCount) return Fail(LDRF_BAD_PARAMETER, "LdrfGetTypeFileInfo: no count place");
  size_t count = object->data->nvts.size() + object->data->cpts.size();
  *typeCount = static_cast<uint16_t>(std::min<size_t>(count, UINT16_MAX));
  return LDRF_OK;
}

extern "C" LdrfResult LdrfGetNVT(LdrfHandle file, uint16_t index, LdrfHandle* tree) {
  return OpenTree(file, true, &index, nullptr, nullptr, tree);
}

extern "C" LdrfResult LdrfGetCPT(LdrfHandle file, uint16_t index, LdrfHandle* tree, void*, void*, void*, void*,
                                 void*) {
  return OpenTree(file, false, &index, nullptr, nullptr, tree);
}

extern "C" LdrfResult LdrfGetNVTByName(LdrfHandle file, const char* name, uint16_t* index, LdrfHandle* tree) {
  if (!name) return Fail(LDRF_BAD_PARAMETER, "LdrfGetNVTByName: no name");
  return OpenTree(file, true, nullptr, name, index, tree);
}

extern "C" LdrfResult LdrfGetCPTByName(LdrfHandle file, const char* name, uint16_t* index, LdrfHandle* tree,
                                       void*, void*, void*, void*, void*) {
  if (!name) return Fail(LDRF_BAD_PARAMETER, "LdrfGetCPTByName: no name");
  return OpenTree(file, false, nullptr, name, index, tree);
}

extern "C" LdrfResult LdrfSelectEnumSet(LdrfHandle file, int32_t set, void*, void*, void*, void*) {
  std::lock_guard guard(LibraryMutex());
  OpenTypeFileObject* object = TheLibrary().files.Find(file);
  if (!object) return Fail(LDRF_BAD_HANDLE, "LdrfSelectEnumSet: the file is not open");
  auto it = object->data->enumSets.find(set);
  if (it == object->data->enumSets.end()) {
    object->selectedSet = nullptr;
    return Fail(LDRF_NOT_FOUND, "no enumeration set " + std::to_string(set));
  }
  object->selectedSet = &it->second;
  return LDRF_OK;
}

extern "C" LdrfResult LdrfGetEnumMemberCount(LdrfHandle file, uint16_t* count) {
  std::lock_guard guard(LibraryMutex());
  const std::vector<EnumMember>* members = nullptr;
  if (LdrfResult r = SelectedSet(file, members); r != LDRF_OK) return r;
  if (!count) return Fail(LDRF_BAD_PARAMETER, "LdrfGetEnumMemberCount: no count place");
  *count = static_cast<uint16_t>(members->size());
  return LDRF_OK;
}

extern "C" LdrfResult LdrfGetEnumMember(LdrfHandle file, int32_t value, char* name, uint32_t* nameLength, void*,
                                        void*) {
  std::lock_guard guard(LibraryMutex());
  const std::vector<EnumMember>* members = nullptr;
  if (LdrfResult r = SelectedSet(file, members); r != LDRF_OK) return r;
  for (const EnumMember& member : *members)
    if (member.value == value) return CopyText(member.name, name, nameLength);
  return Fail(LDRF_NOT_FOUND, "no member of value " + std::to_string(value));
}

extern "C" LdrfResult LdrfGetEnumMemberByIndex(LdrfHandle file, uint16_t index, int32_t* value, char* name,
                                               uint32_t* nameLength, void*, void*) {
  std::lock_guard guard(LibraryMutex());
  const std::vector<EnumMember>* members = nullptr;
  if (LdrfResult r = SelectedSet(file, members); r != LDRF_OK) return r;
  if (index < 1 || index > members->size()) return Fail(LDRF_NOT_FOUND, "no member of index " + std::to_string(index));
  const EnumMember& member = (*members)[index - 1];
  if (value) *value = member.value;
  return CopyText(member.name, name, nameLength);
}
