# The Windows zip: both programs, the manual as text, README, LICENSE and CHANGELOG, in one
# folder named after the release.
install(TARGETS orbalune orbalune-replay RUNTIME DESTINATION .)
install(FILES README.md LICENSE CHANGELOG.md DESTINATION .)

# The manual pages as plain text, with Windows' line ends, for Notepad.
find_program(MAN man REQUIRED)
set(manuals "")
foreach(page orbalune.6 orbalune-replay.6)
  get_filename_component(name ${page} NAME_WE)
  set(text ${CMAKE_CURRENT_BINARY_DIR}/manual/${name}.txt)
  add_custom_command(
    OUTPUT ${text}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/manual
    COMMAND ${CMAKE_COMMAND} -DMAN=${MAN} -DPAGE=${CMAKE_CURRENT_SOURCE_DIR}/man/${page}
            -DTEXT=${text} -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/ManualAsText.cmake
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/man/${page} ${CMAKE_CURRENT_SOURCE_DIR}/cmake/ManualAsText.cmake
    COMMENT "The manual page ${page} as text")
  list(APPEND manuals ${text})
endforeach()
add_custom_target(manual_text ALL DEPENDS ${manuals})
install(FILES ${manuals} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME orbalune-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
