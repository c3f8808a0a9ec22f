# The plug-in as a 64-bit Windows DLL, built by the MinGW-w64 cross compiler
# (cmake/mingw-w64-x86_64.cmake) against the system's own headers:
#
#   target orbalis_plugin -> ${CMAKE_BINARY_DIR}/plugins/Orbalis.dll
#
# The C++ runtime, libgcc and winpthreads are linked in statically, so the
# DLL imports only Windows system DLLs; PluginMain.def makes PluginMain its
# only export; the compiled resources go into its .rsrc section.

# The same .res image as on Linux, turned into a COFF object whose .rsrc
# section the linker places in the DLL.
set(ORBALIS_RES_OBJECT ${CMAKE_BINARY_DIR}/resources/orbalis-res.obj)
add_custom_command(OUTPUT ${ORBALIS_RES_OBJECT}
  COMMAND ${ORBALIS_WINDRES} -J res -i ${ORBALIS_RES} -O coff -o ${ORBALIS_RES_OBJECT}
  DEPENDS ${ORBALIS_RES}
  COMMENT "Placing the plug-in's resources in a COFF .rsrc section"
  VERBATIM)
set_source_files_properties(${ORBALIS_RES_OBJECT} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)

add_library(orbalis_plugin MODULE ${ORBALIS_PLUGIN_SOURCES} ${ORBALIS_RES_OBJECT}
  ${CMAKE_CURRENT_SOURCE_DIR}/PluginMain.def)
target_link_options(orbalis_plugin PRIVATE -static -Wl,--no-undefined)
target_link_libraries(orbalis_plugin PRIVATE user32 gdi32 comctl32 comdlg32 shell32 kernel32)
set_target_properties(orbalis_plugin PROPERTIES PREFIX "" OUTPUT_NAME "Orbalis" SUFFIX ".dll"
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugins)
