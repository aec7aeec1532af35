# bench/: the wave-file generator, the reader, engine and batch benchmarks
# and their helpers. Built in every tree where they apply (they are small) so
# that they keep compiling as the code changes; bench/run measures with trees
# of its own (build/bench-native without sanitizers, build/bench-win32).
add_executable(wavegen bench/wavegen.cpp)
tally_warnings(wavegen)

# The reader benchmark uses the core, the engine benchmark the output window
# of the text front end too; natively both report through the framework's
# stand-ins.
add_executable(readerbench bench/ReaderBench.cpp)
target_link_libraries(readerbench PRIVATE tallyengine tallyframework)
tally_warnings(readerbench)
add_executable(enginebench bench/EngineBench.cpp)
target_link_libraries(enginebench PRIVATE tallytextui tallyframework)
tally_warnings(enginebench)

# The batch benchmark times the files of a silent run from outside the
# program: openwatch notes each open and close (Linux inotify), natively.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  add_executable(openwatch bench/OpenWatch.cpp)
  tally_warnings(openwatch)
endif()

# The batch benchmark drives the real program from another process under
# Wine, with the driver library (Win32 trees with it only), and runs the
# engine alone over the same files for comparison.
if(TARGET windriver)
  add_executable(batchbench bench/BatchBench.cpp bench/BatchDrive.cpp bench/BatchMeasure.cpp
                            bench/BatchReport.cpp)
  target_link_libraries(batchbench PRIVATE windriver tallytextui tallyframework)
  add_dependencies(batchbench tallywave)
  tally_warnings(batchbench)
endif()

# The unit tests run the generator whose files later tests build on.
if(TARGET unit_tests)
  target_compile_definitions(unit_tests PRIVATE TALLY_WAVEGEN="$<TARGET_FILE:wavegen>")
  add_dependencies(unit_tests wavegen)
endif()
