#pragma once
// The real resource library behind a table that counts the tree calls and
// can be told to fail or alter chosen ones, installed as the module-wide
// engine's library for one test.
#include <string>

#include "catalog/formatter_engine.h"
#include "catalog/ldrf_api.h"

namespace vornfmt::test {

struct TreeScript {
  int reads = 0;             // LdrfReadTypeTreeNode calls so far
  int finds = 0;             // LdrfFindTypeTreeNode calls so far
  int scans = 0;             // LdrfScanTypeTree calls so far
  int readToAlter = 0;       // this read (1 = the first) answers `alteredResult`
  LdrfResult alteredResult = LDRF_OK;
  bool failFinds = false;    // every find answers "not found"
  bool failScans = false;    // every scan answers "bad handle"
  bool failDetails = false;  // scalar, bitfield, enum and double details answer "wrong kind"
};

TreeScript& Script();

// A test's engine on `folder` (under tests/data) with the scripted library,
// installed as the module-wide engine while the object lives.
class ScriptedEngine {
 public:
  // With `formats`, the catalog's format files are read too.
  explicit ScriptedEngine(const std::string& folder, bool formats = false);
  ScriptedEngine(const ScriptedEngine&) = delete;
  ScriptedEngine& operator=(const ScriptedEngine&) = delete;
  ~ScriptedEngine();

  FormatterEngine& Engine() { return engine_; }

 private:
  LdrfApi library_;
  FormatterEngine engine_;
  FormatterEngine* previous_;
};

std::string DataFolder(const std::string& name);

}  // namespace vornfmt::test
