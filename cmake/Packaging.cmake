# Installation in the places Debian gives games, and a Debian package of them.
include(GNUInstallDirs)

install(TARGETS orbalune orbalune-replay RUNTIME DESTINATION games)

# Manual pages are installed compressed, as Debian ships them.
find_program(GZIP gzip REQUIRED)
set(manual_pages "")
foreach(page orbalune.6 orbalune-replay.6)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND ${GZIP} -9 -n -c ${CMAKE_CURRENT_SOURCE_DIR}/man/${page} > ${compressed}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/man/${page}
    COMMENT "Compressing the manual page ${page}")
  list(APPEND manual_pages ${compressed})
endforeach()
add_custom_target(manual_pages ALL DEPENDS ${manual_pages})
install(FILES ${manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Completion for bash, where Debian's bash-completion loads it when either program is typed.
install(FILES completion/orbalune.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME orbalune)
install(FILES completion/orbalune.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME orbalune-replay)

# Who answers for the package. The default names no person; whoever packages sets their own.
set(ORBALUNE_PACKAGE_MAINTAINER "orbalune developers <orbalune@packages.invalid>"
    CACHE STRING "The package's maintainer, as \"Name <address>\"")

# The copyright file, in Debian's machine-readable format, with the licence's own text.
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE licence_lines)
list(SUBLIST licence_lines 4 -1 licence_text)  # after its title and copyright line
set(copyright_text "")
foreach(line IN LISTS licence_text)
  if(line STREQUAL "")
    string(APPEND copyright_text " .\n")
  else()
    string(APPEND copyright_text " ${line}\n")
  endif()
endforeach()
configure_file(packaging/copyright.in ${CMAKE_CURRENT_BINARY_DIR}/packaging/copyright @ONLY)
file(APPEND ${CMAKE_CURRENT_BINARY_DIR}/packaging/copyright "${copyright_text}")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The changelog, made from CHANGELOG.md whenever it changes, and compressed as Debian ships it.
include(cmake/DebianChangelog.cmake)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_CURRENT_SOURCE_DIR}/CHANGELOG.md ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog)
orbalune_debian_changelog(${CMAKE_CURRENT_SOURCE_DIR}/CHANGELOG.md
                          "${ORBALUNE_PACKAGE_MAINTAINER}" ${changelog})
add_custom_command(
  OUTPUT ${changelog}.gz
  COMMAND ${GZIP} -9 -n -c ${changelog} > ${changelog}.gz
  DEPENDS ${changelog}
  COMMENT "Compressing the changelog")
add_custom_target(changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbalune)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ORBALUNE_PACKAGE_MAINTAINER}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "text role-playing game: carry the Orbalune out alive")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "orbalune is a single-player role-playing game played as a text dialogue
in a terminal: a town with a store and a healer, a randomly carved dungeon
seen through a 7 by 7 window, real-time-paced fights, and a treasure, the
Orbalune, to carry out alive, deeper and deeper.
.
orbalune-replay replays a game exactly from a seed and its keys.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The run-time libraries the binaries link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
