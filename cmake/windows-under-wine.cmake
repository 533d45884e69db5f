# The Windows programs, cross-built with mingw-w64 beside this build (in ${ZELTO_WINDOWS_BUILD}), and
# ${CMAKE_BINARY_DIR}/wine-run, which runs a Windows program under Wine in this build's own prefix
# (and starts and stops the Wine server a whole run shares).
include(ExternalProject)

find_program(ZELTO_WINE64 wine64 PATHS /usr/lib/wine REQUIRED)
find_program(ZELTO_WINESERVER64 wineserver64 PATHS /usr/lib/wine REQUIRED)

set(ZELTO_WINDOWS_BUILD ${CMAKE_BINARY_DIR}/windows)
ExternalProject_Add(zelto-windows
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${ZELTO_WINDOWS_BUILD}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    -DZELTO_WERROR=${ZELTO_WERROR}
    -DZELTO_BENCH=${ZELTO_BENCH}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${ZELTO_WINDOWS_BUILD}/bin/zelto-cli.exe ${ZELTO_WINDOWS_BUILD}/bin/zelto-standin.exe
)

set(ZELTO_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
