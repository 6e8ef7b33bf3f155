#pragma once
// CFmtStringItem: one value slot of an `Items` node of a compiled format --
// which value is shown (name), through which piece of format text, with which
// conversion and which scaling on top of the type's own.
//
// Items made by the compiler live in the arena of their format (see
// format_arena.h) and share its texts; an item constructed on its own keeps
// its texts itself.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "format/conversion_kind.h"
#include "format/scaling_part.h"

namespace vornfmt {

class FormatArena;
class FormatCompiler;

class CFmtStringItem {
 public:
  // `piece` is stored masked (MaskConversions).
  CFmtStringItem(std::u16string_view name, const ScalingPart& scaling, std::u16string_view piece,
                 ConversionKind kind);
  // An item of `arena`: `name` and `masked_piece` are texts of that arena,
  // the piece already masked.
  CFmtStringItem(FormatArena& arena, const std::u16string& name, const ScalingPart& scaling,
                 const std::u16string& masked_piece, ConversionKind kind)
      : scaling_(scaling), kind_(kind), name_(&name), piece_(&masked_piece), arena_(&arena),
        bare_(masked_piece == u"%s") {}
  virtual ~CFmtStringItem() = default;
  CFmtStringItem(const CFmtStringItem&) = delete;
  CFmtStringItem& operator=(const CFmtStringItem&) = delete;

  float Scale() const { return scaling_.scale; }
  float Offset() const { return scaling_.offset; }
  std::int32_t UnitsScope() const { return scaling_.units_scope; }
  std::int32_t UnitsIndex() const { return scaling_.units_index; }
  // The item's printf-like text, conversions masked to "%s", escapes folded.
  const std::u16string& Piece() const { return *piece_; }
  ConversionKind Kind() const { return kind_; }
  // The piece is "%s" alone: the value is the whole text of the item. Kept
  // with the piece so that formatting a value need not compare texts.
  bool IsBarePlaceholder() const { return bare_; }
  // A field path name of the type tree, or the type name for the whole value
  // (empty inside the branches of a conditional when no name was written).
  const std::u16string& Name() const { return *name_; }

  // Stores `piece` masked.
  void SetPiece(std::u16string_view piece);

 private:
  friend class FormatCompiler;

  // Points the item at an already masked text that outlives it.
  void UseMaskedPiece(const std::u16string& masked) {
    piece_ = &masked;
    bare_ = masked == u"%s";
  }

  struct OwnTexts {
    std::u16string name;
    std::u16string piece;
  };

  ScalingPart scaling_;
  ConversionKind kind_;
  const std::u16string* name_;
  const std::u16string* piece_;
  FormatArena* arena_ = nullptr;     // set for items of an arena
  bool bare_ = false;
  std::unique_ptr<OwnTexts> own_;    // set for items constructed on their own
};

}  // namespace vornfmt
