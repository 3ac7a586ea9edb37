# Formatting and static analysis of the sources, as tests; a missing tool is
# reported as a skipped test, or a failed one where CI=true (tests/e2e/run.py).
find_program(CLANG_FORMAT clang-format)
find_program(CLANG_TIDY clang-tidy)
find_program(CPPCHECK cppcheck)

file(GLOB_RECURSE formatted CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h
  ${PROJECT_SOURCE_DIR}/tests/*.cpp ${PROJECT_SOURCE_DIR}/tests/*.h)
# clang-tidy reads how each file is compiled here, so it sees this platform's console only.
file(GLOB_RECURSE analysed CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.cpp)
list(FILTER analysed EXCLUDE REGEX "console_(windows|posix|web)\\.cpp$")
list(APPEND analysed ${PROJECT_SOURCE_DIR}/${console_source})

function(add_lint_test name tool)
  if(tool)
    add_test(NAME lint.${name} COMMAND ${tool} ${ARGN})
  else()
    add_test(NAME lint.${name} COMMAND ${PYTHON3} -B -c "import run; run.skip_group('no ${name}')"
             WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
  endif()
  set_tests_properties(lint.${name} PROPERTIES LABELS lint SKIP_RETURN_CODE 77)
endfunction()

add_lint_test(clang-format "${CLANG_FORMAT}" --dry-run -Werror ${formatted})
add_lint_test(clang-tidy "${CLANG_TIDY}" -p ${CMAKE_BINARY_DIR} --quiet ${analysed})
add_lint_test(cppcheck "${CPPCHECK}" --enable=warning,style,performance,portability
  --error-exitcode=1 --inline-suppr --quiet --std=c++17
  -I${PROJECT_SOURCE_DIR}/src/turn -I${PROJECT_SOURCE_DIR}/src/screens
  -I${PROJECT_SOURCE_DIR}/src/console ${PROJECT_SOURCE_DIR}/src)
