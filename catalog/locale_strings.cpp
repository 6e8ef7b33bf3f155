// The language setting of the engine and the fetching of language texts.
#include <cstring>

#include "catalog/formatter_engine.h"
#include "catalog/program_id.h"
#include "catalog/resource_lock.h"
#include "catalog/text_buffer.h"

namespace vornfmt {

void FormatterEngine::SetLocaleId(std::string_view narrowLocaleId) {
  ResourceGuard guard(ResourceLock());
  // The library takes a 50-byte field; longer texts are cut to 49 bytes.
  char extension[50] = {};
  std::memcpy(extension, narrowLocaleId.data(), std::min(narrowLocaleId.size(), sizeof extension - 1));
  uint32_t key = 0;
  if (library_->LdrfGetLanguageKeyFromExtension(nullptr, extension, &key) != LDRF_OK ||
      library_->LdrfGetLanguageInfo(nullptr, nullptr, key, nullptr, nullptr, &languageKey_, nullptr, nullptr,
                                    nullptr) != LDRF_OK) {
    languageKey_ = kEnglishLanguageKey;
    return;
  }
  localeId_ = codepage::FromAnsi(std::string_view(extension, strnlen(extension, sizeof extension)));
}

std::u16string FormatterEngine::LookupString(std::u16string_view pid, uint8_t scope, uint32_t index) {
  ResourceGuard guard(ResourceLock());
  const ProgramIdBytes id = ProgramIdFromText(pid);
  auto folder = Narrow(catalogFolder_);
  LdrfHandle service = 0;
  if (library_->LdrfStartStringService(languageKey_, folder ? folder->c_str() : nullptr, &service) != LDRF_OK)
    return {};
  TextBuffer text;
  LdrfResult request = library_->LdrfStringServiceRequest(service, id.data(), scope, index, text.data, &text.length);
  LdrfResult stop = library_->LdrfStopStringService(&service);
  if (request != LDRF_OK || stop != LDRF_OK) return {};
  return text.Widen();
}

}  // namespace vornfmt
