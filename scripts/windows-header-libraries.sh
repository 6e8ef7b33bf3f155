# Sourced by the scripts that configure Windows builds. nlohmann/json is
# header-only; a Windows build may use the build machine's copy, but
# /usr/include must not reach the Windows compiler (glibc's headers would
# stand in for the Windows runtime's). So the package is offered through a
# folder that holds nothing but that library.
#
# WindowsHeaderLibraries BUILD_DIR: prints the folder to pass to CMake as
# nlohmann_json_DIR.
WindowsHeaderLibraries() {
  local shim="$1/host-header-libraries"
  mkdir -p "$shim/include" "$shim/nlohmann_json"
  ln -sfn /usr/include/nlohmann "$shim/include/nlohmann"
  cat > "$shim/nlohmann_json/nlohmann_jsonConfigVersion.cmake" <<'CMAKE'
include(/usr/share/cmake/nlohmann_json/nlohmann_jsonConfigVersion.cmake)
CMAKE
  cat > "$shim/nlohmann_json/nlohmann_jsonConfig.cmake" <<'CMAKE'
if(NOT TARGET nlohmann_json::nlohmann_json)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${CMAKE_CURRENT_LIST_DIR}/../include")
endif()
CMAKE
  echo "$shim/nlohmann_json"
}
