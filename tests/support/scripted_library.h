#pragma once
// The real resource library behind a table that counts chosen calls and can
// be told to fail or alter them, for cases real files cannot produce.
#include "catalog/ldrf_api.h"

namespace vornfmt::test {

struct Script {
  int openFileCalls = 0, catalogGetFileCalls = 0;
  int reads = 0, finds = 0, scans = 0;  // tree calls so far
  int enumMembers = 0;                   // enumeration members asked by value
  bool sameFormatPathTwice = false;     // every listed format file gets the first path
  bool failLanguageInfo = false, failStringStop = false, failMemberCount = false;
  int readToAlter = 0;  // this node read (1 = the first) answers `alteredResult`
  LdrfResult alteredResult = LDRF_OK;
  bool failFinds = false;    // every find answers "not found"
  bool failScans = false;    // every scan answers "bad handle"
  bool failDetails = false;  // scalar, bitfield, enum and double details answer "wrong kind"
};

Script& TheScript();

// The real library with the scripted entries in place; resets the script.
LdrfApi ScriptedLdrf();

}  // namespace vornfmt::test
