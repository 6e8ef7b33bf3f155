# What `cmake --install` puts where: the tool and its man page, the
# libraries with the headers their face needs, the shipped catalog, the
# CMake package (find_package(vornfmt CONFIG): vornfmt::vornfmt and one
# vornfmt::LAYER per library) and the pkg-config file.
include(CMakePackageConfigHelpers)

set(VORNFMT_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/vornfmt")
set(VORNFMT_INSTALL_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}/vornfmt")

# One target for users: the whole library, type element and engine.
add_library(vornfmt_vornfmt INTERFACE)
add_library(vornfmt::vornfmt ALIAS vornfmt_vornfmt)
target_link_libraries(vornfmt_vornfmt INTERFACE vornfmt_control)
set_target_properties(vornfmt_vornfmt PROPERTIES EXPORT_NAME vornfmt)

set(vornfmt_libraries vornfmt_vornfmt vornfmt_control vornfmt_convert vornfmt_typetree vornfmt_format
                      vornfmt_catalog vornfmt_ldrf vornfmt_platform)
if(TARGET vornfmt_winapi)
  list(APPEND vornfmt_libraries vornfmt_winapi)
  set_target_properties(vornfmt_winapi PROPERTIES EXPORT_NAME winapi)
endif()
# simdjson compiled from its source is installed with the libraries that
# link it; the package's is found by vornfmtConfig.cmake.
if(TARGET vornfmt_simdjson)
  list(APPEND vornfmt_libraries vornfmt_simdjson)
endif()
install(TARGETS ${vornfmt_libraries} EXPORT vornfmtTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime
        INCLUDES DESTINATION ${VORNFMT_INSTALL_INCLUDEDIR})
install(EXPORT vornfmtTargets NAMESPACE vornfmt:: DESTINATION ${VORNFMT_INSTALL_CMAKEDIR} COMPONENT Development)

# The public headers are the faces a user includes and what they include in
# turn, no more: the compiler lists them at install time, so the installed
# set follows the sources without a list to keep.
set(VORNFMT_FACE_HEADERS control/type_element_core.h convert/formatter_assembly.h catalog/shipped_catalog.h
                          platform/code_page.h platform/automation/bstr_text.h)
install(CODE "set(VORNFMT_CXX \"${CMAKE_CXX_COMPILER}\")
  set(VORNFMT_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
  set(VORNFMT_FACE_HEADERS \"${VORNFMT_FACE_HEADERS}\")
  set(VORNFMT_HEADER_DESTINATION \"${VORNFMT_INSTALL_INCLUDEDIR}\")" COMPONENT Development)
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/install_public_headers.cmake COMPONENT Development)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/catalog/ DESTINATION ${VORNFMT_INSTALL_CATALOGDIR}
        COMPONENT Runtime)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/vornfmtConfig.cmake.in
  ${PROJECT_BINARY_DIR}/vornfmtConfig.cmake INSTALL_DESTINATION ${VORNFMT_INSTALL_CMAKEDIR}
  PATH_VARS VORNFMT_INSTALL_CATALOGDIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/vornfmtConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/vornfmtConfig.cmake ${PROJECT_BINARY_DIR}/vornfmtConfigVersion.cmake
        DESTINATION ${VORNFMT_INSTALL_CMAKEDIR} COMPONENT Development)

# pkg-config: relocatable (${pcfiledir}); static libraries in link order.
file(RELATIVE_PATH VORNFMT_PREFIX_FROM_PCDIR "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig"
     "${CMAKE_INSTALL_PREFIX}")
set(VORNFMT_PC_LIBS "-lvornfmt_control -lvornfmt_convert -lvornfmt_typetree -lvornfmt_format -lvornfmt_catalog -lvornfmt_ldrf -lvornfmt_platform")
if(TARGET vornfmt_simdjson)
  string(APPEND VORNFMT_PC_LIBS " -lvornfmt_simdjson")
else()
  string(APPEND VORNFMT_PC_LIBS " -lsimdjson")
endif()
if(TARGET vornfmt_winapi)
  string(APPEND VORNFMT_PC_LIBS " -lvornfmt_winapi ${CMAKE_DL_LIBS}")
  list(TRANSFORM VORNFMT_PC_LIBS REPLACE "dl$" "-ldl")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/vornfmt.pc.in ${PROJECT_BINARY_DIR}/vornfmt.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vornfmt.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)

if(TARGET vornfmt)
  install(TARGETS vornfmt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
  if(VORNFMT_DIALOGS)
    # `vornfmt edit` loads its dialogs from a module beside the libraries,
    # which finds the dialogs' resource sets relative to itself.
    install(TARGETS vornfmt_edit LIBRARY DESTINATION ${VORNFMT_INSTALL_MODULEDIR} COMPONENT Runtime)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/ui/ DESTINATION ${VORNFMT_INSTALL_UIDIR} COMPONENT Runtime
            PATTERN "*.py" EXCLUDE)
  endif()
  # The man page is the tool's own help, every command's, set as a page.
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/vornfmt.1.gz
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/man/help_to_man.py $<TARGET_FILE:vornfmt>
            ${PROJECT_VERSION} ${PROJECT_BINARY_DIR}/vornfmt.1.gz
    DEPENDS vornfmt ${PROJECT_SOURCE_DIR}/tools/man/help_to_man.py VERBATIM)
  add_custom_target(vornfmt_man ALL DEPENDS ${PROJECT_BINARY_DIR}/vornfmt.1.gz)
  install(FILES ${PROJECT_BINARY_DIR}/vornfmt.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT Runtime)
endif()
