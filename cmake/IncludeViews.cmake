# What each part of the source tree may include, enforced by the compiler.
#
# Every #include is written from the root of the tree ("sdk/...",
# "host/...", "frame/..."). A target does not get the root on its include
# path: it gets a view, a folder of the build tree holding links to just the
# top-level folders it may include from. A header outside its view is not
# found, so the file does not compile:
#
#   orbalis_sees(orbalis_plugin_layers sdk resources support frame layers)
#   -> -I build/include-views/frame+layers+resources+sdk+support
#
# The views are PRIVATE: linking a library never widens what a target's own
# files may include. Targets allowed everything (the tests, the fuzzers) use
# orbalis_sees_everything.

# Sets OUT_VARIABLE to the view of the given folders, made if need be.
function(orbalis_view out_variable)
  set(folders ${ARGN})
  list(SORT folders)
  list(REMOVE_DUPLICATES folders)
  string(JOIN "+" name ${folders})
  set(view ${CMAKE_BINARY_DIR}/include-views/${name})
  file(MAKE_DIRECTORY ${view})
  foreach(folder IN LISTS folders)
    if(NOT IS_DIRECTORY ${CMAKE_SOURCE_DIR}/${folder})
      message(FATAL_ERROR "orbalis_view: no folder ${folder} in the source tree")
    endif()
    set(current "")
    if(IS_SYMLINK ${view}/${folder})
      file(READ_SYMLINK ${view}/${folder} current)
    endif()
    if(NOT current STREQUAL ${CMAKE_SOURCE_DIR}/${folder})
      file(REMOVE ${view}/${folder})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
    endif()
  endforeach()
  set(${out_variable} ${view} PARENT_SCOPE)
endfunction()

function(orbalis_sees target)
  orbalis_view(view ${ARGN})
  target_include_directories(${target} PRIVATE ${view})
endfunction()

function(orbalis_sees_everything target)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()
