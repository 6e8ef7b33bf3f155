// vornfmt formats: the compiled format specifications of the catalog's format
// files, and --check FILE: what a single format file's loader drops.
//
//   vornfmt formats [--catalog DIR] [--pid PID] [--selector N] [TYPE]
//   vornfmt formats --check FILE [TYPE]
//
// Without --pid every format file of the catalog is listed; with it only the
// one that applies to the program ID and selector. TYPE limits the listing to
// one type name. --check exits 1 when an entry was dropped or shows nothing.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "catalog/format_file_loader.h"
#include "catalog/formatter_engine.h"
#include "format/entry_recorder.h"
#include "format/fmt_file.h"
#include "format/fmt_file_factory.h"
#include "format/format_dump.h"
#include "format/type_name.h"
#include "platform/code_page.h"
#include "tools/catalog_options.h"
#include "tools/commands.h"

namespace vornfmt::tool {
namespace {

struct FormatsOptions {
  CatalogOptions catalog;
  bool pid_given = false;
  std::string check_file;
  std::string type_name;
};

// Every format object of the file once, NVT names first, each table in name
// order.
std::vector<const CFmtObject*> AllObjects(const CFmtFile& file) {
  std::vector<const CFmtObject*> objects = file.NvtObjects();
  for (const CFmtObject* object : file.CptObjects()) {
    if (!IsNvtName(object->Name())) objects.push_back(object);
  }
  return objects;
}

// Prints the file's objects (or only `type_name`); false when `type_name` is
// given and the file has no object for it.
bool PrintFormatFile(const CFmtFile& file, const std::string& type_name) {
  std::cout << "format file " << codepage::Utf16ToUtf8(file.FileName()) << ": "
            << file.NvtCount() << " NVT names, " << file.CptCount() << " CPT names\n";
  if (!type_name.empty()) {
    const CFmtObject* object = file.FindObject(codepage::Utf8ToUtf16(type_name));
    if (!object) {
      std::cout << "  " << type_name << ": no format object\n";
      std::cerr << "vornfmt formats: " << codepage::Utf16ToUtf8(file.FileName()) << " has no format object for "
                << type_name << "\n";
      return false;
    }
    std::cout << DescribeFormatObject(*object, 1);
    return true;
  }
  for (const CFmtObject* object : AllObjects(file)) std::cout << DescribeFormatObject(*object, 1);
  return true;
}

int ListCatalog(const FormatsOptions& options) {
  if (!OpenCatalog(options.catalog)) return 1;
  FormatterEngine& engine = TheEngine();
  if (options.pid_given) {
    const auto selector = static_cast<uint16_t>(options.catalog.selector);
    const auto* file = AsFmtFile(engine.FindFormatFile(PidText(options.catalog.pid), selector));
    if (!file) {
      std::cerr << "vornfmt formats: no format file applies to program ID " << options.catalog.pid
                << " and selector " << options.catalog.selector << "\n";
      PrintFormatFileProblems("formats");
      return 1;
    }
    return PrintFormatFile(*file, options.type_name) ? 0 : 1;
  }
  bool found = options.type_name.empty();
  for (const auto& [path, base] : engine.FormatFiles()) {
    const auto* file = AsFmtFile(base.get());
    if (!file) continue;
    if (!options.type_name.empty() && !file->FindObject(codepage::Utf8ToUtf16(options.type_name))) continue;
    found = PrintFormatFile(*file, options.type_name) || found;
  }
  if (!found) {
    std::cerr << "vornfmt formats: no format file of the catalog has a format for " << options.type_name << "\n";
    PrintFormatFileProblems("formats");
  }
  return found ? 0 : 1;
}

void PrintProblem(const EntryRecord& record) {
  std::cout << "entry " << record.number << ": ";
  if (record.result.outcome == EntryOutcome::Added) {
    std::cout << "compiles to nothing (shows no text)";
  } else {
    std::cout << EntryOutcomeText(record.result.outcome);
  }
  std::cout << "\n  " << Quoted(codepage::FromAnsi(record.text)) << "\n";
}

// Every entry of the file is counted, the one it leaves incomplete at its
// end too (the loader drops it); each that gives no usable format is named.
int CheckFile(const FormatsOptions& options) {
  CFmtFile file(codepage::Utf8ToUtf16(options.check_file), &codepage::FromAnsi);
  EntryRecorder recorder(file);
  std::string error, unfinished;
  if (!LoadFormatFile(options.check_file, recorder, error, &unfinished)) {
    std::cerr << "vornfmt formats: cannot read " << options.check_file << ": " << error << "\n";
    return 1;
  }
  const std::vector<const EntryRecord*> problems = recorder.Problems();
  for (const EntryRecord* record : problems) PrintProblem(*record);
  size_t entries = recorder.Records().size();
  size_t unusable = problems.size();
  if (!unfinished.empty()) {
    ++entries;
    ++unusable;
    std::cout << "entry " << entries << ": never complete at the end of the file (dropped)\n  "
              << Quoted(codepage::FromAnsi(unfinished)) << "\n";
  }
  std::cout << options.check_file << ": " << entries << " entries, " << entries - unusable << " usable, "
            << unusable << " dropped or showing nothing\n";
  const bool typeMissing = !options.type_name.empty() && !PrintFormatFile(file, options.type_name);
  if (unusable > 0)
    std::cerr << "vornfmt formats: " << unusable << " of " << entries << " entries of " << options.check_file
              << " give no usable format\n";
  return unusable == 0 && !typeMissing ? 0 : 1;
}

}  // namespace

void AddFormatsCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<FormatsOptions>();
  CLI::App* command = app.add_subcommand(
      "formats", "Print the compiled format specifications of the catalog's format files, or check one file");
  AddCatalogOptions(*command, options->catalog);
  CLI::Option* check = command->add_option(
      "--check", options->check_file,
      "Load one format file and list the entries that are dropped or compile to nothing (exit 1 if any)");
  check->excludes(command->get_option("--catalog"))
      ->excludes(command->get_option("--pid"))
      ->excludes(command->get_option("--selector"));
  command->add_option("TYPE", options->type_name, "Only this type name (exact, case-sensitive)");
  command->callback([options, command, &exitCode] {
    options->pid_given = command->count("--pid") > 0;
    exitCode = options->check_file.empty() ? ListCatalog(*options) : CheckFile(*options);
  });
}

}  // namespace vornfmt::tool
