#pragma once
// The resource sets of a catalog folder (and the folders it includes), their
// identities, and the search by program ID and scope.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ldrf/language_file_reader.h"
#include "ldrf/type_definitions.h"

namespace vornfmt::ldrf {

inline constexpr int kMaxIncludeDepth = 8;

struct ResourceSet {
  uint16_t tag = 0;                  // position in catalog order, from 1
  std::string typePath;              // as handed out by searches
  std::string formatPath;            // empty without a format file
  std::string languageStem;          // typePath without ".typ"
  std::shared_ptr<const TypeFileData> data;
  // Language files read so far, by key; null when the file is missing or bad.
  mutable std::map<uint32_t, std::shared_ptr<const LanguageStrings>> languages;
  // Why a language file that exists was refused ("PATH: reason"), by key.
  mutable std::map<uint32_t, std::string> languageErrors;

  const LanguageStrings* Language(uint32_t key) const;
  // Why Language(key) answered null: the file's reason, or that there is none.
  std::string LanguageError(uint32_t key) const;
};

class CatalogIndex {
 public:
  // Reads the folder; false with a sentence in error when it cannot be read.
  bool Build(const std::string& folder, std::string& error);

  const std::vector<ResourceSet>& sets() const { return sets_; }
  const std::vector<const ResourceSet*>& formatFiles() const { return formatFiles_; }
  // Sets whose type file did not load, with the reason.
  const std::vector<std::string>& skipped() const { return skipped_; }

  // The set of exactly scope `selector` matching programId (highest version).
  const ResourceSet* Search(const ProgramId& programId, uint16_t selector) const;

 private:
  bool AddFolder(const std::filesystem::path& folder, int depth, std::string& error);
  void AddSet(const std::filesystem::path& typePath);

  std::vector<ResourceSet> sets_;
  std::vector<const ResourceSet*> formatFiles_;
  std::vector<std::string> skipped_;
  std::vector<std::filesystem::path> visited_;
};

// True when programId equals the template in the fields that scope compares.
bool ProgramIdMatches(const ProgramId& programId, const ProgramId& pattern, uint8_t scope);

}  // namespace vornfmt::ldrf
