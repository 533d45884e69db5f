# The black-box tests run on the Windows client under Wine.
include(${PROJECT_SOURCE_DIR}/cmake/windows-under-wine.cmake)
add_dependencies(zelto-blackbox-tests zelto-windows)

add_test(NAME windows:start-wine COMMAND ${CMAKE_BINARY_DIR}/wine-run --start)
add_test(NAME windows:stop-wine COMMAND ${CMAKE_BINARY_DIR}/wine-run --stop)
set_tests_properties(windows:start-wine PROPERTIES FIXTURES_SETUP wine LABELS windows)
set_tests_properties(windows:stop-wine PROPERTIES FIXTURES_CLEANUP wine LABELS windows)

gtest_discover_tests(zelto-blackbox-tests
  TEST_PREFIX "windows:"
  PROPERTIES
    ENVIRONMENT "ZELTO_TEST_CLIENT=${CMAKE_BINARY_DIR}/wine-run ${ZELTO_WINDOWS_BUILD}/bin/zelto-cli.exe"
    FIXTURES_REQUIRED wine
    LABELS windows
)
