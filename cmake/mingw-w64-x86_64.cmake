# Cross-compiling for 64-bit Windows with the Debian mingw-w64 toolchain
# (package g++-mingw-w64-x86-64-posix). Used by scripts/check-windows-syntax.sh
# and scripts/windows.sh.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VORNFMT_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
