// vornfmt string: one text of a language file.
#include <iostream>

#include "catalog/formatter_engine.h"
#include "platform/code_page.h"
#include "tools/catalog_options.h"
#include "tools/commands.h"

namespace vornfmt::tool {
namespace {

struct StringOptions {
  CatalogOptions catalog;
  int scope = 0;
  uint32_t index = 0;
};

}  // namespace

void AddStringCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<StringOptions>();
  options->catalog.locale = "enu";
  CLI::App* command = app.add_subcommand("string", "Print one language string by program ID, scope and index");
  AddCatalogOptions(*command, options->catalog);
  command->get_option("--pid")->required();
  AddLocaleOption(*command, options->catalog);
  command->get_option("--locale")->capture_default_str();
  command->add_option("--scope", options->scope, "Scope of the string, 0 to 6")->required()->check(CLI::Range(0, 255));
  command->add_option("--index", options->index, "Index of the string")->required();
  command->callback([options, &exitCode] {
    exitCode = 1;
    if (!OpenCatalog(options->catalog)) return;
    FormatterEngine& engine = TheEngine();
    std::u16string text = engine.LookupString(PidText(options->catalog.pid), static_cast<uint8_t>(options->scope),
                                              options->index);
    if (text.empty()) {
      // The library's own reason: no set, no language file, a language file
      // it refused (with the file), no string of that index.
      std::cerr << "vornfmt string: " << engine.LastLibraryError() << "\n";
      return;
    }
    std::cout << codepage::Utf16ToUtf8(text) << "\n";
    exitCode = 0;
  });
}

}  // namespace vornfmt::tool
