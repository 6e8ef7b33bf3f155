# Sourced by the scripts that configure Windows builds (and by
# scripts/install-deps.sh, which fetches simdjson's source). nlohmann/json is
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

# simdjson has a Linux library only in Debian's package: Windows builds
# compile the amalgamated simdjson.cpp and simdjson.h of the same release,
# taken from its Debian source package into a cache outside the repository.
SIMDJSON_SOURCE_DIR="${VORNFMT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vornfmt}/simdjson"

# FetchSimdjsonSource: downloads the source package (a deb-src entry must be
# configured) and keeps its singleheader/ files in $SIMDJSON_SOURCE_DIR.
FetchSimdjsonSource() {
  [ -f "$SIMDJSON_SOURCE_DIR/simdjson.cpp" ] && [ -f "$SIMDJSON_SOURCE_DIR/simdjson.h" ] && return 0
  local work
  work="$(mktemp -d)"
  (cd "$work" && apt-get source --download-only simdjson >/dev/null)
  local tarball
  tarball="$(ls "$work"/simdjson_*.orig.tar.* | head -1)"
  tar -xf "$tarball" -C "$work" --wildcards '*/singleheader/simdjson.cpp' '*/singleheader/simdjson.h'
  mkdir -p "$SIMDJSON_SOURCE_DIR"
  cp "$work"/*/singleheader/simdjson.cpp "$work"/*/singleheader/simdjson.h "$SIMDJSON_SOURCE_DIR/"
  basename "$tarball" > "$SIMDJSON_SOURCE_DIR/SOURCE"
  rm -rf "$work"
}

# WindowsSimdjsonSource: prints the folder to pass to CMake as
# VORNFMT_SIMDJSON_SOURCE_DIR, or fails when it was never fetched.
WindowsSimdjsonSource() {
  if [ ! -f "$SIMDJSON_SOURCE_DIR/simdjson.cpp" ]; then
    echo "no simdjson source in $SIMDJSON_SOURCE_DIR: scripts/install-deps.sh fetches it" >&2
    return 1
  fi
  echo "$SIMDJSON_SOURCE_DIR"
}
