# SPDX-License-Identifier: GPL-3.0-or-later
# Install rules and the Debian package (`make package`, or cpack -G DEB in a
# build directory).
include(GNUInstallDirs)

# Debian keeps game engines in games/, as it does its own chess engines.
install(TARGETS solvane RUNTIME DESTINATION games)

# Debian ships manual pages and changelogs compressed, without a name or time
# inside (gzip -9n); without gzip the plain file goes in.
find_program(SOLVANE_GZIP gzip)
function(solvane_install_gzipped source name destination)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  if(SOLVANE_GZIP)
    execute_process(COMMAND ${SOLVANE_GZIP} -9 -n -c ${source} OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz
                    RESULT_VARIABLE failed)
  endif()
  if(SOLVANE_GZIP AND NOT failed)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz DESTINATION ${destination})
  else()
    install(FILES ${source} DESTINATION ${destination} RENAME ${name})
  endif()
endfunction()
solvane_install_gzipped(${CMAKE_CURRENT_SOURCE_DIR}/docs/solvane.6 solvane.6 ${CMAKE_INSTALL_MANDIR}/man6)
solvane_install_gzipped(${CMAKE_CURRENT_SOURCE_DIR}/docs/changelog changelog ${CMAKE_INSTALL_DOCDIR})
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Debian's copyright file, in its machine-readable form.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/copyright
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: solvane\n\nFiles: *\nCopyright: 2026 Vesquin\nLicense: GPL-3+\n"
     " On Debian systems the full text of the GNU General Public License version 3\n"
     " is in /usr/share/common-licenses/GPL-3.\n")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The engine is built position-dependent on purpose (see CMakeLists.txt).
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/lintian-overrides
     "# Position-dependent for speed: the board, bitboards and attack tables are\n"
     "# global arrays indexed by square, each access one instruction with an\n"
     "# absolute address (about 5% of the search's time).\n"
     "solvane: hardening-no-pie [usr/games/solvane]\n")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
        RENAME solvane)

set(SOLVANE_MAINTAINER "Solvane maintainers <solvane@example.org>"
    CACHE STRING "Maintainer field of the Debian package: name <address>")

set(CPACK_PACKAGE_NAME solvane)
set(CPACK_PACKAGE_VENDOR "Vesquin")
set(CPACK_PACKAGE_CONTACT "${SOLVANE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chess engine for the Universal Chess Interface (UCI)")
set(CPACK_PACKAGE_DESCRIPTION "Solvane plays chess through the UCI protocol: a chess graphical interface or a
match runner starts it and talks to it over standard input and output. It
searches with iterative deepening and alpha-beta over the legal moves and
scores positions by material and mobility; piece values, the mobility weight
and the draw score are engine options. The perft and bench tools check move
generation and measure search speed.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SOLVANE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The C and C++ runtime dependencies, read from the binary by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
