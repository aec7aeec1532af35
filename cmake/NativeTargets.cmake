# Native build: the unit tests over every layer, against the framework's
# stand-ins, and the picture generator of tools/art.
find_package(GTest REQUIRED)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES})
target_link_libraries(unit_tests PRIVATE tallygui tallyframework_native
                                         GTest::gtest_main GTest::gmock Threads::Threads)
target_compile_definitions(unit_tests PRIVATE TALLY_SAMPLES_DIR="${CMAKE_SOURCE_DIR}/samples")
tally_warnings(unit_tests)
# The tree under ThreadSanitizer (tools/build's build/tsan) names its tests
# apart from the usual tree's.
set(TALLY_UNIT_PREFIX "")
if(TALLY_THREAD_SANITIZE)
  set(TALLY_UNIT_PREFIX tsan.)
endif()
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60 TEST_PREFIX "${TALLY_UNIT_PREFIX}"
                     PROPERTIES LABELS native)
# The engine's suites once more in windows of 256 bytes: every file of more
# than a few lines spans several, and the worker thread scans many of them
# (tests/common/EngineWindows.h).
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60 TEST_PREFIX "${TALLY_UNIT_PREFIX}two-threads."
                     TEST_FILTER "ValidateTest.*:CountTest.*:FileReadTest.*:FileReadDifferential.*"
                     PROPERTIES LABELS native ENVIRONMENT "TALLY_TEST_WINDOW_BYTES=256")

# The program's pictures are kept as code: tools/art runs this generator from
# the repository root, where it rewrites the files in resources/.
add_executable(artgen tools/artgen/ArtGen.cpp)
target_include_directories(artgen PRIVATE ${CMAKE_SOURCE_DIR})
tally_warnings(artgen)

# The README's picture of the spike rule, drawn from a sample with the
# engine's own figures: tools/screenshots runs it, and the test finds the
# picture in docs/ and the README's worked example as it draws them now.
add_executable(spikeplot tools/spikeplot/SpikePlot.cpp)
target_link_libraries(spikeplot PRIVATE tallyengine tallyframework_native)
tally_warnings(spikeplot)
if(NOT TALLY_THREAD_SANITIZE)
  add_test(NAME spike_rule_picture_and_worked_example_follow_the_engine
           COMMAND ${CMAKE_SOURCE_DIR}/tests/docs/spike-rule-check $<TARGET_FILE:spikeplot>)
  set_tests_properties(spike_rule_picture_and_worked_example_follow_the_engine
                       PROPERTIES LABELS native)
endif()
