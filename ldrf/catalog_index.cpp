#include "ldrf/catalog_index.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "ldrf/language_keys.h"
#include "ldrf/type_file_reader.h"
#include "platform/drive_paths.h"

namespace vornfmt::ldrf {
namespace fs = std::filesystem;

namespace {

bool SameManufacturer(const ProgramId& a, const ProgramId& b) {
  return (a[0] & 0x0F) == (b[0] & 0x0F) && a[1] == b[1] && a[2] == b[2];
}
bool SameDeviceClass(const ProgramId& a, const ProgramId& b) { return a[3] == b[3] && a[4] == b[4]; }
bool SameUsage(const ProgramId& a, const ProgramId& b) { return a[5] == b[5]; }
bool SameModel(const ProgramId& a, const ProgramId& b) { return a[7] == b[7]; }

std::vector<fs::path> IncludedFolders(const fs::path& folder, std::string& error) {
  std::vector<fs::path> result;
  const fs::path file = folder / "catalog.json";
  std::error_code ec;
  if (!fs::exists(file, ec)) return result;
  std::string text;
  if (!ReadWholeFile(file, text, error)) return result;
  auto doc = nlohmann::json::parse(text, nullptr, false);
  auto include = doc.is_object() ? doc.find("include") : doc.end();
  bool valid = doc.is_object() && (include == doc.end() || include->is_array());
  if (valid && include != doc.end())
    for (const auto& entry : *include) valid = valid && entry.is_string();
  if (!valid) {
    error = file.string() + ": \"include\" must be a list of folder names";
    return result;
  }
  if (include != doc.end())
    for (const auto& entry : *include) result.push_back(folder / platform::NativePath(entry.get<std::string>()));
  return result;
}

}  // namespace

bool ProgramIdMatches(const ProgramId& id, const ProgramId& pattern, uint8_t scope) {
  switch (scope) {
    case 0: return true;
    case 1: return SameDeviceClass(id, pattern);
    case 2: return SameDeviceClass(id, pattern) && SameUsage(id, pattern);
    case 3: return SameManufacturer(id, pattern);
    case 4: return SameManufacturer(id, pattern) && SameDeviceClass(id, pattern);
    case 5: return SameManufacturer(id, pattern) && SameDeviceClass(id, pattern) && SameUsage(id, pattern);
    case 6:
      return SameManufacturer(id, pattern) && SameDeviceClass(id, pattern) && SameUsage(id, pattern) &&
             SameModel(id, pattern);
    default: return false;
  }
}

bool CatalogIndex::Build(const std::string& folder, std::string& error) {
  if (folder.empty()) {
    error = "no catalog folder";
    return false;
  }
  // A Windows folder name ("C:\LonWorks\Types") reaches its drive's folder.
  if (!AddFolder(platform::NativePath(folder), 0, error)) return false;
  for (size_t i = 0; i < sets_.size(); ++i) {
    sets_[i].tag = static_cast<uint16_t>(i + 1);
  }
  for (const ResourceSet& set : sets_)
    if (!set.formatPath.empty()) formatFiles_.push_back(&set);
  return true;
}

bool CatalogIndex::AddFolder(const fs::path& folder, int depth, std::string& error) {
  std::error_code ec;
  fs::path canonical = fs::weakly_canonical(folder, ec);
  if (ec || !fs::is_directory(folder, ec)) {
    error = folder.string() + ": not a readable folder";
    return false;
  }
  if (std::find(visited_.begin(), visited_.end(), canonical) != visited_.end()) return true;
  visited_.push_back(canonical);

  std::vector<fs::path> typeFiles;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().extension() == ".typ" && it->is_regular_file(ec)) typeFiles.push_back(it->path());
  if (ec) {
    error = folder.string() + ": " + ec.message();
    return false;
  }
  std::sort(typeFiles.begin(), typeFiles.end());
  for (const fs::path& path : typeFiles) {
    if (sets_.size() >= UINT16_MAX) break;
    AddSet(path);
  }

  std::vector<fs::path> includes = IncludedFolders(folder, error);
  if (!error.empty()) return false;
  if (depth >= kMaxIncludeDepth) return true;
  for (const fs::path& include : includes) {
    std::string ignored;  // a missing included folder leaves the rest usable
    if (!AddFolder(include, depth + 1, ignored)) skipped_.push_back(ignored);
  }
  return true;
}

void CatalogIndex::AddSet(const fs::path& typePath) {
  std::string text, error;
  auto data = std::make_shared<TypeFileData>();
  if (!ReadWholeFile(typePath, text, error) || !ParseTypeFile(text, *data, error)) {
    skipped_.push_back(typePath.string() + ": " + error);
    return;
  }
  ResourceSet set;
  set.typePath = typePath.string();
  fs::path stem = typePath;
  stem.replace_extension();
  set.languageStem = stem.string();
  std::error_code ec;
  fs::path format = stem;
  format += ".fmt";
  if (fs::is_regular_file(format, ec)) set.formatPath = format.string();
  set.data = std::move(data);
  sets_.push_back(std::move(set));
}

const ResourceSet* CatalogIndex::Search(const ProgramId& programId, uint16_t selector) const {
  const ResourceSet* best = nullptr;
  for (const ResourceSet& set : sets_) {
    const SetIdentity& id = set.data->set;
    if (id.scope != selector || !ProgramIdMatches(programId, id.programId, id.scope)) continue;
    if (!best || std::pair(id.major, id.minor) > std::pair(best->data->set.major, best->data->set.minor))
      best = &set;
  }
  return best;
}

const LanguageStrings* ResourceSet::Language(uint32_t key) const {
  auto cached = languages.find(key);
  if (cached != languages.end()) return cached->second.get();
  std::shared_ptr<LanguageStrings> strings;
  std::string text, error;
  const std::string path = languageStem + "." + ExtensionOfKey(key);
  auto parsed = std::make_shared<LanguageStrings>();
  std::error_code ec;
  if (fs::is_regular_file(path, ec)) {
    if (!ReadWholeFile(path, text, error)) languageErrors[key] = error;  // the reason names the file
    else if (!ParseLanguageFile(text, *parsed, error)) languageErrors[key] = path + ": " + error;
    else strings = std::move(parsed);
  }
  languages[key] = strings;
  return strings.get();
}

std::string ResourceSet::LanguageError(uint32_t key) const {
  auto found = languageErrors.find(key);
  return found != languageErrors.end() ? found->second : "the set has no language file for that language";
}

}  // namespace vornfmt::ldrf
