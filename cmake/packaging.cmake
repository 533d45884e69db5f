# What `cmake --install` puts where, and the archives CPack makes of it: for Windows a zip of one
# versioned folder with the programs, a README for Windows users and the manual as text; for Linux
# a tar.gz with bin/, the `zelto` link and the manual pages. Each with a .sha256 beside it.
install(TARGETS zelto-cli RUNTIME DESTINATION ${ZELTO_INSTALL_BINDIR})
if(WIN32)
  # What Explorer's Properties and installers read: the version, and the manifest (asInvoker;
  # Windows 10 and 11).
  enable_language(RC)
  set(ZELTO_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/zelto-cli.manifest)
  configure_file(packaging/windows/zelto-cli.manifest.in ${ZELTO_MANIFEST} @ONLY)
  configure_file(packaging/windows/zelto-cli.rc.in zelto-cli.rc @ONLY)
  target_sources(zelto-cli PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/zelto-cli.rc)
  install(PROGRAMS $<TARGET_FILE:zelto-cli> DESTINATION . RENAME zelto.exe)
  install(FILES doc/README-windows.md DESTINATION . RENAME README.md)
  # The manual as plain text, in its Windows wording.
  find_program(ZELTO_GROFF groff REQUIRED)
  add_custom_command(OUTPUT zelto.txt
    COMMAND ${ZELTO_GROFF} -man -rHY=0 -rWINDOWS=1 -Tutf8 -P-cbou ${PROJECT_SOURCE_DIR}/doc/zelto.1 > zelto.txt
    DEPENDS doc/zelto.1)
  add_custom_target(zelto-manual-text ALL DEPENDS zelto.txt)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zelto.txt DESTINATION .)
  set(CPACK_PACKAGE_FILE_NAME zelto-${PROJECT_VERSION}-windows-x86_64)
  set(CPACK_GENERATOR ZIP)
else()
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/zelto\")
    message(STATUS \"Installing: \${link} -> zelto-cli\")
    file(CREATE_LINK zelto-cli \"\${link}\" SYMBOLIC)
  ")
  install(FILES doc/zelto.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES doc/zelto.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 RENAME zelto-cli.1)
  set(CPACK_PACKAGE_FILE_NAME zelto-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_GENERATOR TGZ)
endif()
set(CPACK_PACKAGE_NAME zelto)
set(CPACK_PACKAGE_VENDOR zelto)
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
