#include "format/fmt_object.h"

namespace vornfmt {

const CAlternateFmt* CFmtObject::AddFormat(std::u16string_view specification,
                                           std::u16string_view measurement_system,
                                           bool is_default) {
  auto alternative = std::make_unique<CAlternateFmt>(measurement_system, is_default);
  alternative->Compile(specification, name_);
  alternatives_.push_back(std::move(alternative));
  return alternatives_.back().get();
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
