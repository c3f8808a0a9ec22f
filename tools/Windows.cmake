# orbalis.exe: the command line on Windows. The browser workbench stays on
# Linux (tools/orbalis/windows/Serve.cpp says so).
file(GLOB ORBALIS_TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/orbalis/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/orbalis/windows/*.cpp)
list(REMOVE_ITEM ORBALIS_TOOL_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/orbalis/Serve.cpp)
add_executable(orbalis ${ORBALIS_TOOL_SOURCES} ${CMAKE_CURRENT_SOURCE_DIR}/orbalis/windows/orbalis.rc)
orbalis_sees(orbalis sdk host tools)
# The version resource reads the generated OrbalisVersion.h.
target_include_directories(orbalis PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_compile_definitions(orbalis PRIVATE ORBALIS_VERSION="${PROJECT_VERSION}")
target_link_libraries(orbalis PRIVATE orbalis_host)
target_link_options(orbalis PRIVATE -static)
