#pragma once
// CFmtFile: one loaded format file -- the format objects of its type names,
// in two tables: network-variable names (SNVT, UNVT) and
// configuration-property names (SCPT, UCPT). A name carrying both markers
// stands in both tables and is owned once.
//
// Every name an entry defines carries a marker (the name starts at one), so
// the two tables are kept as one index of all objects: a name is in the NVT
// table exactly when it has an object and is a network-variable name, and
// likewise for the CPT table. The objects, their compiled formats and all
// their texts live in the file's arena.
//
// The engine creates one CFmtFile per format file of the catalog (through
// the factory of fmt_file_factory.h) and hands it every complete entry text;
// afterwards the file is only read, by any number of threads (an object's
// formats, compiled on first use, are compiled under the arena's lock).
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/format_file_base.h"
#include "format/fmt_object.h"
#include "format/format_arena.h"
#include "format/format_entry.h"
#include "format/text_encoding.h"
#include "format/type_name.h"

namespace vornfmt {

// What loading one entry did, for tools that check format files.
struct EntryResult {
  EntryOutcome outcome = EntryOutcome::EmptyOrComment;
  std::u16string name;
  std::u16string measurement_system;
  bool is_default = false;
  const CAlternateFmt* alternative = nullptr;  // set when outcome is Added
};

class CFmtFile : public FormatFileBase {
 public:
  explicit CFmtFile(std::u16string file_name, TextWidener widen = WidenWindows1252);
  ~CFmtFile() override = default;
  CFmtFile(const CFmtFile&) = delete;
  CFmtFile& operator=(const CFmtFile&) = delete;

  // The entry loader: widens the 8-bit entry text (an entry of ASCII only
  // directly, when the widener leaves ASCII as it is) and loads it, leaving
  // its specification to be compiled when the type's formats are first
  // asked for (CFmtObject). A text that is not a valid entry is ignored.
  void LoadEntry(std::string_view entry) override;
  // The same for an entry that is already UTF-16, compiled at once, telling
  // what happened.
  EntryResult LoadWideEntry(std::u16string_view entry);

  // The format object of `type_name`: from the NVT table when the name is a
  // network-variable name found there, else from the CPT table when it is a
  // configuration-property name; else none.
  const CFmtObject* FindObject(std::u16string_view type_name) const;
  // FindObject's alternative for `measurement_system` (CFmtObject::SelectFormat).
  const CAlternateFmt* SelectFormat(std::u16string_view type_name,
                                    std::u16string_view measurement_system) const override;

  const std::u16string& FileName() const { return file_name_; }
  TextWidener Widener() const { return widen_; }

  // The objects of each table, ordered by name (ordinally, code unit by code
  // unit), and their numbers.
  std::vector<const CFmtObject*> NvtObjects() const { return Sorted(IsNvtName); }
  std::vector<const CFmtObject*> CptObjects() const { return Sorted(IsCptName); }
  std::size_t NvtCount() const { return nvt_count_; }
  std::size_t CptCount() const { return cpt_count_; }

 private:
  // Lookups are exact; the keys are the objects' own names.
  struct NameOf {
    static std::u16string_view Key(const CFmtObject& object) { return object.Name(); }
  };

  std::vector<const CFmtObject*> Sorted(bool (*in_table)(std::u16string_view)) const;
  CFmtObject* Find(std::u16string_view type_name) const;
  CFmtObject& FindOrCreate(std::u16string_view name);
  enum class Compiling { OnFirstUse, Now };
  // Loads the parsed entry; compiled now, answers the alternative added.
  const CAlternateFmt* Load(const FormatEntry& parsed, Compiling compiling);

  // Declared first: released after everything that points into it.
  FormatArena arena_;
  TextKeyedTable<CFmtObject, NameOf> objects_;
  std::size_t nvt_count_ = 0;
  std::size_t cpt_count_ = 0;
  std::u16string file_name_;
  TextWidener widen_;
  bool ascii_as_it_is_;  // widen_ leaves ASCII text as it is
  // Storage reused from entry to entry while loading.
  std::u16string wide_entry_;
  FormatEntry parsed_;
};

}  // namespace vornfmt
