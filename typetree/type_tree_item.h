#pragma once
// CTypeTreeItem: the root of a type's tree, and the nested root of every
// type a reference refers to. Holds the type's identity (name or index,
// program ID, selector), its library tree handle, its type file and format
// file, the measurement system that chooses among the type's formats, and --
// for the root of the whole tree -- the leaf nodes in depth-first pre-order:
// the subfields, addressed by a signed 16-bit index (-1: the whole type).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/format_file_base.h"
#include "catalog/formatter_engine.h"
#include "catalog/type_file.h"
#include "typetree/type_tree_item_base.h"

namespace vornfmt {

class CAlternateFmt;
class ResolvedItems;  // of the conversion layer (convert/output/resolved_items.h)

class CTypeTreeItem : public CTypeTreeItemBase {
 public:
  // The root of a tree: its own owner.
  CTypeTreeItem() : CTypeTreeItemBase(this) {}
  // A nested item, created for a reference.
  explicit CTypeTreeItem(CTypeTreeItem* owner) : CTypeTreeItemBase(owner) {}

  std::u16string GetName() const override;
  ~CTypeTreeItem() override;
  LdrfHandle SelectNode() override;
  CTypeTreeItem* AsTypeRoot() override { return this; }

  // Loading (tree_builder.cpp). A name may carry "#SYSTEM", the measurement system.
  bool LoadByName(std::u16string_view typeName, std::u16string_view pid, int16_t selector);
  bool LoadByIndex(int16_t index, bool isNetworkVariable, std::u16string_view pid, int16_t selector);
  // Reads the opened type's tree into this item.
  void BuildTree();

  // Subfields beyond index 32767 cannot be addressed; the count stops there.
  int16_t GetSubfieldCount() const {
    return static_cast<int16_t>(subfields.size() < 32767u ? subfields.size() : 32767u);
  }
  CTypeTreeItemBase* GetSubfield(int16_t sub);
  // First subfield whose path name is `name`; -1 when none. Answered from an
  // index over the subfields' names, built on the first look-up after the
  // tree changed, so a look-up costs one hash, not a walk over the fields.
  int16_t FindSubIndexByName(std::u16string_view name) const;
  CTypeTreeItemBase* FindItemByName(std::u16string_view name);

  const CAlternateFmt* GetFormat() {
    // Inline for the usual case, a format already chosen in the open catalog.
    if (format && catalogEpoch_ == CatalogEpoch()) return format;
    return ChooseFormat();
  }
  void SetMeasurementSystem(std::u16string_view system);
  std::u16string GetMeasurementSystem();

  std::u16string GetPid() const { return pid; }
  int16_t GetSelector() const { return static_cast<int16_t>(selector); }
  // Null once the catalog it came from has been closed (see GetFormat).
  CTypeFile* GetTypeFile() const;
  void SetInteractive(bool on) { interactive = on ? 1 : 0; }

  // Drops the library handle (and the chosen format); the nodes stay.
  void FreeTree();
  // Unique to the current opening of the type's tree; 0 while none is open.
  // Facts kept on the nodes (leaf_facts.h) hold only under the same stamp.
  uint64_t OpeningStamp() const { return treeHandle != 0 ? openingStamp_ : 0; }
  // Finds the format file and the type file of the identity and opens the type.
  bool Reopen();

  const std::vector<CTypeTreeItemBase*>& Subfields() const { return subfields; }
  // Why the last load failed, or the first thing it left out (a reference
  // not followed); empty when nothing went wrong. One line.
  const std::u16string& LoadProblem() const { return loadProblem_; }
  // Counts one more node of the whole tree being built (a call on its root);
  // false, and the load will fail, once the tree would exceed kMaxTreeNodes.
  bool ChargeNode();

  std::u16string pid;
  uint16_t selector = 0xFFFF;
  const CAlternateFmt* format = nullptr;
  uint8_t interactive = 1;
  LdrfHandle treeHandle = 0;
  std::u16string typeName;
  uint16_t typeIndex = 0;
  CTypeFile* typeFile = nullptr;
  FormatFileBase* formatFile = nullptr;
  std::u16string measurementSystem = u"SI";
  int32_t isNetworkVariable = 1;
  // What formatting found of its own format's items in this tree, made and
  // read by the conversion layer only; dropped with the nodes.
  std::unique_ptr<ResolvedItems, void (*)(ResolvedItems*)> resolvedItems{nullptr, nullptr};

 private:
  // The format file, the chosen format and the type file belong to the
  // catalog that was open when the type was found; closing that catalog
  // destroys them. A tree that outlives it forgets them and lets its tree
  // go, as FreeTree does: its next question opens the type again in the
  // catalog open then (or fails without one).
  void ForgetClosedCatalog();
  const CAlternateFmt* ChooseFormat();
  // A tree handle of the catalog that is open now: loading the same type
  // again may keep it.
  bool HoldsOpenTree() const;

  uint32_t catalogEpoch_ = 0;  // CatalogEpoch() when the files were found
  friend void Flatten(CTypeTreeItemBase& node, CTypeTreeItem& root);
  friend void ReadReference(CTypeTreeItemBase& node, LdrfHandle tree);

  bool OpenTypeTree();
  // Sets the tree handle and gives the opening a new stamp.
  void SetTreeHandle(LdrfHandle tree);
  bool IsWholeTree() const { return owner == this; }
  // The referring root node of the opened type: follows it to the referenced type.
  void FollowRootReference(LdrfHandle tree, const std::u16string& referringName);
  // Drops the nodes of an earlier load.
  void ClearTree();
  // Before a load of the whole tree (not a nested one): a fresh node budget
  // and no problem.
  void BeginLoad();
  // After BuildTree: false, with the tree dropped, when the whole tree went
  // over its node budget.
  bool FinishLoad();
  // A loaded referenced type: true when it takes `stated` bytes (or did not
  // load); else notes the problem under `where` on the whole tree's root.
  bool TakesStatedSize(uint16_t stated, const std::u16string& where);
  // Empties a referenced item that is not followed, as a failed look-up leaves it.
  void Discard();
  void NoteProblem(std::u16string problem);

  // Makes the next FindSubIndexByName rebuild the name index.
  void DropNameIndex() const;

  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::u16string_view text) const { return std::hash<std::u16string_view>{}(text); }
  };

  std::vector<CTypeTreeItemBase*> subfields;
  uint64_t openingStamp_ = 0;
  // Path name -> first subfield index with that name (first-match semantics).
  mutable std::unordered_map<std::u16string, int16_t, NameHash, std::equal_to<>> nameIndex_;
  mutable bool nameIndexBuilt_ = false;
  // Reference loads in progress below this (whole-tree) root and made so far;
  // they bound reference cycles (tree_builder.cpp).
  int activeReferenceLoads_ = 0;
  int referenceLoads_ = 0;
  // Nodes of the whole tree made by the load in progress, the root included,
  // and whether it wanted more than kMaxTreeNodes.
  uint32_t builtNodes_ = 0;
  bool overBudget_ = false;
  std::u16string loadProblem_;
};

}  // namespace vornfmt
