#include "catalog/type_file.h"

#include "catalog/resource_lock.h"
#include "catalog/text_buffer.h"

namespace vornfmt {

CTypeFile::CTypeFile(const LdrfApi& library, std::u16string path, uint16_t catalogTag)
    : path_(std::move(path)), catalogTag_(catalogTag), library_(&library) {}

CTypeFile::~CTypeFile() {
  if (open_) Close();
}

bool CTypeFile::Open() {
  if (open_) return true;
  ResourceGuard guard(ResourceLock());
  auto narrow = Narrow(path_);
  open_ = library_->LdrfOpenFile(narrow ? narrow->c_str() : nullptr, LDRF_KIND_TYPE_FILE, catalogTag_, nullptr,
                                 &handle_) == LDRF_OK;
  return open_;
}

void CTypeFile::Close() {
  if (open_) {
    ResourceGuard guard(ResourceLock());
    library_->LdrfCloseFile(handle_);
  }
  open_ = false;
}

uint16_t CTypeFile::TypesCount() {
  ResourceGuard guard(ResourceLock());
  if (!open_ && !Open()) return 0;
  uint16_t count = 0;
  library_->LdrfGetTypeFileInfo(handle_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr);
  return count;
}

LdrfResult CTypeFile::GetTypeByIndex(bool isNetworkVariable, uint16_t index, LdrfHandle& tree) {
  ResourceGuard guard(ResourceLock());
  if (isNetworkVariable) return library_->LdrfGetNVT(handle_, index, &tree);
  return library_->LdrfGetCPT(handle_, index, &tree, nullptr, nullptr, nullptr, nullptr, nullptr);
}

LdrfResult CTypeFile::GetTypeByName(bool isNetworkVariable, std::u16string_view name, uint16_t& index,
                                    LdrfHandle& tree) {
  ResourceGuard guard(ResourceLock());
  auto narrow = Narrow(name);
  const char* text = narrow ? narrow->c_str() : nullptr;
  if (isNetworkVariable) return library_->LdrfGetNVTByName(handle_, text, &index, &tree);
  return library_->LdrfGetCPTByName(handle_, text, &index, &tree, nullptr, nullptr, nullptr, nullptr, nullptr);
}

std::u16string CTypeFile::GetEnumMemberName(int32_t value, int32_t set) {
  ResourceGuard guard(ResourceLock());
  if (library_->LdrfSelectEnumSet(handle_, set, nullptr, nullptr, nullptr, nullptr) != LDRF_OK) return {};
  TextBuffer name;
  if (library_->LdrfGetEnumMember(handle_, value, name.data, &name.length, nullptr, nullptr) == LDRF_OK)
    return name.Widen();
  uint16_t count = 0;
  if (library_->LdrfGetEnumMemberCount(handle_, &count) != LDRF_OK) return {};
  TextBuffer last;
  if (library_->LdrfGetEnumMemberByIndex(handle_, count, nullptr, last.data, &last.length, nullptr, nullptr) !=
      LDRF_OK)
    return {};
  return last.Widen();
}

bool CTypeFile::SelectSetAndCount(int32_t set, uint16_t& count) {
  return library_->LdrfSelectEnumSet(handle_, set, nullptr, nullptr, nullptr, nullptr) == LDRF_OK &&
         library_->LdrfGetEnumMemberCount(handle_, &count) == LDRF_OK;
}

void CTypeFile::GetEnumMembers(int32_t set, std::vector<std::u16string>& names) {
  ResourceGuard guard(ResourceLock());
  uint16_t count = 0;
  if (!SelectSetAndCount(set, count)) return;
  for (uint32_t index = 1; index <= count; ++index) {
    TextBuffer name;
    library_->LdrfGetEnumMemberByIndex(handle_, static_cast<uint16_t>(index), nullptr, name.data, &name.length,
                                       nullptr, nullptr);
    names.push_back(name.Widen());
  }
}

bool CTypeFile::FindEnumValue(std::u16string_view name, int32_t set, int32_t& value) {
  ResourceGuard guard(ResourceLock());
  uint16_t count = 0;
  if (!SelectSetAndCount(set, count)) return false;
  for (uint32_t index = 1; index <= count; ++index) {
    TextBuffer member;
    LdrfResult r = library_->LdrfGetEnumMemberByIndex(handle_, static_cast<uint16_t>(index), &value, member.data,
                                                      &member.length, nullptr, nullptr);
    if (member.Widen() == name) return r == LDRF_OK;
  }
  return false;
}

namespace {

// The type's name as its tree's root node gives it, or empty.
std::u16string RootName(const LdrfApi& library, LdrfHandle tree) {
  TextBuffer name;
  library.LdrfScanTypeTree(tree, nullptr, nullptr);
  int32_t kind = 0;
  if (!TreeCallSucceeded(library.LdrfReadTypeTreeNode(tree, &kind, nullptr, nullptr, name.data, &name.length,
                                                      nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)))
    return {};
  return name.Widen();
}

}  // namespace

std::vector<TypeListing> CTypeFile::ListTypes() {
  std::vector<TypeListing> types;
  ResourceGuard guard(ResourceLock());
  if (!Open()) return types;
  for (bool networkVariable : {true, false}) {
    for (uint32_t index = 1; index <= UINT16_MAX; ++index) {
      LdrfHandle tree = 0;
      if (GetTypeByIndex(networkVariable, static_cast<uint16_t>(index), tree) != LDRF_OK) continue;
      types.push_back({networkVariable, static_cast<uint16_t>(index), RootName(*library_, tree)});
      library_->LdrfFreeTypeTree(tree);
    }
  }
  return types;
}

}  // namespace vornfmt
