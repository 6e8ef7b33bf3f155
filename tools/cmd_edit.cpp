// vornfmt edit: the value dialog of a type or one of its subfields
// (GetValueVT). The command itself lives in the edit module
// (tools/edit/edit_module.cpp), loaded only when it runs, so that the tool
// starts without the user-interface libraries; here its options are read and
// handed over as plain values.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "platform/module_loader.h"
#include "tools/commands.h"
#include "tools/edit/load_edit_module.h"
#include "tools/value_options.h"

#ifndef VORNFMT_EDIT_MODULE_FROM_PROGRAM
#define VORNFMT_EDIT_MODULE_FROM_PROGRAM "../lib/vornfmt"
#endif
#ifndef VORNFMT_EDIT_MODULE_NAME
#define VORNFMT_EDIT_MODULE_NAME "vornfmt_edit.so"
#endif

namespace vornfmt::tool {
namespace {

struct EditOptions {
  ValueOptions value;
  std::string hex;
};

int Edit(const EditOptions& options) {
  const std::filesystem::path program = platform::ThisModuleFile();
  std::string error = VORNFMT_EDIT_MODULE_NAME ": the program's own folder cannot be told";
  const VornFmtEditFunction edit =
      program.empty() ? nullptr
                      : LoadEditModule(EditModuleFile(program, VORNFMT_EDIT_MODULE_FROM_PROGRAM, VORNFMT_EDIT_MODULE_NAME),
                                       error);
  if (!edit) {
    std::cerr << "vornfmt: edit needs the dialogs module " << error << "\n";
    return 1;
  }
  // The catalog is chosen here, relative to the program, as for every command.
  const CatalogOptions& catalog = options.value.catalog;
  const std::string folder = catalog.catalogNamed ? catalog.catalog : CatalogFolder(catalog);
  const VornFmtEditRequest request{.version = VORNFMT_EDIT_MODULE_VERSION,
                                   .catalog = folder.c_str(),
                                   .pid = catalog.pid.c_str(),
                                   .selector = catalog.selector,
                                   .locale = catalog.locale.c_str(),
                                   .measurementSystem = options.value.measurementSystem.c_str(),
                                   .sub = options.value.sub,
                                   .field = options.value.field.c_str(),
                                   .type = options.value.type.c_str(),
                                   .hex = options.hex.c_str()};
  return edit(&request);
}

}  // namespace

void AddEditCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<EditOptions>();
  CLI::App* command = app.add_subcommand("edit", "Edit a value in its dialog (GetValueVT); print the text and bytes");
  AddValueOptions(*command, options->value);
  command->add_option("TYPE", options->value.type, "Type name, optionally with #MEASUREMENT_SYSTEM")->required();
  command->add_option("HEX", options->hex, "Starting bytes (default: zeros of the type's length)");
  command->callback([options, &exitCode] { exitCode = Edit(*options); });
}

}  // namespace vornfmt::tool
