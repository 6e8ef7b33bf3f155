# What both mingw-w64 toolchain files share, once VORNFMT_MINGW_PREFIX names
# the target (i686-w64-mingw32, x86_64-w64-mingw32): the POSIX thread model's
# compilers, which give std::thread and std::mutex, and a find root limited
# to the Windows sysroot.
set(CMAKE_SYSTEM_NAME Windows)
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
