#pragma once
// CFmtObject: every format specification a format file gives for one type
// name, in file order, and the choice among them by measurement system.
//
// Loading only files the specifications (AddPendingFormat); they are
// compiled into alternatives the first time anything asks for the object's
// alternatives, all of them in file order, so an invocation that uses one
// type compiles that type's formats only. The result is the same as
// compiling each at load: compiling never looks at other entries. The first
// asking thread compiles under the arena's lock (FormatArena::BuildOnce);
// every later question costs one atomic load.
//
// The objects of a format file live in the file's arena (format_arena.h),
// with their alternatives and pending specifications; an object constructed
// on its own has an arena of its own.
#include <atomic>
#include <cstddef>
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

  // Keeps `specification` (with this object's name as the type name) to be
  // compiled on first use into an alternative after the existing ones.
  void AddPendingFormat(std::u16string_view specification, std::u16string_view measurement_system,
                        bool is_default);
  // Compiles `specification` at once into a new alternative appended after
  // the existing ones (compiling the pending ones first, to keep file order).
  const CAlternateFmt* AddFormat(std::u16string_view specification,
                                 std::u16string_view measurement_system, bool is_default);

  // The alternative for `measurement_system`: none when there is none; the
  // only one when there is one; else the first whose measurement system is
  // exactly the requested one, else the first default, else the first.
  const CAlternateFmt* SelectFormat(std::u16string_view measurement_system) const;

  const std::u16string& Name() const { return *name_; }
  // The compiled alternatives, in file order.
  const NodeList<CAlternateFmt>& Alternatives() const {
    arena_->BuildOnce(compiled_, [this] { CompilePending(); });
    return alternatives_;
  }

 private:
  // A specification kept as loaded; its texts live in the arena.
  struct PendingFormat {
    std::u16string_view specification;
    const std::u16string* measurement_system;
    bool is_default;
    PendingFormat* next;
  };

  // Compiles the pending specifications in order and forgets them. Called
  // once per batch of pending specifications, under the arena's lock.
  void CompilePending() const;
  const CAlternateFmt* Compile(std::u16string_view specification, std::u16string_view measurement_system,
                               bool is_default) const;

  std::unique_ptr<FormatArena> own_arena_;  // set for an object of its own
  FormatArena* arena_;
  const std::u16string* name_;
  // Compiling on first use is not a change anyone can see: these are
  // changed under the arena's lock, or while loading.
  mutable NodeList<CAlternateFmt> alternatives_;
  mutable PendingFormat* first_pending_ = nullptr;
  mutable PendingFormat* last_pending_ = nullptr;
  mutable std::size_t pending_count_ = 0;
  mutable std::atomic<bool> compiled_{true};  // nothing is pending
};

}  // namespace vornfmt
