# Cross-compiling for 32-bit Windows with the Debian mingw-w64 toolchain
# (package g++-mingw-w64-i686-posix). Used by scripts/windows.sh.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VORNFMT_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
