#pragma once
// The registry of a test: a fresh folder named by $VORNFMT_REGISTRY while the
// object lives, so that every registry call of the process (the module's
// too) reads and writes hive files there. Removed afterwards; the previous
// setting is put back. One at a time per process.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "tests/support/temp_folder.h"

namespace vornfmt::test {

class TempRegistry {
 public:
  TempRegistry() {
    if (const char* previous = std::getenv("VORNFMT_REGISTRY")) previous_ = previous;
    setenv("VORNFMT_REGISTRY", folder_.path().c_str(), 1);
  }
  ~TempRegistry() {
    if (previous_) setenv("VORNFMT_REGISTRY", previous_->c_str(), 1);
    else unsetenv("VORNFMT_REGISTRY");
  }
  TempRegistry(const TempRegistry&) = delete;
  TempRegistry& operator=(const TempRegistry&) = delete;

  const std::filesystem::path& Folder() const { return folder_.path(); }
  std::filesystem::path File(const std::string& root) const { return folder_.path() / (root + ".reg"); }

  // The hive file's text; empty when it does not exist.
  std::string Read(const std::string& root) const {
    std::ifstream in(File(root), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void Write(const std::string& root, const std::string& text) const {
    std::ofstream(File(root), std::ios::binary) << text;
  }

 private:
  TempFolder folder_{"vornfmt-registry"};
  std::optional<std::string> previous_;
};

}  // namespace vornfmt::test
