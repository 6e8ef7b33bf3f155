#pragma once
// Windows folder names on a system without drive letters. A path that starts
// with a drive letter ("C:\LonWorks\Types", "d:/data") is mapped through the
// drive table: drive X is the folder "drive_x" (lower case) in the drive
// root, as Wine keeps drive C in its drive_c folder, and the rest of the path
// follows with its backslashes read as separators. Each part is matched
// without case when no file of exactly that name exists, as Windows matches
// it. The drive root is $VORNFMT_DRIVES when set, else the folder the build
// names (VORNFMT_DRIVE_ROOT; the build folder's "drives", which holds
// drive_c/LonWorks/Types, the shipped catalog). Any other path -- a native
// one, a relative one -- is left as it is.
//
// On Windows the path is always left as it is (drive_paths_win32.cpp).
#include <filesystem>
#include <string_view>

namespace vornfmt::platform {

std::filesystem::path NativePath(std::string_view path);
// The folder drive letters map into.
std::filesystem::path DriveRoot();

}  // namespace vornfmt::platform
