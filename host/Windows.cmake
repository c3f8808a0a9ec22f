# The stand-in host for Windows: the same host, with the system's own
# user32, comctl32 and comdlg32 in place of the Win32 model in host/win32/.
# Its libraries come cross-built from Debian's sources (scripts/windows-deps).
list(APPEND CMAKE_FIND_ROOT_PATH ${ORBALIS_WINDOWS_DEPS})
find_package(GEOS 3.10 REQUIRED CONFIG)
find_package(pugixml REQUIRED CONFIG)

file(GLOB_RECURSE ORBALIS_HOST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
# The model's own files go; its parts that are not Windows itself stay.
list(FILTER ORBALIS_HOST_SOURCES EXCLUDE REGEX "/host/win32/")
# GDAL is not cross-built: GIS files are a Linux feature, and host/io/gis/off
# stands in for the readers and writers.
list(FILTER ORBALIS_HOST_SOURCES EXCLUDE REGEX "/host/io/gis/[^/]+$")
list(APPEND ORBALIS_HOST_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/win32/Handles.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win32/ResourceFile.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win32/ScriptedUser.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win32/UserReach.cpp)
# The POSIX forms of what host/windows/ does the Windows way.
list(REMOVE_ITEM ORBALIS_HOST_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/app/PluginLibrary.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/io/ReplaceFile.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/io/SystemFiles.cpp)

add_library(orbalis_host STATIC ${ORBALIS_HOST_SOURCES})
orbalis_sees(orbalis_host sdk host)
target_compile_definitions(orbalis_host PUBLIC ORBALIS_PLUGIN_DEFAULT_PATH="$<TARGET_FILE:orbalis_plugin>")
target_include_directories(orbalis_host SYSTEM PUBLIC ${ORBALIS_WINDOWS_DEPS}/include)
target_include_directories(orbalis_host PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/windows/iconv)
target_link_libraries(orbalis_host PUBLIC GEOS::geos pugixml::pugixml user32 gdi32 comctl32 comdlg32 shell32)
add_dependencies(orbalis_host orbalis_plugin)
