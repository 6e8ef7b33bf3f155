# Cross-compiling for 64-bit Windows with the Debian mingw-w64 toolchain
# (packages g++-mingw-w64-x86-64-posix: the POSIX thread model, which gives
# std::thread and std::mutex). Used by scripts/check-windows-syntax.sh and
# scripts/windows.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VORNFMT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VORNFMT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORNFMT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VORNFMT_MINGW_PREFIX}-windres)

# Headers and libraries come from the Windows sysroot only, never from the
# build machine's /usr/include.
set(CMAKE_FIND_ROOT_PATH /usr/${VORNFMT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
