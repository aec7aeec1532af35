# bench/: the wave-file generator and the reader and engine benchmarks. Built
# in every tree (they are small) so that they keep compiling as the engine
# changes; bench/run measures with trees of its own (build/bench-native without
# sanitizers, build/bench-win32).
add_executable(wavegen bench/wavegen.cpp)
tally_warnings(wavegen)

# A benchmark of the core. The core reports failures through the platform
# seams: the Win32 layer, or natively the stand-ins.
function(tally_bench target source)
  add_executable(${target} ${source})
  if(TARGET tallyplatform)
    target_link_libraries(${target} PRIVATE tallycore tallyplatform)
  else()
    target_link_libraries(${target} PRIVATE tallycore tallystandins)
  endif()
  tally_warnings(${target})
endfunction()

tally_bench(readerbench bench/ReaderBench.cpp)
tally_bench(enginebench bench/EngineBench.cpp)

# The unit tests run the generator whose files later tests build on.
if(TARGET unit_tests)
  target_compile_definitions(unit_tests PRIVATE TALLY_WAVEGEN="$<TARGET_FILE:wavegen>")
  add_dependencies(unit_tests wavegen)
endif()
