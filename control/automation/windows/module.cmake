# The Windows control module, VORNFMT.OCX: a DLL that exports the four entry
# points through a module-definition file, carries its type library (widl,
# from resources/vornfmt.idl) as TYPELIB 1, its string table as a
# STRINGTABLE, its dialog templates as DIALOGEX and bitmaps 1 and 205 (from
# resources/ui/enu/ui.json), shows them through the Win32 dialogs, and links the compiler's
# runtime statically, so that registering it needs no other file.
enable_language(RC)
find_program(VORNFMT_WIDL NAMES ${VORNFMT_MINGW_PREFIX}-widl widl REQUIRED)
# widl resolves importlib(stdole2.tlb) against a compiled copy; Wine ships one.
find_path(VORNFMT_STDOLE2_DIR stdole2.tlb NO_CMAKE_FIND_ROOT_PATH
          PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/i386-linux-gnu/wine/i386-windows
                /usr/lib/wine/x86_64-windows /usr/lib/wine/i386-windows)
if(NOT VORNFMT_STDOLE2_DIR)
  message(FATAL_ERROR "stdole2.tlb, which the type library imports, was not found (Wine provides it)")
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(widl_target --win64)
else()
  set(widl_target --win32)
endif()
set(type_library ${VORNFMT_GENERATED}/control/automation/vornfmt.tlb)
set(module_rc ${VORNFMT_GENERATED}/control/automation/vornfmt.rc)
set(ui_strings ${PROJECT_SOURCE_DIR}/resources/ui/enu/ui.json)
add_custom_command(OUTPUT ${type_library}
  COMMAND ${VORNFMT_WIDL} ${widl_target} -t -I${PROJECT_SOURCE_DIR}/resources -I/usr/share/mingw-w64/include
          -I/usr/${VORNFMT_MINGW_PREFIX}/include -L${VORNFMT_STDOLE2_DIR} -o ${type_library}
          ${CMAKE_CURRENT_SOURCE_DIR}/automation/windows/typelib.idl
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/automation/windows/typelib.idl ${VORNFMT_IDL}
  COMMENT "Compiling the type library from vornfmt.idl")
add_custom_command(OUTPUT ${module_rc}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/rc/module_rc.py ${ui_strings} ${type_library} ${module_rc}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/rc/module_rc.py ${ui_strings} ${PROJECT_SOURCE_DIR}/resources/ui/bitmaps/toolbox.bmp
          ${PROJECT_SOURCE_DIR}/resources/ui/bitmaps/field_states.bmp
  COMMENT "Writing the module's resource script")
set_source_files_properties(${module_rc} PROPERTIES OBJECT_DEPENDS
  "${type_library};${PROJECT_SOURCE_DIR}/resources/ui/bitmaps/toolbox.bmp;${PROJECT_SOURCE_DIR}/resources/ui/bitmaps/field_states.bmp")
target_sources(vornfmt_ocx PRIVATE ${module_rc} ${CMAKE_CURRENT_SOURCE_DIR}/automation/windows/vornfmt.def
  # The editing step's dialogs and message box, over the templates above.
  ${CMAKE_CURRENT_SOURCE_DIR}/automation/windows/win32_module_ui.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/automation/windows/win32_value_editor.cpp)
set_target_properties(vornfmt_ocx PROPERTIES OUTPUT_NAME VORNFMT SUFFIX ".OCX")
target_link_options(vornfmt_ocx PRIVATE -static -Wl,--enable-stdcall-fixup)
