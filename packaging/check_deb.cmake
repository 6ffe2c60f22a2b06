# Builds the Debian package of the build tree BUILD_DIR with cpack into OUT_DIR and checks it
# without installing it: the files it holds, its control fields (Depends found by
# dpkg-shlibdeps from the libraries the programs link), the unpacked korvenia-cli running,
# and lintian's verdict when lintian is there (errors fail, warnings are printed).
cmake_minimum_required(VERSION 3.25)

function(fail message)
  message(FATAL_ERROR "package check: ${message}")
endfunction()

# Runs a command; its standard output lands in `out_var`, and a failure ends the check.
function(run out_var)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    string(REPLACE ";" " " shown "${ARGN}")
    fail("${shown} failed (${result}):\n${output}${errors}")
  endif()
  set(${out_var} "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${OUT_DIR})
run(ignored ${CMAKE_COMMAND} -E chdir ${BUILD_DIR} ${CPACK} -G DEB -B ${OUT_DIR})
set(deb ${OUT_DIR}/korvenia_${VERSION}_amd64.deb)
if(NOT EXISTS ${deb})
  file(GLOB made ${OUT_DIR}/*.deb)
  fail("korvenia_${VERSION}_amd64.deb was not made (cpack made: ${made})")
endif()

run(listing dpkg-deb --contents ${deb})
foreach(wanted
        usr/bin/korvenia usr/bin/korvenia-cli usr/bin/korvenia-sim
        usr/${ENGINE_DIR}/korvenia-gis.so
        usr/share/applications/korvenia.desktop
        usr/share/icons/hicolor/scalable/apps/korvenia.svg
        usr/share/korvenia/KorveniaManual.doc
        usr/share/korvenia/examples/survey.raw usr/share/korvenia/examples/points.asc
        usr/share/korvenia/translations/Korvenia.nb.ini
        usr/share/korvenia/translations/Korvenia.de.ini
        usr/share/doc/korvenia/copyright usr/share/doc/korvenia/changelog.gz
        usr/share/man/man1/korvenia.1.gz usr/share/man/man1/korvenia-cli.1.gz
        usr/share/man/man1/korvenia-sim.1.gz)
  string(REPLACE "." "\\." pattern "${wanted}")
  if(NOT listing MATCHES " \\./${pattern}\n")
    fail("the package lacks ${wanted}:\n${listing}")
  endif()
endforeach()
if(listing MATCHES " \\./usr/local/")
  fail("the package puts files into /usr/local:\n${listing}")
endif()

foreach(field_value "Package: korvenia" "Version: ${VERSION}" "Architecture: amd64")
  string(REGEX REPLACE ":.*" "" field "${field_value}")
  run(value dpkg-deb --field ${deb} ${field})
  string(STRIP "${value}" value)
  if(NOT "${field}: ${value}" STREQUAL "${field_value}")
    fail("the control field is '${field}: ${value}', not '${field_value}'")
  endif()
endforeach()
run(depends dpkg-deb --field ${deb} Depends)
foreach(library libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6svg6
                "libgdal[0-9]+")
  if(NOT depends MATCHES "(^|, )${library}( |,|$)")
    fail("Depends lacks ${library}: ${depends}")
  endif()
endforeach()

# The unpacked command-line program finds its libraries where the system keeps them.
set(root ${OUT_DIR}/root)
run(ignored dpkg-deb --extract ${deb} ${root})
run(help ${root}/usr/bin/korvenia-cli --help)
if(NOT help MATCHES "Usage: korvenia-cli COMMAND")
  fail("the packaged korvenia-cli --help printed:\n${help}")
endif()

find_program(LINTIAN lintian)
if(NOT LINTIAN)
  message(STATUS "package check: lintian is not installed, its check is skipped")
  return()
endif()
execute_process(COMMAND ${LINTIAN} --tag-display-limit 0 ${deb} OUTPUT_VARIABLE verdict
                ERROR_VARIABLE verdict)
message(STATUS "lintian:\n${verdict}")
if(verdict MATCHES "(^|\n)E: ")
  fail("lintian reports errors")
endif()
message(STATUS "package check: ${deb} holds everything and lintian reports no error")
