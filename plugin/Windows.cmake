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

add_library(orbalis_plugin MODULE ${ORBALIS_PLUGIN_OBJECTS} ${ORBALIS_RES_OBJECT}
  ${CMAKE_CURRENT_SOURCE_DIR}/PluginMain.def)
# Release builds leave out the symbol table, as a shipped DLL does.
target_link_options(orbalis_plugin PRIVATE -static -Wl,--no-undefined $<$<CONFIG:Release>:-s>)
target_link_libraries(orbalis_plugin PRIVATE user32 gdi32 comctl32 comdlg32 shell32 kernel32)
set_target_properties(orbalis_plugin PROPERTIES PREFIX "" OUTPUT_NAME "Orbalis" SUFFIX ".dll"
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugins)

# The release: a zip with the DLL, how to install it, and the notices of the
# runtime libraries linked into it.
#
#   target orbalis_release_zip -> ${CMAKE_BINARY_DIR}/Orbalis-<version>-windows-x64.zip
set(ORBALIS_RELEASE_NAME Orbalis-${PROJECT_VERSION}-windows-x64)
set(ORBALIS_RELEASE_DIR ${CMAKE_BINARY_DIR}/release/${ORBALIS_RELEASE_NAME})
set(ORBALIS_RELEASE_ZIP ${CMAKE_BINARY_DIR}/${ORBALIS_RELEASE_NAME}.zip)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/release/README.txt ${CMAKE_BINARY_DIR}/release/README.txt @ONLY)
add_custom_command(OUTPUT ${ORBALIS_RELEASE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${ORBALIS_RELEASE_DIR} ${ORBALIS_RELEASE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ORBALIS_RELEASE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:orbalis_plugin> ${CMAKE_BINARY_DIR}/release/README.txt
          ${CMAKE_CURRENT_SOURCE_DIR}/release/THIRD-PARTY-NOTICES.txt ${ORBALIS_RELEASE_DIR}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${ORBALIS_RELEASE_ZIP} --format=zip ${ORBALIS_RELEASE_NAME}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/release
  DEPENDS orbalis_plugin ${CMAKE_BINARY_DIR}/release/README.txt
          ${CMAKE_CURRENT_SOURCE_DIR}/release/THIRD-PARTY-NOTICES.txt
  COMMENT "Packing ${ORBALIS_RELEASE_NAME}.zip"
  VERBATIM)
add_custom_target(orbalis_release_zip DEPENDS ${ORBALIS_RELEASE_ZIP})
