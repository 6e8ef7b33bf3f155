# simdjson parses the type files. Where the system has it as a package
# (Debian's libsimdjson-dev) the library links that; a build for another
# system, such as the Windows cross build that cannot use the build
# machine's Linux library, compiles it from the amalgamated source of the
# same release instead: VORNFMT_SIMDJSON_SOURCE_DIR names the folder holding
# simdjson.cpp and simdjson.h (scripts/install-deps.sh fetches them,
# scripts/windows-header-libraries.sh finds them).
set(VORNFMT_SIMDJSON_SOURCE_DIR "" CACHE PATH
    "Folder of simdjson.cpp and simdjson.h to compile instead of the simdjson package (Windows builds)")

if(VORNFMT_SIMDJSON_SOURCE_DIR)
  foreach(file simdjson.cpp simdjson.h)
    if(NOT EXISTS "${VORNFMT_SIMDJSON_SOURCE_DIR}/${file}")
      message(FATAL_ERROR "VORNFMT_SIMDJSON_SOURCE_DIR: no ${file} in ${VORNFMT_SIMDJSON_SOURCE_DIR}")
    endif()
  endforeach()
  add_library(vornfmt_simdjson STATIC "${VORNFMT_SIMDJSON_SOURCE_DIR}/simdjson.cpp")
  # The library's own code is not held to this project's warnings.
  target_include_directories(vornfmt_simdjson SYSTEM PUBLIC $<BUILD_INTERFACE:${VORNFMT_SIMDJSON_SOURCE_DIR}>)
  target_compile_options(vornfmt_simdjson PRIVATE -w)
  # The i686 module uses simdjson's portable kernel knowingly: no note in
  # every file that includes the header.
  target_compile_definitions(vornfmt_simdjson PUBLIC SIMDJSON_NO_PORTABILITY_WARNING)
  set_target_properties(vornfmt_simdjson PROPERTIES EXPORT_NAME simdjson POSITION_INDEPENDENT_CODE ON)
  add_library(simdjson::simdjson ALIAS vornfmt_simdjson)
  set(VORNFMT_SIMDJSON_PACKAGE OFF)
elseif(WIN32)
  message(FATAL_ERROR "A Windows build compiles simdjson from its source: give -DVORNFMT_SIMDJSON_SOURCE_DIR "
                      "(scripts/install-deps.sh fetches it; scripts/windows.sh passes it)")
else()
  find_package(simdjson 3 REQUIRED CONFIG)
  set(VORNFMT_SIMDJSON_PACKAGE ON)
endif()
