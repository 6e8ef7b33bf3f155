#pragma once
// CFmtFile: one loaded format file -- the format objects of its type names,
// in two tables: network-variable names (SNVT, UNVT) and
// configuration-property names (SCPT, UCPT). A name carrying both markers
// stands in both tables and is owned once.
//
// The engine creates one CFmtFile per format file of the catalog (through
// the factory of fmt_file_factory.h) and hands it every complete entry text;
// afterwards the file is only read.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/format_file_base.h"
#include "format/fmt_object.h"
#include "format/format_entry.h"
#include "format/text_encoding.h"

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

  // The entry loader: widens the 8-bit entry text and loads it. A text that
  // is not a valid entry is ignored.
  void LoadEntry(std::string_view entry) override;
  // The same for an entry that is already UTF-16, telling what happened.
  EntryResult LoadWideEntry(std::u16string_view entry);

  // The format object of `type_name`: from the NVT table when the name is a
  // network-variable name found there, else from the CPT table when it is a
  // configuration-property name; else none.
  const CFmtObject* FindObject(std::u16string_view type_name) const;

  const std::u16string& FileName() const { return file_name_; }
  TextWidener Widener() const { return widen_; }

  // The objects of each table, ordered by name (ordinally, code unit by code
  // unit), and their numbers.
  std::vector<const CFmtObject*> NvtObjects() const { return Sorted(nvt_table_); }
  std::vector<const CFmtObject*> CptObjects() const { return Sorted(cpt_table_); }
  std::size_t NvtCount() const { return nvt_table_.size(); }
  std::size_t CptCount() const { return cpt_table_.size(); }

 private:
  // Lookups are exact; the keys are views of the objects' own names, which
  // live as long as the objects.
  using Table = std::unordered_map<std::u16string_view, CFmtObject*>;

  static std::vector<const CFmtObject*> Sorted(const Table& table);
  CFmtObject* Find(std::u16string_view type_name) const;
  CFmtObject& FindOrCreate(std::u16string_view name);
  // Loads the parsed entry; with `result`, tells what happened.
  const CAlternateFmt* Load(const FormatEntry& parsed);

  Table cpt_table_;
  Table nvt_table_;
  std::u16string file_name_;
  std::vector<std::unique_ptr<CFmtObject>> objects_;  // owns every object once
  TextWidener widen_;
  // Storage reused from entry to entry while loading.
  std::u16string wide_entry_;
  FormatEntry parsed_;
};

}  // namespace vornfmt
