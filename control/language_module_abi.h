#pragma once
// What a language module exports: the user-interface resources of one
// language, as data. A language module is a shared library (a DLL on
// Windows) exporting, with C linkage,
//
//   const VornFmtLanguageModule* VornFmtLanguageResources(void);
//
// The answer, and everything it points at, lives as long as the module (which
// is never unloaded). Texts are UTF-8, NUL-terminated. The German module
// (control/language/german_module.cpp) is the working example.
#include <cstdint>

extern "C" {

#define VORNFMT_LANGUAGE_MODULE_VERSION 1u

struct VornFmtLanguageString {
  uint32_t id;       // the string table's id: 1, 2, 101..106, 108, 200
  const char* text;  // UTF-8
};

struct VornFmtLanguageModule {
  uint32_t version;  // VORNFMT_LANGUAGE_MODULE_VERSION
  const char* language;  // the language's three letters: "deu"
  // The folder of the module's dialog resource set, absolute or relative to
  // the module file; null when the module brings only its string table.
  const char* resourceSet;
  uint32_t stringCount;
  const VornFmtLanguageString* strings;
};

typedef const VornFmtLanguageModule* (*VornFmtLanguageResourcesFunction)(void);

}  // extern "C"
