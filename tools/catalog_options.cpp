#include "tools/catalog_options.h"

#include <cstdlib>
#include <iostream>

#include "catalog/formatter_engine.h"
#include "catalog/shipped_catalog.h"
#include "platform/code_page.h"

// The installed catalog relative to the installed tool's folder.
#ifndef VORNFMT_CATALOG_FROM_PROGRAM
#define VORNFMT_CATALOG_FROM_PROGRAM "../share/vornfmt/catalog"
#endif

namespace vornfmt::tool {

void AddCatalogOptions(CLI::App& command, CatalogOptions& options) {
  command.add_option("--catalog", options.catalog, "Catalog folder (default: the shipped standard catalog)")
      ->each([&options](const std::string&) { options.catalogNamed = true; });
  command.add_option("--pid", options.pid, "Program ID: 16 hex digits or FM:MM:MM:CC:CC:UU:TT:NN")
      ->capture_default_str();
  command.add_option("--selector", options.selector, "Selector: the scope searched, 0 to 6")
      ->capture_default_str()
      ->check(CLI::Range(0, 65535));
}

void AddLocaleOption(CLI::App& command, CatalogOptions& options) {
  command.add_option("--locale", options.locale, "Language extension of names, units and texts (enu, deu, ...)");
}

std::string CatalogFolder(const CatalogOptions& options) {
  if (!options.catalog.empty()) return options.catalog;
  if (const char* fromEnvironment = std::getenv("VORNFMT_CATALOG"); fromEnvironment && *fromEnvironment)
    return fromEnvironment;
  return ShippedCatalogFolder(VORNFMT_CATALOG_FROM_PROGRAM).string();
}

std::u16string PidText(const std::string& pid) {
  std::string digits;
  for (char c : pid)
    if (c != ':') digits.push_back(c);
  return codepage::Utf8ToUtf16(digits);
}

namespace {

bool Open(const CatalogOptions& options) {
  if (options.catalogNamed && options.catalog.empty()) {
    std::cerr << "vornfmt: --catalog is empty: name a catalog folder\n";
    return false;
  }
  FormatterEngine& engine = TheEngine();
  const std::string folder = CatalogFolder(options);
  // Opening again would destroy the format files that loaded types still use.
  if (engine.HasCatalog() && engine.CatalogFolder() == codepage::Utf8ToUtf16(folder)) return true;
  engine.OpenCatalog(codepage::Utf8ToUtf16(folder));
  if (engine.HasCatalog()) return true;
  std::cerr << "vornfmt: cannot open the catalog " << folder << ": " << engine.LastLibraryError() << "\n";
  return false;
}

void SetLocale(const std::string& locale) {
  FormatterEngine& engine = TheEngine();
  engine.SetLocaleId(codepage::Utf8ToAnsi(locale));
  if (engine.LocaleId() != codepage::Utf8ToUtf16(locale))
    std::cerr << "vornfmt: unknown language extension " << locale << "; using enu\n";
}

}  // namespace

bool OpenCatalog(const CatalogOptions& options) {
  if (!Open(options)) return false;
  if (!options.locale.empty()) SetLocale(options.locale);
  return true;
}

void PrintSkippedTypeFiles(const char* command) {
  for (const std::u16string& skipped : TheEngine().SkippedTypeFiles())
    std::cerr << "vornfmt " << command << ": skipped at catalog open: " << codepage::Utf16ToUtf8(skipped) << "\n";
}

void PrintFormatFileProblems(const char* command) {
  for (const std::u16string& problem : TheEngine().FormatFileProblems())
    std::cerr << "vornfmt " << command << ": format file left empty: " << codepage::Utf16ToUtf8(problem) << "\n";
}

}  // namespace vornfmt::tool
