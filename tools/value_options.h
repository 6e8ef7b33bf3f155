#pragma once
// What the value commands (format, write) share: the options that address a
// type and one of its subfields, loading the type, raw bytes given as
// hexadecimal text, and the sentences that say why a conversion failed.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/catalog_options.h"
#include "tools/tool_text.h"
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

// Adds --catalog, --pid, --selector, --locale, --ms, --sub, --field and --vt.
void AddValueOptions(CLI::App& command, ValueOptions& options);

// Loads the type into `element` (the catalog must be open), with the
// measurement system of --ms. On failure `reason` says why.
bool LoadType(TypeElementCore& element, const ValueOptions& options, std::string& reason);
// The same, opening the catalog first; explains a failure on standard error,
// with the type files the catalog skipped.
bool LoadType(TypeElementCore& element, const ValueOptions& options, const char* command);

// LoadType (opening the catalog) and SubfieldIndex in one, for the value
// commands; explains a failure on standard error.
std::optional<int16_t> LoadTypeAndSubfield(TypeElementCore& element, const ValueOptions& options, const char* command);

// The subfield index that --sub / --field address; nullopt when the type has
// no such --field, with the reason.
std::optional<int16_t> SubfieldIndex(TypeElementCore& element, const ValueOptions& options, std::string& reason);

// The type's length in bytes.
size_t TypeLength(TypeElementCore& element);
// "HEX has 1 byte; SNVT_alarm_2 takes 31" when `have` is not the length of
// the type; empty when it is.
std::string LengthMismatch(std::string_view what, size_t have, TypeElementCore& element);

// Why Format answered false, from its result and the element.
std::string FormatFailure(TypeElementCore& element, const VARIANT& result, VARTYPE vt, int16_t sub);
// "UNVT_x has no format" (with the measurement system when there is one).
std::string NoFormat(TypeElementCore& element);
// "--vt 77 is no VARTYPE", or why a number does not become VARTYPE vt.
std::string ConversionFailure(HRESULT code, VARTYPE vt);


}  // namespace vornfmt::tool
