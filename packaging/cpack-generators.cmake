# Read by CPack for each generator: the lintian overrides are the .deb's alone, so the tar.gz takes
# every component but theirs.
if(CPACK_GENERATOR STREQUAL "TGZ")
  string(REPLACE ";ALL;" ";Unspecified;" CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_INSTALL_CMAKE_PROJECTS}")
endif()
