#pragma once
// What the value commands (format, write) share: the options that address a
// type and one of its subfields, loading the type, and raw bytes given as
// hexadecimal text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/catalog_options.h"
#include "control/type_element_core.h"

namespace vornfmt::tool {

struct ValueOptions {
  CatalogOptions catalog;
  std::string measurementSystem;  // --ms; empty: the type name's "#SYSTEM" or SI
  int sub = -1;                   // --sub
  std::string field;              // --field: the subfield by path name
  int vt = -1;                    // --vt; -1: the command's default
  std::string type;
};

// Adds --catalog, --pid, --selector, --ms, --sub, --field and --vt.
void AddValueOptions(CLI::App& command, ValueOptions& options);

// Opens the catalog (with the format files) and loads the type into
// `element`, with the measurement system of --ms. Explains a failure on
// standard error.
bool LoadType(TypeElementCore& element, const ValueOptions& options, const char* command);

// The subfield index that --sub / --field address; nullopt (explained on
// standard error) for a --field the type does not have.
std::optional<int16_t> SubfieldIndex(TypeElementCore& element, const ValueOptions& options, const char* command);

// Bytes from hexadecimal text: pairs of digits, optionally separated by
// blanks or ':' ("0A28", "0a 28", "0A:28"). False for anything else.
bool UnpackHex(std::string_view text, std::vector<uint8_t>& bytes);

// Upper-case hexadecimal digits without separators.
std::string HexOf(const std::vector<uint8_t>& bytes);

}  // namespace vornfmt::tool
