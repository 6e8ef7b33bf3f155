#include "format/fmt_file.h"

#include <algorithm>
#include <utility>

#include "format/type_name.h"

namespace vornfmt {

namespace {

// True when `widen` turns the ASCII characters into the same code units:
// every ANSI code page does, so entries of ASCII only need not go through
// it. A widener that does not (or not all at once) gets every entry.
bool WidensAsciiAsItIs(TextWidener widen) {
  std::string ascii(0x80, '\0');
  std::u16string same(0x80, u'\0');
  for (std::size_t c = 0; c < 0x80; ++c) {
    ascii[c] = static_cast<char>(c);
    same[c] = static_cast<char16_t>(c);
  }
  return widen(ascii) == same;
}

// Written so that the compiler turns it into vector code.
bool IsAscii(std::string_view text) {
  unsigned char any = 0;
  for (char c : text) any |= static_cast<unsigned char>(c);
  return any < 0x80;
}

}  // namespace

CFmtFile::CFmtFile(std::u16string file_name, TextWidener widen)
    : file_name_(std::move(file_name)),
      widen_(widen ? widen : static_cast<TextWidener>(WidenWindows1252)),
      ascii_as_it_is_(WidensAsciiAsItIs(widen_)) {}

void CFmtFile::LoadEntry(std::string_view entry) {
  if (ascii_as_it_is_ && IsAscii(entry)) {
    wide_entry_.resize(entry.size());
    for (std::size_t i = 0; i < entry.size(); ++i) wide_entry_[i] = static_cast<unsigned char>(entry[i]);
  } else if (widen_ == static_cast<TextWidener>(WidenWindows1252)) {
    WidenWindows1252(entry, wide_entry_);
  } else {
    wide_entry_ = widen_(entry);
  }
  ParseFormatEntry(wide_entry_, parsed_);
  Load(parsed_, Compiling::OnFirstUse);
}

EntryResult CFmtFile::LoadWideEntry(std::u16string_view entry) {
  const FormatEntry parsed = ParseFormatEntry(entry);
  EntryResult result;
  result.outcome = parsed.outcome;
  result.name.assign(parsed.name);
  result.measurement_system.assign(parsed.measurement_system);
  result.is_default = parsed.is_default;
  result.alternative = Load(parsed, Compiling::Now);
  return result;
}

const CAlternateFmt* CFmtFile::Load(const FormatEntry& parsed, Compiling compiling) {
  if (parsed.outcome != EntryOutcome::Added && parsed.outcome != EntryOutcome::NoSpecification) {
    return nullptr;
  }
  CFmtObject& object = FindOrCreate(parsed.name);
  if (parsed.outcome != EntryOutcome::Added) return nullptr;
  if (compiling == Compiling::Now) {
    return object.AddFormat(parsed.specification, parsed.measurement_system, parsed.is_default);
  }
  object.AddPendingFormat(parsed.specification, parsed.measurement_system, parsed.is_default);
  return nullptr;
}

CFmtObject& CFmtFile::FindOrCreate(std::u16string_view name) {
  const std::size_t hash = objects_.Hash(name);
  if (CFmtObject* found = objects_.Find(name, hash)) return *found;
  CFmtObject* object = arena_.New<CFmtObject>(arena_, arena_.Store(name));
  objects_.Insert(object, hash);
  if (IsNvtName(name)) ++nvt_count_;
  if (IsCptName(name)) ++cpt_count_;
  return *object;
}

CFmtObject* CFmtFile::Find(std::u16string_view type_name) const {
  if (!IsTypeName(type_name)) return nullptr;
  return objects_.Find(type_name, objects_.Hash(type_name));
}

const CFmtObject* CFmtFile::FindObject(std::u16string_view type_name) const { return Find(type_name); }

std::vector<const CFmtObject*> CFmtFile::Sorted(bool (*in_table)(std::u16string_view)) const {
  std::vector<const CFmtObject*> objects;
  objects_.ForEach([&](const CFmtObject* object) {
    if (in_table(object->Name())) objects.push_back(object);
  });
  std::sort(objects.begin(), objects.end(),
            [](const CFmtObject* a, const CFmtObject* b) { return a->Name() < b->Name(); });
  return objects;
}

const CAlternateFmt* CFmtFile::SelectFormat(std::u16string_view type_name,
                                           std::u16string_view measurement_system) const {
  const CFmtObject* object = FindObject(type_name);
  return object ? object->SelectFormat(measurement_system) : nullptr;
}

}  // namespace vornfmt
