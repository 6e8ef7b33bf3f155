#pragma once
// CAlternateFmt: one compiled format specification of a type -- the root of
// its tree -- with the measurement system it was written for and whether the
// entry marked it as the default. It also answers, from an index built on
// first use and kept as long as the format (format_index.h), which item
// shows a value name and which trial patterns a whole-type parse tries.
#include <atomic>
#include <string>
#include <string_view>

#include "format/brackets_object.h"
#include "format/format_index.h"

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

  // The first item named `name`; null when none. The format must be
  // completely compiled: the index is built on the first call.
  const CFmtStringItem* FindItem(std::u16string_view name) const { return Index().Find(name); }
  // FindItem of `name`, else -- when `name` holds a '[' -- FindItem of the
  // part before the first '[', so that one item serves every element of an
  // array.
  const CFmtStringItem* FindItemOrArrayItem(std::u16string_view name) const;
  const TrialPatterns& Trials() const { return Index().Trials(); }

 private:
  const FormatIndex& Index() const;

  bool default_;
  const std::u16string* measurement_system_;
  mutable std::atomic<const FormatIndex*> index_{nullptr};  // kept by the arena
};

}  // namespace vornfmt
