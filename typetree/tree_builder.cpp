#include "typetree/tree_builder.h"

#include <cstring>

#include "catalog/text_buffer.h"
#include "typetree/leaf_facts.h"
#include "typetree/library_access.h"

namespace vornfmt {
namespace {

// Splits "NAME#SYSTEM" at the first '#'.
void SplitMeasurementSystem(std::u16string_view text, std::u16string_view& name, std::u16string_view& system,
                            bool& hasSystem) {
  const size_t hash = text.find(u'#');
  hasSystem = hash != std::u16string_view::npos;
  name = text.substr(0, hash);
  system = hasSystem ? text.substr(hash + 1) : std::u16string_view();
}

uint16_t MemberCount(CTypeTreeItemBase& node, LdrfHandle tree) {
  uint16_t count = 0;
  if (node.kind == kKindArray) Lib().LdrfGetArrayDetails(tree, 1, &count);
  else Lib().LdrfGetStructUnionDetails(tree, &count);
  return count;
}

// Members are added before they are read, so that a member's path name is
// known while it is read (a reference reports problems under it).
LdrfResult ReadMembers(CTypeTreeItemBase& node, LdrfHandle tree, LdrfResult r) {
  for (uint16_t count = MemberCount(node, tree); count > 0 && r == LDRF_MORE; --count) {
    if (!node.owner || !node.owner->ChargeNode()) break;
    r = ReadNode(node.AddChild(std::make_unique<CTypeTreeItemBase>(node.owner)), tree);
  }
  return r;
}

std::u16string DecimalText(uint32_t n) {
  const std::string digits = std::to_string(n);
  return {digits.begin(), digits.end()};
}

}  // namespace

// Reference loads are counted on the root of the whole tree, which owns
// every node while the tree is built.
void ReadReference(CTypeTreeItemBase& node, LdrfHandle tree);

bool CTypeTreeItem::LoadByName(std::u16string_view text, std::u16string_view newPid, int16_t newSelector) {
  BeginLoad();
  if (text.empty()) return false;
  std::u16string_view wanted, system;
  bool hasSystem = false;
  SplitMeasurementSystem(text, wanted, system, hasSystem);
  if (hasSystem) SetMeasurementSystem(system);
  if (wanted.empty()) return false;
  const uint16_t sel = static_cast<uint16_t>(newSelector);
  const bool unchanged = wanted == typeName && newPid == pid && sel == selector && HoldsOpenTree();
  if (!unchanged) {
    FreeTree();
    typeName = wanted;
    typeIndex = 0;
    pid = newPid;
    selector = sel;
    if (!Reopen()) return false;
  }
  BuildTree();
  return FinishLoad();
}

bool CTypeTreeItem::LoadByIndex(int16_t index, bool nvt, std::u16string_view newPid, int16_t newSelector) {
  BeginLoad();
  const uint16_t wantedIndex = static_cast<uint16_t>(index);
  if (wantedIndex == 0) return false;  // index 0 means a look-up by name
  const uint16_t sel = static_cast<uint16_t>(newSelector);
  const int32_t flag = nvt ? 1 : 0;
  const bool unchanged = wantedIndex == typeIndex && newPid == pid && sel == selector &&
                         flag == isNetworkVariable && HoldsOpenTree();
  if (!unchanged) {
    FreeTree();
    isNetworkVariable = flag;
    typeIndex = wantedIndex;
    pid = newPid;
    selector = sel;
    typeName.clear();
    if (!Reopen()) return false;
  }
  BuildTree();
  return FinishLoad();
}

void CTypeTreeItem::BeginLoad() {
  if (!IsWholeTree() || activeReferenceLoads_ > 0) return;  // a nested load, or a root reference followed
  builtNodes_ = 1;
  overBudget_ = false;
  loadProblem_.clear();
}

bool CTypeTreeItem::ChargeNode() {
  if (builtNodes_ >= kMaxTreeNodes) {
    overBudget_ = true;
    return false;
  }
  ++builtNodes_;
  return true;
}

void CTypeTreeItem::NoteProblem(std::u16string problem) {
  if (loadProblem_.empty()) loadProblem_ = std::move(problem);
}

bool CTypeTreeItem::FinishLoad() {
  if (!IsWholeTree() || !overBudget_) return true;
  ClearTree();
  kind = kKindUnknown;
  loadProblem_ = (typeName.empty() ? name : typeName) + u": the type and its references expand to more than " +
                 DecimalText(kMaxTreeNodes) + u" nodes";
  return false;
}

void CTypeTreeItem::Discard() {
  FreeTree();
  ClearTree();
  kind = kKindUnknown;
  size = 0;
  typeIndex = 0;
  typeName.clear();
}

bool CTypeTreeItem::TakesStatedSize(uint16_t stated, const std::u16string& where) {
  if (kind == kKindUnknown || size == stated) return true;
  owner->NoteProblem(where + u": the reference states " + DecimalText(stated) + u" bytes; " + typeName + u" takes " +
                     DecimalText(size));
  return false;
}

void CTypeTreeItem::ClearTree() {
  facts.reset();
  resolvedItems.reset();
  subfields.clear();
  DropNameIndex();
  ClearChildren();
}

void CTypeTreeItem::BuildTree() {
  const LdrfHandle tree = treeHandle;
  if (tree == 0) return;
  ResourceGuard guard(ResourceLock());
  ClearTree();
  int32_t peek = 0;
  Lib().LdrfScanTypeTree(tree, &size, &peek);
  if (peek != 0) {
    TextBuffer rootName;
    Lib().LdrfReadTypeTreeNode(tree, &kind, nullptr, nullptr, rootName.data, &rootName.length, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr);
    if (kind == kKindReference) {
      FollowRootReference(tree, rootName.Widen());
      return;
    }
    Lib().LdrfScanTypeTree(tree, nullptr, nullptr);
  }
  ReadNode(*this, tree);
  Flatten(*this, *this);
  typeName = name;
  name.clear();
}

void CTypeTreeItem::FollowRootReference(LdrfHandle tree, const std::u16string& referringName) {
  uint8_t scope = 0;
  uint32_t index = 0;
  Lib().LdrfGetReferenceDetails(tree, &scope, &index);
  FormatFileBase* referringFormats = formatFile;
  CTypeTreeItem& root = owner ? *owner : *this;
  if (root.activeReferenceLoads_ >= kMaxReferenceDepth || root.referenceLoads_ >= kMaxReferenceLoads) {
    kind = kKindUnknown;  // a cycle: loads as an empty item
  } else {
    const uint16_t stated = size;
    ++root.activeReferenceLoads_;
    ++root.referenceLoads_;
    LoadByIndex(static_cast<int16_t>(index), true, pid, scope);
    --root.activeReferenceLoads_;
    if (!TakesStatedSize(stated, referringName)) Discard();
  }
  formatFile = referringFormats;
  typeName = referringName;
  name.clear();
}

// The referenced type is followed only when it takes the size the reference
// states: otherwise its fields would lie outside the reference, over its
// neighbours or beyond the raw data. A refused one is left empty, as a failed
// look-up is, and the whole tree's root notes why.
void ReadReference(CTypeTreeItemBase& node, LdrfHandle tree) {
  CTypeTreeItem* root = node.owner;
  if (!root || !root->ChargeNode()) return;
  auto& nested = static_cast<CTypeTreeItem&>(node.AddChild(std::make_unique<CTypeTreeItem>(root)));
  uint8_t scope = 0;
  uint32_t index = 0;
  Lib().LdrfGetReferenceDetails(tree, &scope, &index);
  if (root->activeReferenceLoads_ < kMaxReferenceDepth && root->referenceLoads_ < kMaxReferenceLoads) {
    ++root->activeReferenceLoads_;
    ++root->referenceLoads_;
    nested.LoadByIndex(static_cast<int16_t>(index), true, root->pid, scope);
    --root->activeReferenceLoads_;
    if (!nested.TakesStatedSize(node.size, node.GetName())) nested.Discard();
  }
}

LdrfResult ReadNode(CTypeTreeItemBase& node, LdrfHandle tree) {
  ResourceGuard guard(ResourceLock());
  TextBuffer text;
  const LdrfResult r = Lib().LdrfReadTypeTreeNode(
      tree, &node.kind, &node.byteOffset, &node.size, text.data, &text.length, &node.nameRef.scope,
      &node.nameRef.index, &node.commentRef.scope, &node.commentRef.index, &node.unitsRef.scope,
      &node.unitsRef.index);
  node.name = text.Widen();
  node.narrowName.assign(text.data, strnlen(text.data, sizeof text.data - 1));
  node.hasNarrowName = true;
  if (!TreeCallSucceeded(r)) return r;  // keeps what was read, gets no members
  // Members and elements follow their node in this scan, so they are read
  // only while the library announces more nodes. A referenced type is a tree
  // of its own: it is followed also when the reference is the scan's last node.
  switch (node.kind) {
    case kKindStruct:
    case kKindUnion:
    case kKindArray: return ReadMembers(node, tree, r);
    case kKindReference: ReadReference(node, tree); return r;
    default: return r;
  }
}

void Flatten(CTypeTreeItemBase& node, CTypeTreeItem& root) {
  root.DropNameIndex();
  for (const auto& child : node.Children()) {
    child->owner = &root;
    if (IsLeafKind(child->kind)) root.subfields.push_back(child.get());
    Flatten(*child, root);
  }
}

}  // namespace vornfmt
