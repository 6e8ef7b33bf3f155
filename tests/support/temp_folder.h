#pragma once
// A fresh folder of a test's own under the system's temporary folder,
// removed with everything in it when the object goes.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace vornfmt::test {

class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix = "vornfmt-test") {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace vornfmt::test
