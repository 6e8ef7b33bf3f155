#pragma once
// CFmtObject: every format specification a format file gives for one type
// name, in file order, and the choice among them by measurement system.
//
// The objects of a format file live in the file's arena (format_arena.h),
// with their alternatives; an object constructed on its own has an arena of
// its own.
#include <memory>
#include <string>
#include <string_view>

#include "format/alternate_fmt.h"
#include "format/format_arena.h"

namespace vornfmt {

class CFmtObject {
 public:
  explicit CFmtObject(std::u16string_view name);
  // An object of `arena`; `name` is a text of that arena.
  CFmtObject(FormatArena& arena, const std::u16string& name) : arena_(&arena), name_(&name) {}
  virtual ~CFmtObject() = default;
  CFmtObject(const CFmtObject&) = delete;
  CFmtObject& operator=(const CFmtObject&) = delete;

  // Compiles `specification` (with this object's name as the type name) into
  // a new alternative appended after the existing ones.
  const CAlternateFmt* AddFormat(std::u16string_view specification,
                                 std::u16string_view measurement_system, bool is_default);

  // The alternative for `measurement_system`: none when there is none; the
  // only one when there is one; else the first whose measurement system is
  // exactly the requested one, else the first default, else the first.
  const CAlternateFmt* SelectFormat(std::u16string_view measurement_system) const;

  const std::u16string& Name() const { return *name_; }
  const NodeList<CAlternateFmt>& Alternatives() const { return alternatives_; }

 private:
  std::unique_ptr<FormatArena> own_arena_;  // set for an object of its own
  FormatArena* arena_;
  const std::u16string* name_;
  NodeList<CAlternateFmt> alternatives_;
};

}  // namespace vornfmt
