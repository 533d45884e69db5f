# The Windows client, cross-built with mingw-w64 beside this build, and the black-box tests run on it
# under Wine, in a Wine prefix of this build's own.
include(ExternalProject)

find_program(ZELTO_WINE64 wine64 PATHS /usr/lib/wine REQUIRED)
find_program(ZELTO_WINESERVER64 wineserver64 PATHS /usr/lib/wine REQUIRED)

set(windows_build ${CMAKE_BINARY_DIR}/windows)
ExternalProject_Add(zelto-windows
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${windows_build}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    -DZELTO_WERROR=${ZELTO_WERROR}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${windows_build}/bin/zelto-cli.exe ${windows_build}/bin/zelto-test-spawn.exe
)
add_dependencies(zelto-blackbox-tests zelto-windows)

set(ZELTO_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(windows/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Without Mono and Gecko (mscoree, mshtml) a new prefix is ready in seconds, not a minute.
set(wine_environment WINEPREFIX=${ZELTO_WINEPREFIX} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=)

# One Wine server for the whole run, started apart from any test's output: a server started by a test
# would hold that test's pipes open until it quits.
add_test(NAME windows:start-wine
  COMMAND sh -c "mkdir -p '${ZELTO_WINEPREFIX}' && '${ZELTO_WINESERVER64}' -p60 </dev/null >/dev/null 2>&1 && '${ZELTO_WINE64}' wineboot </dev/null >/dev/null 2>&1")
add_test(NAME windows:stop-wine COMMAND sh -c "'${ZELTO_WINESERVER64}' -k || true")
set_tests_properties(windows:start-wine PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${wine_environment}"
  LABELS windows)
set_tests_properties(windows:stop-wine PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT "${wine_environment}"
  LABELS windows)

gtest_discover_tests(zelto-blackbox-tests
  TEST_PREFIX "windows:"
  PROPERTIES
    ENVIRONMENT "ZELTO_TEST_CLIENT=${CMAKE_BINARY_DIR}/wine-run ${windows_build}/bin/zelto-cli.exe"
    FIXTURES_REQUIRED wine
    LABELS windows
)
