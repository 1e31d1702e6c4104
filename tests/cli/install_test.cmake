# Installs the build into a temporary folder, moves the installed tree elsewhere, and runs the
# installed lumerad-cli from a folder outside the source and build trees, without a display:
# it must find DATA.TXT beside itself (../share/lumerad) and need no GUI library.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -P install_test.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/run)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
file(RENAME ${WORK_DIR}/prefix ${WORK_DIR}/moved)
set(root ${WORK_DIR}/moved)
foreach(f bin/lumerad bin/lumerad-cli share/lumerad/DATA.TXT share/applications/lumerad.desktop
          share/icons/hicolor/scalable/apps/lumerad.svg)
  if(NOT EXISTS ${root}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
file(READ ${root}/share/applications/lumerad.desktop desktop)
foreach(line "Exec=lumerad" "Icon=lumerad" "Categories=Science;Physics;")
  string(FIND "${desktop}" "${line}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the desktop entry lacks ${line}")
  endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
                        ${root}/bin/lumerad-cli bend --json --catalogue ${WORK_DIR}/run/catalogue.sqlite
                        --beam Diamond --source "Diamond dipole 1.4 T"
                WORKING_DIRECTORY ${WORK_DIR}/run RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the installed lumerad-cli failed (${rc}): ${err}")
endif()
# 3 GeV, 1.4 T: 665 * 9 * 1.4 = 8379 eV
string(JSON crit GET "${out}" results Ephcrit text)
string(JSON data GET "${out}" inputs data)
if(NOT crit STREQUAL "8.379")
  message(FATAL_ERROR "critical energy ${crit}, expected 8.379")
endif()
if(NOT data STREQUAL "${root}/share/lumerad/DATA.TXT")
  message(FATAL_ERROR "the installed lumerad-cli read ${data}, not the DATA.TXT installed beside it")
endif()

# QtCore and QtSql only: no GUI library is loaded
execute_process(COMMAND ldd ${root}/bin/lumerad-cli OUTPUT_VARIABLE libs RESULT_VARIABLE rc)
if(rc EQUAL 0 AND libs MATCHES "libQt6(Gui|Widgets)")
  message(FATAL_ERROR "lumerad-cli links a GUI library:\n${libs}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
