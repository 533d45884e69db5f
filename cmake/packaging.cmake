# What `cmake --install` puts where, and the archives CPack makes of it: for Windows a zip of one
# versioned folder with the programs, a README for Windows users, the manual and the licence as
# Windows text; for Linux a tar.gz and a .deb with bin/, the `zelto` link, the manual pages and the
# licence. Each archive with a .sha256 beside it.
install(TARGETS zelto-cli RUNTIME DESTINATION ${ZELTO_INSTALL_BINDIR})
# The manual pages, with the project's version.
foreach(page zelto.1 zelto-standin.1)
  configure_file(doc/${page}.in ${page} @ONLY)
endforeach()
if(WIN32)
  # What Explorer's Properties and installers read: the version, and the manifest (asInvoker;
  # Windows 10 and 11).
  enable_language(RC)
  foreach(program zelto-cli zelto-standin)
    if(NOT TARGET ${program})  # the benchmarks' build makes no stand-in
      continue()
    endif()
    set(ZELTO_PROGRAM ${program})
    set(ZELTO_PROGRAM_DESCRIPTION "${program}: command-line companion of the Zelto canvas app")
    if(program STREQUAL zelto-standin)
      set(ZELTO_PROGRAM_DESCRIPTION "${program}: a stand-in for the Zelto canvas app, to try zelto without it")
    endif()
    set(ZELTO_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${program}.manifest)
    configure_file(packaging/windows/program.manifest.in ${ZELTO_MANIFEST} @ONLY)
    configure_file(packaging/windows/program.rc.in ${program}.rc @ONLY)
    target_sources(${program} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${program}.rc)
  endforeach()
  install(PROGRAMS $<TARGET_FILE:zelto-cli> DESTINATION . RENAME zelto.exe)
  # The texts as Windows text, NAME in the zip made of SOURCE: the README for Windows users, the
  # manual in its Windows wording, the licence.
  function(install_windows_text name source)
    add_custom_command(OUTPUT ${name}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${source} -DOUTPUT=${name} -P ${PROJECT_SOURCE_DIR}/cmake/windows-text.cmake
      DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/windows-text.cmake)
    add_custom_target(zelto-${name} ALL DEPENDS ${name})
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${name} DESTINATION .)
  endfunction()
  find_program(ZELTO_GROFF groff REQUIRED)
  add_custom_command(OUTPUT zelto.utf8
    COMMAND ${ZELTO_GROFF} -man -rHY=0 -rWINDOWS=1 -Tutf8 -P-cbou ${CMAKE_CURRENT_BINARY_DIR}/zelto.1 > zelto.utf8
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/zelto.1)
  install_windows_text(README.txt ${PROJECT_SOURCE_DIR}/doc/README-windows.md)
  install_windows_text(zelto.txt ${CMAKE_CURRENT_BINARY_DIR}/zelto.utf8)
  install_windows_text(LICENSE.txt ${PROJECT_SOURCE_DIR}/LICENSE)
  set(CPACK_PACKAGE_FILE_NAME zelto-${PROJECT_VERSION}-windows-x86_64)
  set(CPACK_GENERATOR ZIP)
else()
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/zelto\")
    message(STATUS \"Installing: \${link} -> zelto-cli\")
    file(CREATE_LINK zelto-cli \"\${link}\" SYMBOLIC)
  ")
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zelto.1 ${CMAKE_CURRENT_BINARY_DIR}/zelto-standin.1
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zelto.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 RENAME zelto-cli.1)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)  # where Debian keeps it
  set(CPACK_PACKAGE_FILE_NAME zelto-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_GENERATOR TGZ DEB)
  # zelto_VERSION_ARCHITECTURE.deb, of programs that are static: it depends on nothing.
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The zelto developers")
endif()
set(CPACK_PACKAGE_NAME zelto)
set(CPACK_PACKAGE_VENDOR "The zelto developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
