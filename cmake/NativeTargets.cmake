# Native build: the core, the platform stand-ins and the unit tests, all under
# AddressSanitizer and UndefinedBehaviorSanitizer. The benchmark tree
# (bench/run) turns the sanitizers off, as they would swamp what it measures.
option(TALLY_SANITIZE "Build the native tree under ASan and UBSan" ON)
if(TALLY_SANITIZE)
  set(TALLY_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${TALLY_SANITIZERS})
  add_link_options(${TALLY_SANITIZERS})
  target_compile_options(tallycore PRIVATE ${TALLY_SANITIZERS})
  target_link_options(tallycore PUBLIC ${TALLY_SANITIZERS})
endif()

find_package(GTest REQUIRED)

add_library(tallystandins STATIC framework/native/StandIns.cpp framework/native/StandInWindows.cpp
                          ${TALLY_FRAMEWORK_COMMON})
target_include_directories(tallystandins PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(tallystandins PRIVATE _GNU_SOURCE)
tally_warnings(tallystandins)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES})
target_link_libraries(unit_tests PRIVATE tallycore tallystandins GTest::gtest_main GTest::gmock
                                         Threads::Threads)
target_compile_definitions(unit_tests PRIVATE TALLY_SAMPLES_DIR="${CMAKE_SOURCE_DIR}/samples")
tally_warnings(unit_tests)
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)
