# The project's lint, run as tests: every C and C++ file formatted by clang-format and every Python
# file by black as they would format it, and clang-tidy's checks (.clang-tidy) on src/ and tools/,
# which reads the compile commands (CMAKE_EXPORT_COMPILE_COMMANDS).
find_program(ZELTO_CLANG_FORMAT clang-format REQUIRED)
find_program(ZELTO_BLACK black REQUIRED)
find_program(ZELTO_RUN_CLANG_TIDY run-clang-tidy REQUIRED)
foreach(folder src tools tests fuzz bench)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.[ch] ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  list(APPEND c_files ${found})
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.py)
  list(APPEND python_files ${found})
endforeach()
add_test(NAME format:c++ COMMAND ${ZELTO_CLANG_FORMAT} --dry-run --Werror ${c_files})
add_test(NAME format:python COMMAND ${ZELTO_BLACK} --check --quiet --line-length 100 ${python_files})
add_test(NAME tidy COMMAND ${ZELTO_RUN_CLANG_TIDY} -quiet -extra-arg=-Wno-unknown-warning-option -p ${CMAKE_BINARY_DIR}
  "${PROJECT_SOURCE_DIR}/(src|tools)/")
