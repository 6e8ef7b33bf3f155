# `cpack` (or `cmake --build BUILD --target package`) makes the Debian
# package of everything `cmake --install` puts in place, under /usr.
set(CPACK_PACKAGE_NAME vornfmt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "vornfmt")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "LonWorks network-variable and configuration-property data to text and back")
set(CPACK_PACKAGE_CONTACT "vornfmt developers <vornfmt@localhost>")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The shared libraries the tool and the modules need, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Python module is built for one interpreter version.
if(VORNFMT_PYTHON)
  math(EXPR next_minor "${Python_VERSION_MINOR} + 1")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "python3 (>= ${Python_VERSION_MAJOR}.${Python_VERSION_MINOR}), python3 (<< ${Python_VERSION_MAJOR}.${next_minor})")
endif()
# The static libraries link the system's simdjson: programs built against
# them need its development package (the tool itself needs only the shared
# library, which dpkg-shlibdeps finds).
if(VORNFMT_SIMDJSON_PACKAGE)
  list(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS "libsimdjson-dev")
  list(JOIN CPACK_DEBIAN_PACKAGE_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
endif()
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-dask, python3-distributed, pkgconf")
set(CPACK_STRIP_FILES ON)
include(CPack)
