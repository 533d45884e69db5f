# What `cmake --install` puts where, and the archives CPack makes of it: for Windows a zip of one
# versioned folder with the programs, a README for Windows users, the manual pages and the licence
# as Windows text; for Linux a tar.gz and a .deb with bin/, the `zelto` link, the manual pages and the
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
  foreach(page zelto zelto-standin)  # the manual pages in their Windows wording
    add_custom_command(OUTPUT ${page}.utf8
      COMMAND ${ZELTO_GROFF} -man -rHY=0 -rWINDOWS=1 -Tutf8 -P-cbou ${CMAKE_CURRENT_BINARY_DIR}/${page}.1 > ${page}.utf8
      DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${page}.1)
    install_windows_text(${page}.txt ${CMAKE_CURRENT_BINARY_DIR}/${page}.utf8)
  endforeach()
  install_windows_text(README.txt ${PROJECT_SOURCE_DIR}/doc/README-windows.txt)
  install_windows_text(LICENSE.txt ${PROJECT_SOURCE_DIR}/LICENSE)
  set(CPACK_PACKAGE_FILE_NAME zelto-${PROJECT_VERSION}-windows-x86_64)
  set(CPACK_GENERATOR ZIP)
else()
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/zelto\")
    message(STATUS \"Installing: \${link} -> zelto-cli\")
    file(CREATE_LINK zelto-cli \"\${link}\" SYMBOLIC)
  ")
  # The manual pages, and Debian's changelog, gzip-compressed as man and Debian read them;
  # zelto-cli's page is a link to zelto's.
  set(ZELTO_DEB_MAINTAINER "zelto developers <zelto@example.org>" CACHE STRING
    "The .deb's Maintainer: a name and an e-mail address, as the packager's")
  configure_file(packaging/debian/changelog.in changelog @ONLY)
  foreach(file zelto.1 zelto-standin.1 changelog)
    add_custom_command(OUTPUT ${file}.gz COMMAND gzip -9nc ${file} > ${file}.gz DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${file})
  endforeach()
  add_custom_target(zelto-compressed-texts ALL DEPENDS zelto.1.gz zelto-standin.1.gz changelog.gz)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zelto.1.gz ${CMAKE_CURRENT_BINARY_DIR}/zelto-standin.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(CODE "file(CREATE_LINK zelto.1.gz \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1/zelto-cli.1.gz\" SYMBOLIC)")
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)  # where Debian keeps them
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES packaging/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
    RENAME zelto COMPONENT debian)
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/cpack-generators.cmake)
  set(CPACK_PACKAGE_FILE_NAME zelto-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_STRIP_FILES ON)  # in both archives, as in the zip
  # zelto_VERSION_ARCHITECTURE.deb. Static programs depend on nothing; linked dynamically (as the
  # sanitizers' build is) they depend on the libraries dpkg-shlibdeps finds.
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  if(NOT ZELTO_STATIC)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  endif()
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ZELTO_DEB_MAINTAINER})
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "In a terminal that the Zelto canvas app opened, an agent runs zelto to see
what is connected to its terminal, message other terminals' agents, answer a
caller, and create notes, diagrams, HTML pages and browser webviews on the
canvas. zelto-standin, a small stand-in for the app, runs a shell or a command
as one of its terminals, to try zelto without the app.")
endif()
set(CPACK_PACKAGE_NAME zelto)
set(CPACK_PACKAGE_VENDOR "The zelto developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
