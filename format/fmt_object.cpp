#include "format/fmt_object.h"

namespace vornfmt {

CFmtObject::CFmtObject(std::u16string_view name)
    : own_arena_(std::make_unique<FormatArena>()),
      arena_(own_arena_.get()),
      name_(&own_arena_->Intern(name)) {}

const CAlternateFmt* CFmtObject::AddFormat(std::u16string_view specification,
                                           std::u16string_view measurement_system,
                                           bool is_default) {
  auto* alternative = arena_->New<CAlternateFmt>(*arena_, measurement_system, is_default);
  alternative->CompileWithStoredName(specification, *name_);
  alternatives_.Append(alternative, *arena_);
  return alternative;
}

const CAlternateFmt* CFmtObject::SelectFormat(std::u16string_view measurement_system) const {
  if (alternatives_.empty()) return nullptr;
  if (alternatives_.size() == 1) return alternatives_.front().get();
  for (const auto& alternative : alternatives_) {
    if (alternative->MeasurementSystem() == measurement_system) return alternative.get();
  }
  for (const auto& alternative : alternatives_) {
    if (alternative->IsDefault()) return alternative.get();
  }
  return alternatives_.front().get();
}

}  // namespace vornfmt
