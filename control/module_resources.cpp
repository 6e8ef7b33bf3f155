#include "control/module_resources.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "control/language_module_abi.h"
#include "control/module_ui.h"
#include "platform/code_page.h"
#include "platform/module_loader.h"

namespace vornfmt {
namespace {

constexpr size_t kMaxStrings = 65536;
constexpr size_t kMaxTextBytes = 65536;
constexpr size_t kMaxLanguageBytes = 16;

// The module's own string table.
const std::map<uint32_t, std::u16string>& OwnStrings() {
  static const std::map<uint32_t, std::u16string> strings = {
      {1, u"VornFmt Control"},
      {2, u"VornFmt Property Page"},
      {101, u"Data exceeds bounds."},
      {102, u"Unknown enum string."},
      {103, u"Found non-hexadecimal digit."},
      {104, u"Too many digits after decimal point or wrong resolution."},
      {105, u"The number cannot be less than zero."},
      {106, u"Wrong data."},
      {108, u"Software\\Kestrane GmbH\\Ardmoor Tool Set\\Components"},
      {200, u"General"},
  };
  return strings;
}

struct Source {
  std::string language = "enu";
  std::map<uint32_t, std::u16string> strings;
  std::filesystem::path resourceSet;
};

struct Current {
  std::mutex mutex;
  std::shared_ptr<const Source> source;  // null: the module's own
  ModuleUi* ui = nullptr;
  bool uiSetChosen = false;  // the UI's current set is the source's
};

Current& TheCurrent() {
  static Current current;
  return current;
}

std::shared_ptr<const Source> CurrentSource() {
  Current& current = TheCurrent();
  std::lock_guard<std::mutex> guard(current.mutex);
  return current.source;
}

// The resources a module answers, checked; null with `error` when they are
// not of the documented form.
std::shared_ptr<Source> ReadModule(const VornFmtLanguageModule* module, const std::filesystem::path& file,
                                   std::string& error) {
  if (!module || module->version != VORNFMT_LANGUAGE_MODULE_VERSION) {
    error = file.string() + ": not a language module of version 1";
    return nullptr;
  }
  if (!module->language || strnlen(module->language, kMaxLanguageBytes + 1) > kMaxLanguageBytes ||
      !*module->language || module->stringCount > kMaxStrings || (module->stringCount && !module->strings)) {
    error = file.string() + ": the language module's resources are not of the documented form";
    return nullptr;
  }
  auto source = std::make_shared<Source>();
  source->language = module->language;
  for (uint32_t i = 0; i < module->stringCount; ++i) {
    const VornFmtLanguageString& entry = module->strings[i];
    const size_t length = entry.text ? strnlen(entry.text, kMaxTextBytes + 1) : kMaxTextBytes + 1;
    if (length > kMaxTextBytes) {
      error = file.string() + ": string " + std::to_string(entry.id) + " is missing or longer than 65536 bytes";
      return nullptr;
    }
    source->strings[entry.id] = codepage::Utf8ToUtf16(std::string_view(entry.text, length));
  }
  if (module->resourceSet && strnlen(module->resourceSet, 4096) < 4096 && *module->resourceSet) {
    const std::filesystem::path set(module->resourceSet);
    source->resourceSet = set.is_absolute() ? set : file.parent_path() / set;
  }
  return source;
}

// Makes `source` current and, with a user interface, its resource set the
// UI's. A language module without a readable set of its own keeps its
// string table; its dialogs are the built-in English ones.
void MakeCurrent(std::shared_ptr<const Source> source) {
  Current& current = TheCurrent();
  std::lock_guard<std::mutex> guard(current.mutex);
  current.source = std::move(source);
  current.uiSetChosen = false;
  if (!current.ui) return;
  const std::filesystem::path folder = current.source ? current.source->resourceSet : std::filesystem::path();
  const bool own = !current.source;
  if ((own || !folder.empty()) && current.ui->SelectResourceSet(folder)) current.uiSetChosen = true;
  else current.ui->SelectResourceSet({});
}

}  // namespace

ModuleUi* InstallModuleUi(ModuleUi* ui) {
  Current& current = TheCurrent();
  std::lock_guard<std::mutex> guard(current.mutex);
  ModuleUi* previous = current.ui;
  current.ui = ui;
  current.uiSetChosen = false;
  return previous;
}

ModuleUi* CurrentModuleUi() {
  Current& current = TheCurrent();
  std::lock_guard<std::mutex> guard(current.mutex);
  return current.ui;
}

std::u16string ModuleString(uint32_t id) {
  {
    Current& current = TheCurrent();
    std::lock_guard<std::mutex> guard(current.mutex);
    if (current.ui && current.uiSetChosen)
      if (std::optional<std::u16string> text = current.ui->String(id)) return *text;
  }
  if (auto source = CurrentSource()) {
    auto it = source->strings.find(id);
    if (it != source->strings.end()) return it->second;
  }
  auto own = OwnStrings().find(id);
  return own == OwnStrings().end() ? std::u16string() : own->second;
}

std::string ResourceLanguage() {
  auto source = CurrentSource();
  return source ? source->language : "enu";
}

std::filesystem::path ResourceSetFolder() {
  auto source = CurrentSource();
  return source ? source->resourceSet : std::filesystem::path();
}

bool SelectLanguageModule(std::u16string_view fileName, std::string& error) {
  const std::filesystem::path name(codepage::Utf16ToUtf8(fileName));
  if (name.empty()) {
    error = "no language module named";
    return false;
  }
  // A bare name is looked for beside the control module first.
  void* module = nullptr;
  std::filesystem::path file = name;
  if (!name.has_parent_path()) {
    const std::filesystem::path beside = platform::ThisModuleFile().parent_path() / name;
    std::error_code ec;
    if (!beside.parent_path().empty() && std::filesystem::exists(beside, ec)) file = beside;
  }
  module = platform::LoadModule(file, error);
  if (!module) return false;
  auto resources = reinterpret_cast<VornFmtLanguageResourcesFunction>(
      platform::ModuleSymbol(module, "VornFmtLanguageResources"));
  if (!resources) {
    error = file.string() + ": exports no VornFmtLanguageResources";
    return false;
  }
  std::shared_ptr<Source> source = ReadModule(resources(), file, error);
  if (!source) return false;
  MakeCurrent(std::move(source));
  return true;
}

void SelectOwnResources() { MakeCurrent(nullptr); }

}  // namespace vornfmt
