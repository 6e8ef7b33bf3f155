#include "platform/drive_paths.h"

#include <cstdlib>
#include <string>

#ifndef VORNFMT_DRIVE_ROOT
#define VORNFMT_DRIVE_ROOT "/usr/share/vornfmt/drives"
#endif

namespace vornfmt::platform {
namespace fs = std::filesystem;
namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// `part` in `folder`: the exact name when it exists, else the first entry
// equal to it without case, else the exact name (which does not exist).
fs::path Child(const fs::path& folder, const std::string& part) {
  fs::path exact = folder / part;
  std::error_code ec;
  if (part == "." || part == ".." || fs::exists(exact, ec)) return exact;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (SameIgnoringCase(it->path().filename().string(), part)) return it->path();
  return exact;
}

}  // namespace

fs::path DriveRoot() {
  const char* root = std::getenv("VORNFMT_DRIVES");
  return fs::path(root && *root ? root : VORNFMT_DRIVE_ROOT);
}

fs::path NativePath(std::string_view path) {
  if (path.size() < 2 || !IsLetter(path[0]) || path[1] != ':') return fs::path(path);
  fs::path native = Child(DriveRoot(), std::string("drive_") + Lower(path[0]));
  std::string part;
  for (size_t i = 2; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\' || path[i] == '/') {
      if (!part.empty()) native = Child(native, part);
      part.clear();
    } else {
      part.push_back(path[i]);
    }
  }
  return native;
}

}  // namespace vornfmt::platform
