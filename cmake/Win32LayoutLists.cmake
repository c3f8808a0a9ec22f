# Reads the declarations of sdk/win32/*.h and writes the lists that
# tests/win32-layout/Win32LayoutCheck.cpp compares with the system's headers:
#
#   cmake -DHEADERS=<dir> -DOUTPUT=<dir> -P Win32LayoutLists.cmake
#
# Win32Names.inc     one line per name: ORBALIS_INTEGER / ORBALIS_TEXT for
#                    constants, ORBALIS_MACRO for macros with parameters,
#                    ORBALIS_HANDLE, ORBALIS_STRUCT, ORBALIS_FIELD,
#                    ORBALIS_TYPE for types, ORBALIS_FUNCTION for functions
# Win32Undefine.inc  an #undef for every macro, so the system's headers can
#                    define their own after the subset's values are taken
cmake_minimum_required(VERSION 3.25)

file(GLOB headers ${HEADERS}/*.h)
# The system's headers and the char16_t adapter that goes with them are not
# part of the declared subset.
list(FILTER headers EXCLUDE REGEX "/(RealWindows|WideText)\\.h$")
list(SORT headers)
set(names "")
set(undefines "")
foreach(header IN LISTS headers)
  file(STRINGS ${header} lines)
  set(in_struct "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^#define ([A-Za-z_][A-Za-z0-9_]*)(\\(?)(.*)$")
      set(name ${CMAKE_MATCH_1})
      set(function_like "${CMAKE_MATCH_2}")
      string(STRIP "${CMAKE_MATCH_3}" value)
      if(name MATCHES "^ORBALIS_")
        continue()  # include guards and the subset's own helpers
      endif()
      string(APPEND undefines "#undef ${name}\n")
      if(function_like)
        # Compared by their results for sample arguments, one per parameter.
        string(REGEX MATCH "^[^)]*" parameters "${value}")
        string(REGEX REPLACE "[^,]" "" commas "${parameters}")
        string(LENGTH "${commas}" count)
        set(arguments "0x12345678, 0x9ABC, 0x5D")
        if(count EQUAL 0)
          set(arguments "0x12345678")
        elseif(count EQUAL 1)
          set(arguments "0x12345678, 0x9ABC")
        endif()
        string(APPEND names "ORBALIS_MACRO(${name}, (${arguments}))\n")
      elseif(value STREQUAL "")
        # WINAPI and the like: only undefined.
      elseif(value MATCHES "^u\"")
        string(APPEND names "ORBALIS_TEXT(${name})\n")
      else()
        string(APPEND names "ORBALIS_INTEGER(${name})\n")
      endif()
    elseif(line MATCHES "^ORBALIS_DECLARE_HANDLE\\(([A-Za-z0-9_]+)\\)")
      string(APPEND names "ORBALIS_HANDLE(${CMAKE_MATCH_1}__, ${CMAKE_MATCH_1})\n")
    elseif(line MATCHES "^typedef struct ([A-Za-z0-9_]+)\\* ([A-Za-z0-9_]+);")
      string(APPEND names "ORBALIS_HANDLE(${CMAKE_MATCH_1}, ${CMAKE_MATCH_2})\n")
    elseif(line MATCHES "^typedef struct [A-Za-z0-9_]+ {")
      set(in_struct "yes")
      set(fields "")
    elseif(in_struct AND line MATCHES "^} ([A-Za-z0-9_]+)(, \\*([A-Za-z0-9_]+))?;")
      set(struct ${CMAKE_MATCH_1})
      string(APPEND names "ORBALIS_STRUCT(${struct})\n")
      foreach(field IN LISTS fields)
        string(APPEND names "ORBALIS_FIELD(${struct}, ${field})\n")
      endforeach()
      if(CMAKE_MATCH_3)
        string(APPEND names "ORBALIS_TYPE(${CMAKE_MATCH_3})\n")
      endif()
      set(in_struct "")
    elseif(in_struct AND line MATCHES "^ +[A-Za-z_][A-Za-z0-9_* ]*[ *]([A-Za-z_][A-Za-z0-9_]*)(\\[[^]]*\\])?;")
      list(APPEND fields ${CMAKE_MATCH_1})
    elseif(line MATCHES "^typedef [^;]*\\(CALLBACK\\* ([A-Za-z0-9_]+)\\)")
      string(APPEND names "ORBALIS_TYPE(${CMAKE_MATCH_1})\n")
    elseif(line MATCHES "^typedef [^(;]*[ *]([A-Za-z_][A-Za-z0-9_]*);$")
      string(APPEND names "ORBALIS_TYPE(${CMAKE_MATCH_1})\n")
    elseif(line MATCHES "WINAPI ([A-Za-z_][A-Za-z0-9_]*)\\(")
      string(APPEND names "ORBALIS_FUNCTION(${CMAKE_MATCH_1})\n")
    endif()
  endforeach()
endforeach()

# Written only when changed, so that an unchanged list compiles nothing again.
file(CONFIGURE OUTPUT ${OUTPUT}/Win32Names.inc CONTENT "${names}" @ONLY)
file(CONFIGURE OUTPUT ${OUTPUT}/Win32Undefine.inc CONTENT "${undefines}" @ONLY)
