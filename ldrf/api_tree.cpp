// Type-tree cursor functions of the library.
#include "ldrf/library_objects.h"

using namespace vornfmt::ldrf;

namespace {

template <class T>
void Put(T* place, T value) {
  if (place) *place = value;
}

// The node last read by the cursor of `tree`, of one of the given kinds.
LdrfResult CurrentNode(LdrfHandle tree, std::initializer_list<int32_t> kinds, const TreeNode*& node) {
  TreeCursorObject* cursor = TheLibrary().trees.Find(tree);
  if (!cursor) return Fail(LDRF_BAD_HANDLE, "the type tree is not open");
  if (cursor->current < 0) return Fail(LDRF_OUT_OF_SEQUENCE, "no node has been read");
  node = &cursor->tree->node(static_cast<size_t>(cursor->current));
  for (int32_t kind : kinds)
    if (node->def->kind == kind) return LDRF_OK;
  return Fail(LDRF_WRONG_NODE_KIND, "the node just read is of another kind");
}

// Limits and scaling, shared by scalars and bitfields.
void PutScaling(const NodeDef& def, int32_t* minimum, int32_t* maximum, int16_t* multiplier, int16_t* exponent,
                int16_t* offset) {
  Put(minimum, def.minimum);
  Put(maximum, def.maximum);
  Put(multiplier, def.multiplier);
  Put(exponent, def.exponent);
  Put(offset, def.scaleOffset);
}

}  // namespace

extern "C" LdrfResult LdrfScanTypeTree(LdrfHandle tree, uint16_t* rootSize, int32_t* peek) {
  std::lock_guard guard(LibraryMutex());
  TreeCursorObject* cursor = TheLibrary().trees.Find(tree);
  if (!cursor) return Fail(LDRF_BAD_HANDLE, "LdrfScanTypeTree: the type tree is not open");
  cursor->current = -1;
  cursor->next = 0;
  const NodeDef& root = *cursor->tree->node(0).def;
  Put(rootSize, root.size);
  // A caller only needs to look at the root first when it is a reference.
  Put(peek, root.kind == kReference ? 1 : 0);
  return LDRF_OK;
}

extern "C" LdrfResult LdrfReadTypeTreeNode(LdrfHandle tree, int32_t* kind, uint16_t* byteOffset, uint16_t* size,
                                           char* name, uint32_t* nameLength, uint8_t* nameScope,
                                           uint32_t* nameIndex, uint8_t* commentScope, uint32_t* commentIndex,
                                           uint8_t* unitsScope, uint32_t* unitsIndex) {
  std::lock_guard guard(LibraryMutex());
  TreeCursorObject* cursor = TheLibrary().trees.Find(tree);
  if (!cursor) return Fail(LDRF_BAD_HANDLE, "LdrfReadTypeTreeNode: the type tree is not open");
  if (cursor->next >= cursor->tree->size()) return Fail(LDRF_OUT_OF_SEQUENCE, "the scan is at its end");
  cursor->current = static_cast<int64_t>(cursor->next++);
  const TreeNode& node = cursor->tree->node(static_cast<size_t>(cursor->current));
  const NodeDef& def = *node.def;
  Put(kind, def.kind);
  Put(byteOffset, node.offset);
  Put(size, def.size);
  Put(nameScope, def.nameRef.scope);
  Put(nameIndex, def.nameRef.index);
  Put(commentScope, def.commentRef.scope);
  Put(commentIndex, def.commentRef.index);
  Put(unitsScope, def.unitsRef.scope);
  Put(unitsIndex, def.unitsRef.index);
  if (name) {
    LdrfResult r = CopyText(node.name, name, nameLength);
    if (r != LDRF_OK) return r;
  }
  return cursor->next < cursor->tree->size() ? LDRF_MORE : LDRF_OK;
}

extern "C" LdrfResult LdrfFindTypeTreeNode(LdrfHandle tree, int32_t mode, const char* name) {
  std::lock_guard guard(LibraryMutex());
  TreeCursorObject* cursor = TheLibrary().trees.Find(tree);
  if (!cursor) return Fail(LDRF_BAD_HANDLE, "LdrfFindTypeTreeNode: the type tree is not open");
  if (mode != 1 || !name) return Fail(LDRF_BAD_PARAMETER, "LdrfFindTypeTreeNode: bad arguments");
  if (cursor->current < 0) return Fail(LDRF_OUT_OF_SEQUENCE, "LdrfFindTypeTreeNode: no node has been read");
  int64_t found = cursor->tree->FindFrom(static_cast<size_t>(cursor->current), name);
  if (found < 0) return Fail(LDRF_NOT_FOUND, std::string("no node named ") + name + " below the current node");
  cursor->next = static_cast<size_t>(found);
  return LDRF_OK;
}

extern "C" LdrfResult LdrfGetReferenceDetails(LdrfHandle tree, uint8_t* scope, uint32_t* typeIndex) {
  std::lock_guard guard(LibraryMutex());
  const TreeNode* node = nullptr;
  if (LdrfResult r = CurrentNode(tree, {kReference}, node); r != LDRF_OK) return r;
  Put(scope, node->def->refScope);
  Put(typeIndex, uint32_t{node->def->refIndex});
  return LDRF_OK;
}

extern "C" LdrfResult LdrfGetStructUnionDetails(LdrfHandle tree, uint16_t* memberCount) {
  std::lock_guard guard(LibraryMutex());
  const TreeNode* node = nullptr;
  if (LdrfResult r = CurrentNode(tree, {kStruct, kUnion}, node); r != LDRF_OK) return r;
  Put(memberCount, node->childCount);
  return LDRF_OK;
}

extern "C" LdrfResult LdrfGetArrayDetails(LdrfHandle tree, int32_t mode, uint16_t* elementCount) {
  std::lock_guard guard(LibraryMutex());
  if (mode != 1) return Fail(LDRF_BAD_PARAMETER, "LdrfGetArrayDetails: mode must be 1");
  const TreeNode* node = nullptr;
  if (LdrfResult r = CurrentNode(tree, {kArray}, node); r != LDRF_OK) return r;
  Put(elementCount, node->childCount);
  return LDRF_OK;
}

extern "C" LdrfResult LdrfGetBitfieldDetails(LdrfHandle tree, uint8_t* width, uint8_t* bitOffset, void*,
                                             int32_t* minimum, int32_t* maximum, int16_t* multiplier,
                                             int16_t* exponent, int16_t* offset) {
  std::lock_guard guard(LibraryMutex());
  const TreeNode* node = nullptr;
  if (LdrfResult r = CurrentNode(tree, {kBitfield}, node); r != LDRF_OK) return r;
  const NodeDef& def = *node->def;
  Put(width, def.width);
  Put(bitOffset, def.bit);
  PutScaling(def, minimum, maximum, multiplier, exponent, offset);
  return LDRF_OK;
}

extern "C" LdrfResult LdrfGetScalarDetails(LdrfHandle tree, int32_t* minimum, int32_t* maximum,
                                           int16_t* multiplier, int16_t* exponent, int16_t* offset) {
  std::lock_guard guard(LibraryMutex());
  const TreeNode* node = nullptr;
  LdrfResult r = CurrentNode(tree, {kChar, kUnsignedChar, kSignedShort, kUnsignedShort, kSignedLong,
                                    kUnsignedLong, kSignedQuad}, node);
  if (r != LDRF_OK) return r;
  PutScaling(*node->def, minimum, maximum, multiplier, exponent, offset);
  return LDRF_OK;
}

extern "C" LdrfResult LdrfGetFloatDetails(LdrfHandle tree, float* minimum, float* maximum) {
  std::lock_guard guard(LibraryMutex());
  const TreeNode* node = nullptr;
  if (LdrfResult r = CurrentNode(tree, {kFloat}, node); r != LDRF_OK) return r;
  Put(minimum, static_cast<float>(node->def->floatMin));
  Put(maximum, static_cast<float>(node->def->floatMax));
  return LDRF_OK;
}

extern "C" LdrfResult LdrfGetDoubleFloatDetails(LdrfHandle tree, double* minimum, double* maximum) {
  std::lock_guard guard(LibraryMutex());
  const TreeNode* node = nullptr;
  if (LdrfResult r = CurrentNode(tree, {kDoubleFloat}, node); r != LDRF_OK) return r;
  Put(minimum, node->def->floatMin);
  Put(maximum, node->def->floatMax);
  return LDRF_OK;
}

extern "C" LdrfResult LdrfGetEnumDetails(LdrfHandle tree, void*, int32_t* set, int32_t* minimum, int32_t* maximum) {
  std::lock_guard guard(LibraryMutex());
  const TreeNode* node = nullptr;
  if (LdrfResult r = CurrentNode(tree, {kEnum}, node); r != LDRF_OK) return r;
  Put(set, node->def->enumSet);
  Put(minimum, node->def->minimum);
  Put(maximum, node->def->maximum);
  return LDRF_OK;
}

extern "C" LdrfResult LdrfFreeTypeTree(LdrfHandle tree) {
  std::lock_guard guard(LibraryMutex());
  if (!TheLibrary().trees.Remove(tree)) return Fail(LDRF_BAD_HANDLE, "LdrfFreeTypeTree: the type tree is not open");
  return LDRF_OK;
}
