#pragma once
// CTypeTreeItemBase: one node of a type tree -- a field, structure, union,
// array, array element or reference -- with its value slot, its layout as the
// resource library reports it and its language-text references. A node owns
// its children; the root of the whole tree (a CTypeTreeItem) is its owner.
//
// Nodes keep no library position: every query that needs the library selects
// the node again from the nearest CTypeTreeItem above it (SelectNode), one
// find and one read per level. The codec's questions are answered once per
// opening of the type and kept (leaf_facts.h).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalog/ldrf_api.h"
#include "typetree/language_string_ref.h"
#include "typetree/leaf_facts.h"
#include "typetree/node_value.h"
#include "typetree/type_kind.h"

namespace vornfmt {

class CTypeTreeItem;

class CTypeTreeItemBase {
 public:
  explicit CTypeTreeItemBase(CTypeTreeItem* owner) : owner(owner) {}
  CTypeTreeItemBase(const CTypeTreeItemBase&) = delete;
  CTypeTreeItemBase& operator=(const CTypeTreeItemBase&) = delete;

  // The node's path name: field names joined by '.', array levels left out.
  virtual std::u16string GetName() const;
  // Deletes the children, last first.
  virtual ~CTypeTreeItemBase();
  // Makes this node the current node of its tree's cursor; answers the tree
  // handle, 0 on failure.
  virtual LdrfHandle SelectNode();
  // The root of a type (CTypeTreeItem) answers itself; plain nodes null.
  virtual CTypeTreeItem* AsTypeRoot() { return nullptr; }

  // Appends `child`, which becomes this node's.
  CTypeTreeItemBase& AddChild(std::unique_ptr<CTypeTreeItemBase> child);
  // Empties the value slots of this node and of everything below it.
  void ClearValues();

  std::u16string_view GetKindName() const { return KindName(kind); }
  // The VARIANT type of the node's value (vt::k...); 0 when it cannot be selected.
  uint16_t GetVariantType();
  // Size in bytes, or in bits; 0 for kinds that are not converted. Inline
  // apart from bitfields: every conversion asks the root's size first.
  uint16_t GetSize(bool inBytes) {
    if (kind == kKindBitfield) return BitfieldSize(inBytes);
    const bool sized = (kind >= kKindChar && kind <= kKindUnion) || (kind >= kKindFloat && kind <= kKindReference);
    if (!sized) return 0;
    return inBytes ? size : static_cast<uint16_t>(size * 8u);
  }
  // First bit of the node, counted from the most significant bit of raw byte 0.
  uint16_t GetBitOffset();
  std::u16string GetNameText() const;
  std::u16string GetCommentText() const;
  std::u16string GetUnitsRefText() const;  // the units reference alone, without a format

  const CTypeTreeItemBase* Parent() const { return parent; }
  CTypeTreeItemBase* Parent() { return parent; }
  const std::vector<std::unique_ptr<CTypeTreeItemBase>>& Children() const { return children; }

  NodeValue value;
  std::u16string name;
  int32_t kind = kKindUnknown;
  uint16_t byteOffset = 0;
  uint16_t size = 0;
  CTypeTreeItem* owner;
  LanguageStringRef nameRef;
  LanguageStringRef commentRef;
  LanguageStringRef unitsRef;
  // What the codec asked the library about this node, while still current
  // (leaf_facts.h); dropped with the node.
  std::unique_ptr<LeafFacts> facts;

 protected:
  // The path name by the base rule, for the item's GetName too.
  std::u16string PathName() const;
  // The bitfield's width and bit-in-byte from the library; false when the
  // node cannot be selected or the library refuses.
  bool BitfieldPlacement(uint8_t& width, uint8_t& bit);
  std::u16string LookUp(const LanguageStringRef& ref) const;
  void ClearChildren();

 private:
  // A bitfield's size: its width in bits is asked of the library.
  uint16_t BitfieldSize(bool inBytes);

  std::vector<std::unique_ptr<CTypeTreeItemBase>> children;
  CTypeTreeItemBase* parent = nullptr;
  // `name` as the library delivered it, kept so that selecting the node
  // again needs no conversion (and no allocation).
  std::string narrowName;
  bool hasNarrowName = false;

  friend LdrfResult ReadNode(CTypeTreeItemBase& node, LdrfHandle tree);

  friend class CTypeTreeItem;
};

LdrfResult ReadNode(CTypeTreeItemBase& node, LdrfHandle tree);

}  // namespace vornfmt
