#include "format/fmt_object.h"

namespace vornfmt {

CFmtObject::CFmtObject(std::u16string_view name)
    : own_arena_(std::make_unique<FormatArena>()),
      arena_(own_arena_.get()),
      name_(&own_arena_->Intern(name)) {}

void CFmtObject::AddPendingFormat(std::u16string_view specification,
                                  std::u16string_view measurement_system, bool is_default) {
  auto* pending = arena_->New<PendingFormat>(
      PendingFormat{arena_->Copy(specification), &arena_->Intern(measurement_system), is_default, nullptr});
  if (last_pending_ != nullptr) {
    last_pending_->next = pending;
  } else {
    first_pending_ = pending;
  }
  last_pending_ = pending;
  ++pending_count_;
  compiled_.store(false, std::memory_order_relaxed);  // loading is not shared yet
}

const CAlternateFmt* CFmtObject::AddFormat(std::u16string_view specification,
                                           std::u16string_view measurement_system,
                                           bool is_default) {
  Alternatives();
  return Compile(specification, measurement_system, is_default);
}

void CFmtObject::CompilePending() const {
  alternatives_.Reserve(alternatives_.size() + pending_count_, *arena_);
  for (const PendingFormat* pending = first_pending_; pending != nullptr; pending = pending->next) {
    Compile(pending->specification, *pending->measurement_system, pending->is_default);
  }
  first_pending_ = last_pending_ = nullptr;
  pending_count_ = 0;
}

const CAlternateFmt* CFmtObject::Compile(std::u16string_view specification,
                                         std::u16string_view measurement_system,
                                         bool is_default) const {
  auto* alternative = arena_->New<CAlternateFmt>(*arena_, measurement_system, is_default);
  alternative->CompileWithStoredName(specification, *name_);
  alternatives_.Append(alternative, *arena_);
  return alternative;
}

const CAlternateFmt* CFmtObject::SelectFormat(std::u16string_view measurement_system) const {
  const NodeList<CAlternateFmt>& alternatives = Alternatives();
  if (alternatives.empty()) return nullptr;
  if (alternatives.size() == 1) return alternatives.front().get();
  for (const auto& alternative : alternatives) {
    if (alternative->MeasurementSystem() == measurement_system) return alternative.get();
  }
  for (const auto& alternative : alternatives) {
    if (alternative->IsDefault()) return alternative.get();
  }
  return alternatives.front().get();
}

}  // namespace vornfmt
