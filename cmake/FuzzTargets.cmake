# Fuzz build (build/fuzz, clang with libFuzzer): the layers and the
# framework's stand-ins instrumented for coverage under AddressSanitizer and
# UndefinedBehaviorSanitizer (cmake/TreeOptions.cmake), four fuzz targets,
# their seed inputs, and a bounded run of each as a ctest test (label fuzz).
# tools/fuzz runs them longer by hand.
set(TALLY_FUZZ_SECONDS 60 CACHE STRING "Seconds each fuzz target runs in the test command")

# The tests' reference code, which the targets check against: built without
# coverage instrumentation, so that it neither guides the fuzzer nor slows it.
# Its headers bring in GoogleTest's (nothing of the library itself is used).
find_package(GTest REQUIRED)
add_library(fuzzoracle STATIC fuzz/Oracle.cpp)
target_include_directories(fuzzoracle PUBLIC ${CMAKE_SOURCE_DIR}
                           PRIVATE $<TARGET_PROPERTY:GTest::gtest,INTERFACE_INCLUDE_DIRECTORIES>)
target_compile_options(fuzzoracle PRIVATE ${TALLY_FUZZ_SANITIZERS})
tally_warnings(fuzzoracle)

function(tally_fuzzer target source)
  add_executable(${target} ${source})
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer ${TALLY_FUZZ_SANITIZERS})
  target_link_options(${target} PRIVATE -fsanitize=fuzzer ${TALLY_FUZZ_SANITIZERS})
  # Between them the targets use every layer; from a static library a target
  # takes only what it calls.
  target_link_libraries(${target} PRIVATE tallygui tallyframework_native
                                          fuzzoracle)
  target_include_directories(${target}
                             PRIVATE $<TARGET_PROPERTY:GTest::gtest,INTERFACE_INCLUDE_DIRECTORIES>)
  tally_warnings(${target})
endfunction()

# The table of targets: name, source, dictionary, longest input.
file(STRINGS ${CMAKE_SOURCE_DIR}/fuzz/targets TALLY_FUZZ_TABLE REGEX "^[a-z]")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/targets)
foreach(line IN LISTS TALLY_FUZZ_TABLE)
  string(REGEX MATCHALL "[^ \t]+" fields "${line}")
  list(GET fields 0 name)
  list(GET fields 1 source)
  tally_fuzzer(fuzz_${name} fuzz/${source})
endforeach()

# The generated seeds, made anew when the generator or a sample changes.
add_executable(fuzzseeds fuzz/SeedGen.cpp)
target_include_directories(fuzzseeds PRIVATE ${CMAKE_SOURCE_DIR})
tally_warnings(fuzzseeds)
file(GLOB TALLY_SAMPLES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/samples/*.txt
     ${CMAKE_SOURCE_DIR}/samples/*.asc)
set(TALLY_SEEDS ${CMAKE_BINARY_DIR}/seeds)
add_custom_command(
  OUTPUT ${TALLY_SEEDS}/made
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TALLY_SEEDS}
  COMMAND fuzzseeds ${CMAKE_SOURCE_DIR}/samples ${TALLY_SEEDS}
  COMMAND ${CMAKE_COMMAND} -E touch ${TALLY_SEEDS}/made
  DEPENDS fuzzseeds ${TALLY_SAMPLES}
  COMMENT "Writing the fuzz seeds")
add_custom_target(fuzz_seeds ALL DEPENDS ${TALLY_SEEDS}/made)

# One bounded run per target over a corpus copied fresh from the generated
# and the checked-in seeds (fuzz/seeds/NAME); findings in runs/findings/NAME.
foreach(line IN LISTS TALLY_FUZZ_TABLE)
  string(REGEX MATCHALL "[^ \t]+" fields "${line}")
  list(GET fields 0 name)
  list(GET fields 2 dict)
  list(GET fields 3 maxlen)
  add_test(NAME fuzz.${name}
           COMMAND ${CMAKE_SOURCE_DIR}/fuzz/run-fuzzer --fresh $<TARGET_FILE:fuzz_${name}>
                   ${TALLY_FUZZ_SECONDS} ${CMAKE_BINARY_DIR}/runs/${name}
                   ${CMAKE_BINARY_DIR}/runs/findings/${name} ${CMAKE_SOURCE_DIR}/fuzz/${dict}
                   ${maxlen} ${TALLY_SEEDS}/${name} ${CMAKE_SOURCE_DIR}/fuzz/seeds/${name})
  math(EXPR limit "${TALLY_FUZZ_SECONDS} + 300")
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT ${limit})
endforeach()
