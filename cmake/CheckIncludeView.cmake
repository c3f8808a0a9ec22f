# Compiles one-line probe files with a target's flags: each header of SEES
# must compile, each of MISSES must fail for want of the header. Run by the
# include_view_* tests (cmake/IncludeViewTests.cmake):
#
#   cmake -DCOMPILER=c++ -DFLAGS=a|b -DINCLUDES=dir|dir -DSEES=h|h -DMISSES=h|h
#         -DWORK=dir -P CheckIncludeView.cmake
cmake_minimum_required(VERSION 3.25)
foreach(list FLAGS INCLUDES SEES MISSES)
  string(REPLACE "|" ";" ${list} "${${list}}")
endforeach()
set(arguments ${FLAGS})
foreach(dir IN LISTS INCLUDES)
  list(APPEND arguments -I${dir})
endforeach()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

set(failures "")
set(n 0)
foreach(kind SEES MISSES)
  foreach(header IN LISTS ${kind})
    math(EXPR n "${n} + 1")
    set(probe ${WORK}/probe${n}.cpp)
    file(WRITE ${probe} "#include \"${header}\"\n")
    execute_process(COMMAND ${COMPILER} ${arguments} -fsyntax-only ${probe}
      RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    string(FIND "${output}" "${header}" named)
    if(kind STREQUAL "SEES" AND NOT result EQUAL 0)
      string(APPEND failures "  ${header} does not compile:\n${output}\n")
    elseif(kind STREQUAL "MISSES" AND result EQUAL 0)
      string(APPEND failures "  ${header} compiles, but must not be visible\n")
    elseif(kind STREQUAL "MISSES" AND (named EQUAL -1 OR NOT output MATCHES "No such file|not found"))
      string(APPEND failures "  ${header} fails for another reason than being out of sight:\n${output}\n")
    endif()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "include view:\n${failures}")
endif()
list(LENGTH SEES seen)
list(LENGTH MISSES missed)
message(STATUS "${seen} headers in sight compile, ${missed} out of sight are not found")
