#pragma once
// Options every command shares: which catalog, program ID and selector, and
// for the commands that show names, units or enumeration texts the language.
#include <string>

#include <CLI/CLI.hpp>


namespace vornfmt::tool {

struct CatalogOptions {
  std::string catalog;  // empty: the shipped standard catalog, unless --catalog was given empty
  std::string pid = "0000000000000000";
  int selector = 0;
  std::string locale;  // --locale; empty: the engine's default (enu)
  bool catalogNamed = false;  // --catalog was given, even empty
};

void AddCatalogOptions(CLI::App& command, CatalogOptions& options);
// Adds --locale EXT, applied when the catalog is opened.
void AddLocaleOption(CLI::App& command, CatalogOptions& options);

// The catalog folder to use: --catalog, else $VORNFMT_CATALOG, else the shipped one.
std::string CatalogFolder(const CatalogOptions& options);

// The program ID as the engine takes it: colons removed, so that both
// 9FFFFF0501840460 and 9F:FF:FF:05:01:84:04:60 work.
std::u16string PidText(const std::string& pid);

// Opens the module-wide engine on the catalog and sets the language of
// --locale; on failure explains why on standard error and answers false. A
// language the library does not know is said on standard error, and the
// texts stay English, as the engine's language setting does.
bool OpenCatalog(const CatalogOptions& options);

// Lines on standard error, "vornfmt COMMAND: ..." each, for what opening the
// catalog left out: the type files it skipped, with the reason; the format
// files it could not read. For failures these may explain.
void PrintSkippedTypeFiles(const char* command);
void PrintFormatFileProblems(const char* command);

}  // namespace vornfmt::tool
