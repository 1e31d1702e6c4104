# A tree with one include against the layering (core including a window header, and a core
# subsystem including one above it) must be refused with the file and the include named; the
# project's own tree must pass.
file(REMOVE_RECURSE ${WORK_DIR})
file(WRITE ${WORK_DIR}/src/core/numerics/fine.h "#include \"core/numerics/errors.h\"\n")
file(WRITE ${WORK_DIR}/src/core/numerics/upward.h "#include <cmath>\n#include \"windows/plot/graph_window.h\"\n")
file(WRITE ${WORK_DIR}/src/core/spectra/fine.cpp "#include \"core/sources/undulator.h\"\n")
file(WRITE ${WORK_DIR}/src/core/sources/circle.cpp "#include \"core/spectra/undulator_lines.h\"\n")
file(WRITE ${WORK_DIR}/src/cli/main.cpp "#include \"ui/tool_window.h\"\n")

execute_process(COMMAND ${CMAKE_COMMAND} -DSRC_DIR=${WORK_DIR}/src -P ${PROJECT_DIR}/cmake/check_layers.cmake
                RESULT_VARIABLE status ERROR_VARIABLE text)
foreach(expected
    "src/core/numerics/upward.h includes \"windows/plot/graph_window.h\""
    "src/core/sources/circle.cpp includes \"core/spectra/undulator_lines.h\""
    "src/cli/main.cpp includes \"ui/tool_window.h\"")
  string(FIND "${text}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the check did not name: ${expected}\nit said:\n${text}")
  endif()
endforeach()
if(status EQUAL 0)
  message(FATAL_ERROR "the check let an upward include pass")
endif()
if(text MATCHES "fine")
  message(FATAL_ERROR "the check refused an include that runs downward:\n${text}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -DSRC_DIR=${PROJECT_DIR}/src -P ${PROJECT_DIR}/cmake/check_layers.cmake
                RESULT_VARIABLE status ERROR_VARIABLE text)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the project's own tree was refused:\n${text}")
endif()
