#pragma once
// What the edit module exports: the whole `vornfmt edit` command, the dialogs
// and everything they need, so that the tool itself links no user-interface
// library and loads one only when `edit` runs. The module is a shared library
// (vornfmt_edit.so; a DLL on Windows) exporting, with C linkage,
//
//   int VornFmtEdit(const VornFmtEditRequest* request);
//
// which answers the command's exit code after writing its output and its
// messages to standard output and standard error. Only plain values cross:
// the tool and the module each link their own copy of the libraries, so
// nothing built by one is handed to the other. Texts are UTF-8,
// NUL-terminated, and need live only during the call.
#include <cstdint>

extern "C" {

#define VORNFMT_EDIT_MODULE_VERSION 1u
#define VORNFMT_EDIT_ENTRY_POINT "VornFmtEdit"

struct VornFmtEditRequest {
  uint32_t version;  // VORNFMT_EDIT_MODULE_VERSION
  // The catalog folder, as the tool chose it (--catalog, $VORNFMT_CATALOG or
  // the shipped one); empty when --catalog was given empty.
  const char* catalog;
  const char* pid;                // --pid
  int32_t selector;               // --selector
  const char* locale;             // --locale; empty: the engine's default
  const char* measurementSystem;  // --ms; empty: the type name's or SI
  int32_t sub;                    // --sub
  const char* field;              // --field; empty: none
  const char* type;               // TYPE, optionally with #MEASUREMENT_SYSTEM
  const char* hex;                // HEX; empty: zeros of the type's length
};

typedef int (*VornFmtEditFunction)(const VornFmtEditRequest* request);

}  // extern "C"
