#include "typetree/type_tree_item.h"

#include <atomic>

#include "format/alternate_fmt.h"
#include "typetree/library_access.h"

namespace vornfmt {

CTypeTreeItem::~CTypeTreeItem() {
  subfields.clear();
  FreeTree();
}

std::u16string CTypeTreeItem::GetName() const { return IsWholeTree() ? typeName : PathName(); }

LdrfHandle CTypeTreeItem::SelectNode() {
  ResourceGuard guard(ResourceLock());
  if (Lib().LdrfScanTypeTree(treeHandle, nullptr, nullptr) != LDRF_OK) {
    FreeTree();
    if (!Reopen() || Lib().LdrfScanTypeTree(treeHandle, nullptr, nullptr) != LDRF_OK) return 0;
  }
  const LdrfResult r = Lib().LdrfReadTypeTreeNode(treeHandle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                  nullptr, nullptr, nullptr, nullptr, nullptr);
  return TreeCallSucceeded(r) ? treeHandle : 0;
}

CTypeTreeItemBase* CTypeTreeItem::GetSubfield(int16_t sub) {
  if (sub == -1) return this;
  if (sub < -1 || sub >= GetSubfieldCount()) return nullptr;
  return subfields[static_cast<size_t>(sub)];
}

void CTypeTreeItem::DropNameIndex() const {
  nameIndex_.clear();
  nameIndexBuilt_ = false;
}

int16_t CTypeTreeItem::FindSubIndexByName(std::u16string_view wanted) const {
  if (!nameIndexBuilt_) {
    const int16_t count = GetSubfieldCount();
    nameIndex_.reserve(static_cast<size_t>(count));
    for (int16_t i = 0; i < count; ++i) nameIndex_.try_emplace(subfields[static_cast<size_t>(i)]->GetName(), i);
    nameIndexBuilt_ = true;
  }
  const auto found = nameIndex_.find(wanted);
  return found == nameIndex_.end() ? int16_t{-1} : found->second;
}

CTypeTreeItemBase* CTypeTreeItem::FindItemByName(std::u16string_view wanted) {
  if (wanted == typeName) return this;
  const int16_t sub = FindSubIndexByName(wanted);
  return sub == -1 ? nullptr : GetSubfield(sub);
}

const CAlternateFmt* CTypeTreeItem::ChooseFormat() {
  if (catalogEpoch_ != CatalogEpoch()) ForgetClosedCatalog();
  if (!format && formatFile) format = formatFile->SelectFormat(typeName, measurementSystem);
  return format;
}

CTypeFile* CTypeTreeItem::GetTypeFile() const { return catalogEpoch_ == CatalogEpoch() ? typeFile : nullptr; }

bool CTypeTreeItem::HoldsOpenTree() const { return treeHandle != 0 && catalogEpoch_ == CatalogEpoch(); }

void CTypeTreeItem::ForgetClosedCatalog() {
  // The library keeps the tree after its catalog closes; it is let go too,
  // so that loading the same type again opens it in the open catalog.
  FreeTree();
  formatFile = nullptr;
  typeFile = nullptr;
  catalogEpoch_ = CatalogEpoch();
}

void CTypeTreeItem::SetMeasurementSystem(std::u16string_view system) {
  measurementSystem = system;
  format = nullptr;
  GetFormat();
}

std::u16string CTypeTreeItem::GetMeasurementSystem() {
  const CAlternateFmt* current = GetFormat();
  return current ? current->MeasurementSystem() : std::u16string();
}

void CTypeTreeItem::FreeTree() {
  format = nullptr;
  if (treeHandle == 0) return;
  ResourceGuard guard(ResourceLock());
  Lib().LdrfFreeTypeTree(treeHandle);
  SetTreeHandle(0);
}

void CTypeTreeItem::SetTreeHandle(LdrfHandle tree) {
  static std::atomic<uint64_t> openings{0};
  treeHandle = tree;
  openingStamp_ = openings.fetch_add(1, std::memory_order_relaxed) + 1;
}

bool CTypeTreeItem::Reopen() {
  FormatterEngine& engine = TheEngine();
  catalogEpoch_ = CatalogEpoch();
  formatFile = engine.FindFormatFile(pid, selector);
  typeFile = engine.FindTypeFile(pid, selector);
  if (!typeFile || !typeFile->Open()) return false;
  return OpenTypeTree();
}

bool CTypeTreeItem::OpenTypeTree() {
  LdrfHandle tree = 0;
  LdrfResult r;
  if (typeIndex > 0) {
    r = typeFile->GetTypeByIndex(isNetworkVariable != 0, typeIndex, tree);
  } else {
    typeIndex = 0;
    const bool nvt = typeName.find(u"SNVT") != std::u16string::npos || typeName.find(u"UNVT") != std::u16string::npos;
    const bool cpt = typeName.find(u"SCPT") != std::u16string::npos || typeName.find(u"UCPT") != std::u16string::npos;
    if (nvt) isNetworkVariable = 1;
    else if (cpt) isNetworkVariable = 0;
    uint16_t index = 0;
    r = typeFile->GetTypeByName(isNetworkVariable != 0, typeName, index, tree);
    if (r == LDRF_OK) typeIndex = index;
  }
  SetTreeHandle(r == LDRF_OK ? tree : 0);
  return r == LDRF_OK;
}

}  // namespace vornfmt
