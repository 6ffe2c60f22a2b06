# Installs the build tree BUILD_DIR with prefix /usr into DESTDIR_ROOT and checks the result:
# the three programs, the manual (an RTF document), the menu entry, the icon and the sample
# files; then runs the installed korvenia-cli from its read-only bin/ folder.
cmake_minimum_required(VERSION 3.25)

function(fail message)
  message(FATAL_ERROR "install check: ${message}")
endfunction()

file(REMOVE_RECURSE ${DESTDIR_ROOT})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${DESTDIR_ROOT}
          ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  fail("cmake --install failed (${result}):\n${output}${errors}")
endif()

set(root ${DESTDIR_ROOT}/usr)
foreach(program korvenia korvenia-cli korvenia-sim)
  if(NOT EXISTS ${root}/${BINDIR}/${program})
    fail("${BINDIR}/${program} is missing")
  endif()
  file(GET_RUNTIME_DEPENDENCIES EXECUTABLES ${root}/${BINDIR}/${program}
       RESOLVED_DEPENDENCIES_VAR resolved UNRESOLVED_DEPENDENCIES_VAR unresolved)
  if(unresolved)
    fail("${program} needs libraries that are not found: ${unresolved}")
  endif()
endforeach()

set(manual ${root}/${DATADIR}/korvenia/KorveniaManual.doc)
if(NOT EXISTS ${manual})
  fail("the manual ${DATADIR}/korvenia/KorveniaManual.doc is missing")
endif()
file(READ ${manual} head LIMIT 6 HEX)
if(NOT head STREQUAL "7b5c72746631")  # "{\rtf1"
  fail("the manual is no RTF document")
endif()

set(desktop ${root}/${DATADIR}/applications/korvenia.desktop)
if(NOT EXISTS ${desktop})
  fail("the menu entry ${DATADIR}/applications/korvenia.desktop is missing")
endif()
file(STRINGS ${desktop} lines)
foreach(wanted "[Desktop Entry]" "Type=Application" "Exec=korvenia %f" "Icon=korvenia")
  list(FIND lines "${wanted}" at)
  if(at EQUAL -1)
    fail("the menu entry lacks the line '${wanted}'")
  endif()
endforeach()

set(icon ${root}/${DATADIR}/icons/hicolor/scalable/apps/korvenia.svg)
if(NOT EXISTS ${icon})
  fail("the icon ${DATADIR}/icons/hicolor/scalable/apps/korvenia.svg is missing")
endif()
file(READ ${icon} svg)
if(NOT svg MATCHES "<svg[^>]*viewBox" OR NOT svg MATCHES "</svg>")
  fail("the icon is no SVG drawing")
endif()

foreach(code nb de)
  if(NOT EXISTS ${root}/${DATADIR}/korvenia/translations/Korvenia.${code}.ini)
    fail("the translation Korvenia.${code}.ini is missing")
  endif()
endforeach()

foreach(sample survey.raw points.asc codes.cod)
  if(NOT EXISTS ${root}/${DATADIR}/korvenia/examples/${sample})
    fail("the sample file examples/${sample} is missing")
  endif()
endforeach()

# The installed command-line program works from a folder it cannot write, with a home folder
# that holds no settings yet.
set(home ${DESTDIR_ROOT}/home)
file(MAKE_DIRECTORY ${home})
file(CHMOD ${root}/${BINDIR} PERMISSIONS OWNER_READ OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
     WORLD_READ WORLD_EXECUTE)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env HOME=${home} XDG_CONFIG_HOME=${home}/.config
          ${root}/${BINDIR}/korvenia-cli convert --from coord --to kof
          --now "2026-03-05 09:07:04" ${root}/${DATADIR}/korvenia/examples/points.asc
          ${home}/points.kof
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
file(CHMOD ${root}/${BINDIR} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
     GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
if(NOT result EQUAL 0)
  fail("the installed korvenia-cli failed (${result}):\n${output}${errors}")
endif()
file(STRINGS ${home}/points.kof kof)
list(LENGTH kof count)
if(NOT count EQUAL 6)
  fail("the installed korvenia-cli wrote ${count} KOF lines instead of 6")
endif()
# It finds its GIS engine in the installed lib/korvenia/.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env HOME=${home} XDG_CONFIG_HOME=${home}/.config
          ${root}/${BINDIR}/korvenia-cli convert --from coord --to gpkg
          ${root}/${DATADIR}/korvenia/examples/points.asc ${home}/points.gpkg
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT EXISTS ${home}/points.gpkg)
  fail("the installed korvenia-cli wrote no GeoPackage (${result}):\n${output}${errors}")
endif()
message(STATUS "install check: everything in place under ${DESTDIR_ROOT}")
