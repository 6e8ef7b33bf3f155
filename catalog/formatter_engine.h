#pragma once
// The one process-wide owner of what is read from the resource catalog: the
// open catalog, every format file (read completely when the catalog opens)
// and every type file (opened on first use), plus the language setting.
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/format_file_base.h"
#include "catalog/ldrf_api.h"
#include "catalog/type_file.h"

namespace vornfmt {

inline constexpr uint32_t kEnglishLanguageKey = 0x656E7500;  // "enu"

class FormatterEngine {
 public:
  explicit FormatterEngine(const LdrfApi& library = NativeLdrf());
  FormatterEngine(const FormatterEngine&) = delete;
  FormatterEngine& operator=(const FormatterEngine&) = delete;
  ~FormatterEngine();

  // Makes the format-file objects; without a factory no format file is read.
  void SetFormatFileFactory(FormatFileFactory factory) { formatFileFactory_ = std::move(factory); }

  void OpenCatalog(const std::u16string& folder);
  FormatFileBase* FindFormatFile(std::u16string_view pid, uint16_t selector);
  CTypeFile* FindTypeFile(std::u16string_view pid, uint16_t selector);
  uint16_t TypesCount(std::u16string_view pid, uint16_t selector, uint16_t flag);
  void CloseCatalog();

  const std::u16string& LocaleId() const { return localeId_; }
  uint32_t LanguageKey() const { return languageKey_; }
  void SetLocaleId(std::string_view narrowLocaleId);
  std::u16string LookupString(std::u16string_view pid, uint8_t scope, uint32_t index);

  const LdrfApi& Library() const { return *library_; }
  // What the library said about its last failure, for a person to read.
  std::string LastLibraryError() const;
  bool HasCatalog() const { return catalog_ != 0; }
  const std::u16string& CatalogFolder() const { return catalogFolder_; }
  // What opening the catalog left out, "PATH: reason" each, for a person to
  // read: the type files the library skipped, and the format files that
  // could not be read (they stay registered and empty).
  std::vector<std::u16string> SkippedTypeFiles() const;
  const std::vector<std::u16string>& FormatFileProblems() const { return formatFileProblems_; }
  const std::map<std::u16string, std::unique_ptr<FormatFileBase>>& FormatFiles() const { return formatFiles_; }
  const std::map<std::u16string, std::unique_ptr<CTypeFile>>& TypeFiles() const { return typeFiles_; }

 private:
  // Reads every format file the catalog lists into the format-file table.
  void LoadFormatFiles(uint16_t count);
  struct Found {
    std::u16string path;
    uint16_t tag = 0;
  };
  std::optional<Found> SearchCatalog(std::u16string_view pid, uint16_t selector, int32_t kind);

  LdrfHandle catalog_ = 0;
  std::map<std::u16string, std::unique_ptr<FormatFileBase>> formatFiles_;
  std::map<std::u16string, std::unique_ptr<CTypeFile>> typeFiles_;
  std::vector<std::u16string> formatFileProblems_;
  std::u16string localeId_ = u"enu";
  uint32_t languageKey_ = kEnglishLanguageKey;
  std::u16string catalogFolder_;
  const LdrfApi* library_;
  FormatFileFactory formatFileFactory_;
};

// The module-wide engine.
FormatterEngine& TheEngine();
// Replaces the module-wide engine (null restores the built-in one); answers
// the engine it replaced. For hosts and tests that bring their own.
FormatterEngine* InstallEngine(FormatterEngine* engine);

// A number that changes whenever a catalog opens or closes or another engine
// is installed: what was asked of the library before it changed may no
// longer be what the library would answer (type trees cache leaf facts
// under it). Inline: every formatting call compares it.
namespace detail {
extern std::atomic<uint32_t> catalogEpoch;
}
inline uint32_t CatalogEpoch() { return detail::catalogEpoch.load(std::memory_order_relaxed); }

}  // namespace vornfmt
