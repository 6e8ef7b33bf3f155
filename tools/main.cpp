// vornfmt: formats LonWorks network-variable and configuration-property data.
#include <CLI/CLI.hpp>
#include <iostream>

#include "convert/formatter_assembly.h"
#include "tools/commands.h"

#ifndef VORNFMT_VERSION
#define VORNFMT_VERSION "0.0.0"
#endif

int main(int argc, char** argv) {
  // The tool writes through iostreams only; unsynchronised streams buffer by themselves.
  std::ios::sync_with_stdio(false);
  CLI::App app{"vornfmt: LonWorks raw data to text and back, as the resource files describe each type"};
  app.set_version_flag("--version", "vornfmt " VORNFMT_VERSION);
  app.require_subcommand(1);
  // Format-file texts are widened from the ANSI code page. No dialogs and view
  // messages off: a value that cannot be written is refused and the tool says
  // so. Only `edit` opens a dialog, from its own module with its own formatter
  // (tools/edit/edit_module.cpp), so the tool links no user-interface library.
  const std::unique_ptr<vornfmt::Formatter> formatter = vornfmt::AssembleFormatter();
  int exitCode = 0;
  vornfmt::tool::AddTypesCommand(app, exitCode);
  vornfmt::tool::AddStringCommand(app, exitCode);
  vornfmt::tool::AddDescribeCommand(app, exitCode);
  vornfmt::tool::AddFormatsCommand(app, exitCode);
  vornfmt::tool::AddFormatCommand(app, exitCode);
  vornfmt::tool::AddWriteCommand(app, exitCode);
#ifdef VORNFMT_WITH_DIALOGS
  vornfmt::tool::AddEditCommand(app, exitCode);
#endif
  vornfmt::tool::AddRegisterCommand(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Usage errors exit 2 (CLI11's own codes for help and version are 0).
    int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }
  return exitCode;
}
