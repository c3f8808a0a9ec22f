# The Windows build's own tests, run under Wine by scripts/test-windows: the
# host's file handling and text conversions on the system's calls. GoogleTest
# is built from the sources Debian's googletest package ships.
set(ORBALIS_GTEST_SOURCES /usr/src/googletest CACHE PATH "GoogleTest's sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${ORBALIS_GTEST_SOURCES} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
file(GLOB ORBALIS_WINDOWS_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/windows/*.cpp)
add_executable(orbalis_windows_tests ${ORBALIS_WINDOWS_TEST_SOURCES}
  ${CMAKE_SOURCE_DIR}/tools/orbalis/windows/orbalis.rc)
orbalis_sees_everything(orbalis_windows_tests)
target_include_directories(orbalis_windows_tests PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(orbalis_windows_tests PRIVATE orbalis_host GTest::gtest GTest::gtest_main)
target_link_options(orbalis_windows_tests PRIVATE -static)
