// vornfmt types: how many types the type file of a program ID holds.
#include <iostream>

#include "catalog/formatter_engine.h"
#include "tools/catalog_options.h"
#include "tools/commands.h"

namespace vornfmt::tool {

void AddTypesCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<CatalogOptions>();
  CLI::App* command = app.add_subcommand("types", "Print the number of types of the type file that applies");
  AddCatalogOptions(*command, *options);
  command->callback([options, &exitCode] {
    if (!OpenCatalog(*options)) {
      exitCode = 1;
      return;
    }
    std::cout << TheEngine().TypesCount(PidText(options->pid), static_cast<uint16_t>(options->selector), 0) << "\n";
    exitCode = 0;
  });
}

}  // namespace vornfmt::tool
