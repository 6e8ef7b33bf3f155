// vornfmt string: one text of a language file.
#include <iostream>

#include "catalog/formatter_engine.h"
#include "control/vornfmt_ctrl.h"
#include "platform/code_page.h"
#include "tools/catalog_options.h"
#include "tools/commands.h"

namespace vornfmt::tool {
namespace {

struct StringOptions {
  CatalogOptions catalog;
  std::string locale = "enu";
  int scope = 0;
  uint32_t index = 0;
};

}  // namespace

void AddStringCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<StringOptions>();
  CLI::App* command = app.add_subcommand("string", "Print one language string by program ID, scope and index");
  AddCatalogOptions(*command, options->catalog);
  command->get_option("--pid")->required();
  command->add_option("--locale", options->locale, "Language extension (enu, deu, ...)")->capture_default_str();
  command->add_option("--scope", options->scope, "Scope of the string, 0 to 6")->required()->check(CLI::Range(0, 255));
  command->add_option("--index", options->index, "Index of the string")->required();
  command->callback([options, &exitCode] {
    if (!OpenCatalog(options->catalog)) {
      exitCode = 1;
      return;
    }
    FormatterEngine& engine = TheEngine();
    // The language as hosts set it: the control's LocaleId.
    CVornFmtCtrl control;
    control.SetLocaleId(codepage::Utf8ToUtf16(options->locale));
    if (control.LocaleId() != codepage::Utf8ToUtf16(options->locale))
      std::cerr << "vornfmt: unknown language extension " << options->locale << "; using enu\n";
    std::u16string text = engine.LookupString(PidText(options->catalog.pid), static_cast<uint8_t>(options->scope),
                                              options->index);
    std::cout << codepage::Utf16ToUtf8(text) << "\n";
    exitCode = text.empty() ? 1 : 0;
  });
}

}  // namespace vornfmt::tool
