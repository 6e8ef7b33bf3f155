#pragma once
// A resource library that calls the real one but counts calls and can be told
// to fail chosen ones, for cases real files cannot produce.
#include "catalog/ldrf_api.h"

namespace vornfmt::test {

struct Script {
  int openFileCalls = 0;
  int catalogGetFileCalls = 0;
  bool sameFormatPathTwice = false;  // every listed format file gets the first path
  bool failLanguageInfo = false;
  bool failStringStop = false;
  bool failMemberCount = false;
};

Script& TheScript();

// The real library with the scripted entries in place; resets the script.
LdrfApi ScriptedLdrf();

}  // namespace vornfmt::test
