#pragma once
// Each command adds itself to the application; its callback stores the exit code.
#include <CLI/CLI.hpp>

namespace vornfmt::tool {

void AddTypesCommand(CLI::App& app, int& exitCode);
void AddStringCommand(CLI::App& app, int& exitCode);
void AddDescribeCommand(CLI::App& app, int& exitCode);
void AddFormatsCommand(CLI::App& app, int& exitCode);
void AddFormatCommand(CLI::App& app, int& exitCode);
void AddWriteCommand(CLI::App& app, int& exitCode);
void AddEditCommand(CLI::App& app, int& exitCode);
void AddRegisterCommand(CLI::App& app, int& exitCode);

}  // namespace vornfmt::tool
