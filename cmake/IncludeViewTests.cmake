# Shows that the compiler enforces what each part may include: a probe file
# compiled with a part's own flags sees the headers the dependency rule
# allows it and does not find the others (a plug-in file that includes a
# host/ header does not compile).
get_directory_property(ORBALIS_PROBE_DEFINITIONS DIRECTORY ${CMAKE_SOURCE_DIR} COMPILE_DEFINITIONS)
list(TRANSFORM ORBALIS_PROBE_DEFINITIONS PREPEND -D)

# include_view_NAME: TARGET's flags; SEES headers compile, MISSES are not found.
function(orbalis_include_view_test name target)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SEES;MISSES")
  string(JOIN "|" sees ${arg_SEES})
  string(JOIN "|" misses ${arg_MISSES})
  string(JOIN "|" definitions ${ORBALIS_PROBE_DEFINITIONS})
  set(flags "-std=c++20|${definitions}|$<JOIN:$<TARGET_PROPERTY:${target},COMPILE_OPTIONS>,|>")
  set(target_definitions $<TARGET_PROPERTY:${target},COMPILE_DEFINITIONS>)
  set(flags "${flags}$<$<BOOL:${target_definitions}>:|-D$<JOIN:${target_definitions},|-D>>")
  add_test(NAME include_view_${name}
    COMMAND ${CMAKE_COMMAND} -DCOMPILER=${CMAKE_CXX_COMPILER} "-DFLAGS=${flags}"
            "-DINCLUDES=$<JOIN:$<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>,|>"
            "-DSEES=${sees}" "-DMISSES=${misses}" -DWORK=${CMAKE_BINARY_DIR}/include-view-probes/${name}
            -P ${CMAKE_SOURCE_DIR}/cmake/CheckIncludeView.cmake)
  set_tests_properties(include_view_${name} PROPERTIES LABELS layers)
endfunction()

set(host_headers host/app/Host.h host/model/Document.h host/win32/Handles.h)
orbalis_include_view_test(support orbalis_plugin_part_support
  SEES support/NumberFormat.h
  MISSES sdk/HostTypes.h frame/HostSuites.h ${host_headers})
orbalis_include_view_test(frame orbalis_plugin_part_frame
  SEES frame/HostSuites.h frame/DialogFields.h support/NumberFormat.h resources/ResourceIds.h sdk/HostTypes.h
  MISSES layers/NumberLayers.h mapgeom/FastMove.h panels/NdPanel.h plugin/OrbalisPlugin.h
         tools/orbalis/Commands.h ${host_headers})
orbalis_include_view_test(layers orbalis_plugin_part_layers
  SEES layers/NumberLayers.h frame/SettingKeys.h
  MISSES mapgeom/FastMove.h panels/NdPanel.h plugin/OrbalisPlugin.h ${host_headers})
orbalis_include_view_test(mapgeom orbalis_plugin_part_mapgeom
  SEES mapgeom/MapScaling.h frame/ArtSet.h
  MISSES layers/NumberLayers.h panels/NdPanel.h plugin/OrbalisPlugin.h ${host_headers})
orbalis_include_view_test(panels orbalis_plugin_part_panels
  SEES panels/NdPanel.h frame/ArtSet.h
  MISSES layers/NumberLayers.h mapgeom/FastMove.h plugin/OrbalisPlugin.h ${host_headers})
orbalis_include_view_test(plugin orbalis_plugin_part_plugin
  SEES plugin/OrbalisPlugin.h layers/NumberLayers.h mapgeom/FastMove.h panels/NdPanel.h
  MISSES tools/orbalis/Commands.h ${host_headers})
orbalis_include_view_test(platform orbalis_plugin_part_platform
  SEES sdk/platform/Files.h
  MISSES frame/HostSuites.h ${host_headers})
if(NOT WIN32)
  # The host and the command line, built for Linux (on Windows they take
  # headers from the cross-built libraries).
  orbalis_include_view_test(host orbalis_host
    SEES host/app/Host.h sdk/HostTypes.h
    MISSES frame/HostSuites.h layers/NumberLayers.h plugin/OrbalisPlugin.h tools/orbalis/Commands.h)
  orbalis_include_view_test(tools orbalis
    SEES tools/orbalis/Commands.h host/app/Host.h
    MISSES frame/HostSuites.h mapgeom/FastMove.h)
endif()

# What the views cannot show: the compiler's default paths hold other
# libraries too (GEOS, JSON, POSIX), so the plug-in's headers in angle
# brackets are checked against the standard library's.
add_test(NAME plugin_includes_standard_library_only
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} "-DFOLDERS=support|frame|layers|mapgeom|panels|plugin"
          -P ${CMAKE_SOURCE_DIR}/cmake/CheckPluginIncludes.cmake)
set_tests_properties(plugin_includes_standard_library_only PROPERTIES LABELS layers)
