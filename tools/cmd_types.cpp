// vornfmt types: how many types the type file of a program ID holds, and
// with --list their names and indexes.
#include <iostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalog/formatter_engine.h"
#include "catalog/resource_lock.h"
#include "catalog/text_buffer.h"
#include "platform/code_page.h"
#include "tools/catalog_options.h"
#include "tools/commands.h"

namespace vornfmt::tool {
namespace {

struct TypesOptions {
  CatalogOptions catalog;
  bool list = false;
  bool json = false;
};

struct TypeEntry {
  bool networkVariable;
  uint32_t index;
  std::string name;
};

// The type's name as its tree's root node gives it, or empty.
std::u16string RootName(const LdrfApi& library, LdrfHandle tree) {
  TextBuffer name;
  library.LdrfScanTypeTree(tree, nullptr, nullptr);
  int32_t kind = 0;
  if (!TreeCallSucceeded(library.LdrfReadTypeTreeNode(tree, &kind, nullptr, nullptr, name.data, &name.length,
                                                      nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)))
    return {};
  return name.Widen();
}

// Every type of the file, network variables first, each by index.
std::vector<TypeEntry> ListTypes(CTypeFile& file) {
  std::vector<TypeEntry> types;
  if (!file.Open()) return types;
  const LdrfApi& library = TheEngine().Library();
  ResourceGuard guard(ResourceLock());
  for (bool networkVariable : {true, false}) {
    for (uint32_t index = 1; index <= UINT16_MAX; ++index) {
      LdrfHandle tree = 0;
      if (file.GetTypeByIndex(networkVariable, static_cast<uint16_t>(index), tree) != LDRF_OK) continue;
      types.push_back({networkVariable, index, codepage::Utf16ToUtf8(RootName(library, tree))});
      library.LdrfFreeTypeTree(tree);
    }
  }
  return types;
}

void PrintTypes(const std::vector<TypeEntry>& types, bool json) {
  if (!json) {
    for (const TypeEntry& type : types)
      std::cout << (type.networkVariable ? "NVT " : "CPT ") << type.index << " " << type.name << "\n";
    return;
  }
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const TypeEntry& type : types)
    list.push_back({{"table", type.networkVariable ? "NVT" : "CPT"}, {"index", type.index}, {"name", type.name}});
  std::cout << list.dump(2) << "\n";
}

}  // namespace

void AddTypesCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<TypesOptions>();
  CLI::App* command = app.add_subcommand("types", "Print the number of types of the type file that applies");
  AddCatalogOptions(*command, options->catalog);
  command->add_flag("--list", options->list, "List every type: NVT or CPT, its index and its name");
  command->add_flag("--json", options->json, "With --list: print the list as JSON")->needs("--list");
  command->callback([options, &exitCode] {
    exitCode = 1;
    if (!OpenCatalog(options->catalog)) return;
    FormatterEngine& engine = TheEngine();
    const std::u16string pid = PidText(options->catalog.pid);
    const auto selector = static_cast<uint16_t>(options->catalog.selector);
    if (!options->list) {
      std::cout << engine.TypesCount(pid, selector, 0) << "\n";
      exitCode = 0;
      return;
    }
    CTypeFile* file = engine.FindTypeFile(pid, selector);
    if (!file) {
      std::cerr << "vornfmt: no type file applies to program ID " << options->catalog.pid << " and selector "
                << options->catalog.selector << "\n";
      return;
    }
    PrintTypes(ListTypes(*file), options->json);
    exitCode = 0;
  });
}

}  // namespace vornfmt::tool
