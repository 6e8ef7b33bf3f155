#include "catalog/formatter_engine.h"

#include <atomic>
#include <cstring>
#include <optional>

#include "catalog/format_file_loader.h"
#include "catalog/program_id.h"
#include "catalog/resource_lock.h"
#include "catalog/text_buffer.h"
#include "platform/numeric_locale.h"

namespace vornfmt {

std::atomic<uint32_t> detail::catalogEpoch{1};

namespace {

void NextCatalogEpoch() { detail::catalogEpoch.fetch_add(1, std::memory_order_relaxed); }

FormatterEngine*& InstalledEngine() {
  static FormatterEngine* installed = nullptr;
  return installed;
}

}  // namespace

FormatterEngine& TheEngine() {
  if (FormatterEngine* installed = InstalledEngine()) return *installed;
  static FormatterEngine builtIn;
  return builtIn;
}

FormatterEngine* InstallEngine(FormatterEngine* engine) {
  FormatterEngine* previous = InstalledEngine();
  InstalledEngine() = engine;
  NextCatalogEpoch();
  return previous;
}


FormatterEngine::FormatterEngine(const LdrfApi& library) : library_(&library) { SelectUserNumericLocale(); }

FormatterEngine::~FormatterEngine() { CloseCatalog(); }

std::string FormatterEngine::LastLibraryError() const {
  char text[512];
  uint32_t length = sizeof text;
  ResourceGuard guard(ResourceLock());
  library_->LdrfLastErrorText(text, &length);  // a longer text arrives cut
  return std::string(text, length < sizeof text ? length : sizeof text);
}

void FormatterEngine::OpenCatalog(const std::u16string& folder) {
  ResourceGuard guard(ResourceLock());
  CloseCatalog();  // opening again starts afresh rather than leaking the old catalog (and a new epoch)
  catalogFolder_ = folder;
  auto narrow = Narrow(folder);
  if (library_->LdrfOpenCatalog(narrow ? narrow->c_str() : nullptr, 1, &catalog_) != LDRF_OK) {
    catalog_ = 0;
    return;
  }
  uint16_t count = 0;
  library_->LdrfGetCatalogInfo(catalog_, nullptr, nullptr, nullptr, nullptr, nullptr, &count);
  LoadFormatFiles(count);
}

void FormatterEngine::LoadFormatFiles(uint16_t count) {
  if (!formatFileFactory_) return;
  for (uint32_t index = 1; index <= count; ++index) {
    TextBuffer path;
    library_->LdrfCatalogGetFile(catalog_, LDRF_KIND_FORMAT_FILE, static_cast<uint16_t>(index), nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr, path.data, &path.length);
    const std::u16string key = path.Widen();
    auto file = formatFileFactory_(key);
    if (!file) continue;
    FormatFileBase& loading = *file;
    formatFiles_[key] = std::move(file);
    std::string error;
    if (!LoadFormatFile(std::string(path.data, strnlen(path.data, sizeof path.data)), loading, error))
      formatFileProblems_.push_back(key + u": " + codepage::FromAnsi(error));
  }
}

std::vector<std::u16string> FormatterEngine::SkippedTypeFiles() const {
  std::vector<std::u16string> skipped;
  if (catalog_ == 0) return skipped;
  ResourceGuard guard(ResourceLock());
  for (uint32_t index = 1; index <= UINT16_MAX; ++index) {
    char text[1024];
    uint32_t length = sizeof text;
    const LdrfResult result =
        library_->LdrfCatalogGetSkipped(catalog_, static_cast<uint16_t>(index), text, &length);
    if (result != LDRF_OK && result != LDRF_BUFFER_TOO_SMALL) break;  // a longer text arrives cut
    skipped.push_back(codepage::FromAnsi(std::string_view(text, strnlen(text, sizeof text))));
  }
  return skipped;
}

// Answers the path and catalog tag of the set that applies, or nothing. The
// caller holds the resource lock.
std::optional<FormatterEngine::Found> FormatterEngine::SearchCatalog(std::u16string_view pid, uint16_t selector,
                                                                     int32_t kind) {
  const ProgramIdBytes id = ProgramIdFromText(pid);
  TextBuffer path;
  uint16_t tag = 0;
  if (library_->LdrfSearchCatalog(catalog_, id.data(), selector, kind, languageKey_, path.data, &path.length, &tag,
                                  nullptr) != LDRF_OK)
    return std::nullopt;
  return Found{path.Widen(), tag};
}

FormatFileBase* FormatterEngine::FindFormatFile(std::u16string_view pid, uint16_t selector) {
  if (catalog_ == 0 || pid.empty()) return nullptr;  // no lock needed to know that
  ResourceGuard guard(ResourceLock());
  auto found = SearchCatalog(pid, selector, LDRF_KIND_FORMAT_FILE);
  if (!found) return nullptr;
  auto it = formatFiles_.find(found->path);
  return it == formatFiles_.end() ? nullptr : it->second.get();
}

CTypeFile* FormatterEngine::FindTypeFile(std::u16string_view pid, uint16_t selector) {
  if (catalog_ == 0 || pid.empty()) return nullptr;  // no lock needed to know that
  ResourceGuard guard(ResourceLock());
  auto found = SearchCatalog(pid, selector, LDRF_KIND_TYPE_FILE);
  if (!found) return nullptr;
  auto& file = typeFiles_[found->path];
  if (!file) file = std::make_unique<CTypeFile>(*library_, found->path, found->tag);
  return file.get();
}

uint16_t FormatterEngine::TypesCount(std::u16string_view pid, uint16_t selector, uint16_t /*flag*/) {
  CTypeFile* file = FindTypeFile(pid, selector);
  return file ? file->TypesCount() : 0;
}

void FormatterEngine::CloseCatalog() {
  NextCatalogEpoch();
  formatFiles_.clear();
  formatFileProblems_.clear();
  typeFiles_.clear();
  if (catalog_ != 0) {
    ResourceGuard guard(ResourceLock());
    library_->LdrfCloseCatalog(catalog_);
    catalog_ = 0;
  }
}

}  // namespace vornfmt
