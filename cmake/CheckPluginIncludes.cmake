# The plug-in's folders include the standard library and the folders their
# include view shows (cmake/IncludeViews.cmake), nothing else: no header in
# angle brackets but the C++ standard library's (the compiler's default
# paths hold other libraries' too), no quoted path that climbs out with "..".
# Run by the plugin_includes test:
#
#   cmake -DSOURCE_DIR=... -DFOLDERS=frame|layers|... -P CheckPluginIncludes.cmake
cmake_minimum_required(VERSION 3.25)
set(standard
  algorithm any array atomic barrier bit bitset cassert cctype cerrno cfenv cfloat charconv chrono
  cinttypes climits clocale cmath codecvt compare complex concepts condition_variable coroutine csetjmp
  csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype deque exception
  execution filesystem format forward_list fstream functional future initializer_list iomanip ios iosfwd
  iostream istream iterator latch limits list locale map memory memory_resource mutex new numbers numeric
  optional ostream queue random ranges ratio regex scoped_allocator semaphore set shared_mutex
  source_location span sstream stack stdexcept stop_token streambuf string string_view syncstream
  system_error thread tuple type_traits typeindex typeinfo unordered_map unordered_set utility valarray
  variant vector version)
string(REPLACE "|" ";" FOLDERS "${FOLDERS}")
set(files "")
foreach(folder IN LISTS FOLDERS)
  file(GLOB_RECURSE found ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  list(APPEND files ${found})
endforeach()
set(failures "")
foreach(file IN LISTS files)
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
  file(RELATIVE_PATH name ${SOURCE_DIR} ${file})
  foreach(line IN LISTS lines)
    if(line MATCHES "include[ \t]*<([^>]*)>")
      if(NOT CMAKE_MATCH_1 IN_LIST standard)
        string(APPEND failures "  ${name}: <${CMAKE_MATCH_1}> is not the standard library's\n")
      endif()
    elseif(line MATCHES "include[ \t]*\"([^\"]*)\"")
      if(CMAKE_MATCH_1 MATCHES "(^|/)\\.\\.(/|$)")
        string(APPEND failures "  ${name}: \"${CMAKE_MATCH_1}\" climbs out of the include view\n")
      endif()
    else()
      string(APPEND failures "  ${name}: an include the check cannot read: ${line}\n")
    endif()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "the plug-in includes more than the standard library and sdk/:\n${failures}")
endif()
list(LENGTH files count)
message(STATUS "${count} files of the plug-in include the standard library and their view only")
