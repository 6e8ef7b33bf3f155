#pragma once
// CAlternateFmt: one compiled format specification of a type -- the root of
// its tree -- with the measurement system it was written for and whether the
// entry marked it as the default.
#include <string>
#include <string_view>

#include "format/brackets_object.h"

namespace vornfmt {

class CAlternateFmt : public CBracketsObject {
 public:
  // An empty Group; the owner compiles the format specification into it.
  CAlternateFmt(std::u16string_view measurement_system, bool is_default)
      : default_(is_default), measurement_system_(&Arena().Intern(measurement_system)) {}
  // The same, its tree living in `arena`.
  CAlternateFmt(FormatArena& arena, std::u16string_view measurement_system, bool is_default)
      : CBracketsObject(arena), default_(is_default), measurement_system_(&arena.Intern(measurement_system)) {}
  ~CAlternateFmt() override = default;

  bool IsDefault() const { return default_; }
  // The selector written after '#' in the entry; may be empty.
  const std::u16string& MeasurementSystem() const { return *measurement_system_; }

 private:
  bool default_;
  const std::u16string* measurement_system_;
};

}  // namespace vornfmt
