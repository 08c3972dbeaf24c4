# Compiles, for each folder, a file that asks for a header of every folder above it through the
# include root that folder's library is built with: any such header found is an include that
# points upwards and would build. Folders from the bottom up:
# common < fileformat < automation < excelop < tools, online (neither sees the other) < app, cli.
# Run as: cmake -DSOURCE_DIR=<top> -DBINARY_DIR=<build> -DCXX=<compiler> -P check_include_roots.cmake
set(hidden_from_common fileformat automation excelop tools online app cli)
# Nothing of the office in the file readers.
set(hidden_from_fileformat automation excelop tools online app cli)
set(hidden_from_automation excelop tools online app cli)
set(hidden_from_excelop tools online app cli)
# The tools reach the office and the files only through excelop.
set(hidden_from_tools fileformat automation online app cli)
set(hidden_from_online fileformat automation excelop tools app cli)
set(hidden_from_app cli)
set(hidden_from_cli online app)

set(probe "${BINARY_DIR}/include-probe.cpp")
set(failures "")
foreach(folder common fileformat automation excelop tools online app cli)
  set(text "")
  foreach(higher ${hidden_from_${folder}})
    file(GLOB headers RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${higher}/*.h")
    list(GET headers 0 header)
    string(APPEND text "#if __has_include(\"${header}\")\n#error \"${folder}/ sees ${header}\"\n#endif\n")
  endforeach()
  file(WRITE "${probe}" "${text}")
  execute_process(COMMAND "${CXX}" -fsyntax-only -I "${BINARY_DIR}/include/${folder}" "${probe}"
                  RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    list(APPEND failures "${errors}")
  endif()
endforeach()
file(REMOVE "${probe}")
if(failures)
  message(FATAL_ERROR "Headers a folder must not include are on its include path:\n${failures}")
endif()
message(STATUS "Every folder's library sees only the folders below it.")
