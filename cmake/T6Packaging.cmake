# What a user gets: install rules and CPack's settings for the two packages.
#   Windows: t6utility-<version>-windows-x64.zip, the three programs, README.txt and
#            SHA256SUMS at its top level (cpack -G ZIP in a windows build tree).
#   Linux:   t6tool_<version>_amd64.deb with t6tool, t6sim, their man pages and docs
#            (cpack -G DEB in a native build tree).
# scripts/package.sh builds both from release trees.
set(docs ${CMAKE_SOURCE_DIR}/docs)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "T6 Programmer developers")
set(CPACK_PACKAGE_CONTACT "T6 Programmer developers <help@example.org>")
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
  # The user's guide in Windows line ends, whatever the checkout has.
  configure_file(${docs}/windows-readme.txt ${CMAKE_BINARY_DIR}/package/README.txt @ONLY NEWLINE_STYLE CRLF)
  # The checksums of the programs as they go into the zip, in the form sha256sum writes.
  set(sums ${CMAKE_BINARY_DIR}/package/SHA256SUMS)
  set(programs t6linkcheck t6tool t6utility)
  list(TRANSFORM programs REPLACE "(.+)" "$<TARGET_FILE:\\1>" OUTPUT_VARIABLE program_files)
  add_custom_command(OUTPUT ${sums}
    COMMAND ${CMAKE_COMMAND} -DOUT=${sums} -P ${CMAKE_CURRENT_LIST_DIR}/T6Checksums.cmake ${program_files}
    DEPENDS ${programs} ${CMAKE_CURRENT_LIST_DIR}/T6Checksums.cmake VERBATIM)
  add_custom_target(t6_checksums ALL DEPENDS ${sums})
  # One component a file: CPack archives components in the order of their names, and the
  # files of one component in the order the folder lists them, which differs between
  # file systems.
  foreach(program ${programs})
    install(TARGETS ${program} RUNTIME DESTINATION . COMPONENT ${program})
  endforeach()
  install(FILES ${CMAKE_BINARY_DIR}/package/README.txt DESTINATION . COMPONENT README)
  install(FILES ${sums} DESTINATION . COMPONENT SHA256SUMS)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME t6utility)
  set(CPACK_PACKAGE_FILE_NAME t6utility-${PROJECT_VERSION}-windows-x64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)
  return()
endif()

install(TARGETS t6tool t6sim RUNTIME DESTINATION bin)
# Man pages and the changelog as Debian keeps them: gzip -9 without a name or time inside.
set(compressed)
foreach(page t6tool.1 t6sim.1 changelog)
  set(text ${CMAKE_BINARY_DIR}/package/${page})
  configure_file(${docs}/${page} ${text} @ONLY)
  add_custom_command(OUTPUT ${text}.gz COMMAND gzip -9nc ${text} > ${text}.gz DEPENDS ${text} VERBATIM)
  list(APPEND compressed ${text}.gz)
endforeach()
add_custom_target(t6_package_docs ALL DEPENDS ${compressed})
list(POP_BACK compressed changelog)
install(FILES ${compressed} DESTINATION share/man/man1)
install(FILES ${changelog} DESTINATION share/doc/t6tool)
install(FILES ${docs}/debian-readme.txt DESTINATION share/doc/t6tool RENAME README)
install(FILES ${docs}/copyright DESTINATION share/doc/t6tool)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME t6tool)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "command-line tool for the T6 tune programmer and emulator")
set(CPACK_PACKAGE_DESCRIPTION "t6tool finds the T6 adapter on a serial port, reads and writes the engine
calibration images (tunes) in its 16 positions, verifies and erases them,
shows their metadata records and selects the position the device presents
to the engine.

t6sim simulates the device on a pseudo-terminal, for trying t6tool without
the hardware.")
include(CPack)
