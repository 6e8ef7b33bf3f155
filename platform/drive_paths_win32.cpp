#include "platform/drive_paths.h"

namespace vornfmt::platform {

std::filesystem::path NativePath(std::string_view path) { return std::filesystem::path(path); }
std::filesystem::path DriveRoot() { return {}; }

}  // namespace vornfmt::platform
