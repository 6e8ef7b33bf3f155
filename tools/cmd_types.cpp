// vornfmt types: how many types the type file of a program ID holds, and
// with --list their names and indexes.
#include <iostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalog/formatter_engine.h"
#include "control/vornfmt_ctrl.h"
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

void PrintTypes(const std::vector<TypeListing>& types, bool json) {
  if (!json) {
    for (const TypeListing& type : types)
      std::cout << (type.isNetworkVariable ? "NVT " : "CPT ") << type.index << " "
                << codepage::Utf16ToUtf8(type.name) << "\n";
    return;
  }
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const TypeListing& type : types)
    list.push_back({{"table", type.isNetworkVariable ? "NVT" : "CPT"},
                    {"index", type.index},
                    {"name", codepage::Utf16ToUtf8(type.name)}});
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
      // The count as hosts get it: the control's TypesCount.
      std::cout << CVornFmtCtrl().TypesCount(pid, static_cast<int16_t>(selector), 0) << "\n";
      exitCode = 0;
      return;
    }
    CTypeFile* file = engine.FindTypeFile(pid, selector);
    if (!file) {
      std::cerr << "vornfmt types: no type file applies to program ID " << options->catalog.pid << " and selector "
                << options->catalog.selector << "\n";
      PrintSkippedTypeFiles("types");
      return;
    }
    PrintTypes(file->ListTypes(), options->json);
    exitCode = 0;
  });
}

}  // namespace vornfmt::tool
