# Each tree's compile and link options, set before any target is made: the
# directory's options reach every library and program of the tree;
# TALLY_LAYER_OPTIONS go to the layer libraries alone (tally_layer).
if(TALLY_TREE STREQUAL "Win32")
  # Exact doubles (no x87 excess precision) and C99 printf on both builds.
  add_compile_options(-msse2 -mfpmath=sse)
  # The scan's wide copy (engine/ReadWindows.h) holds 32-byte vectors, which
  # the compiler may keep on a stack that Windows aligns to 16 bytes at most
  # and that GCC does not realign for them on 64-bit Windows: the assembler
  # writes every aligned vector move as an unaligned one, right at any address.
  add_compile_options(-Wa,-muse-unaligned-vector-move)
  add_compile_definitions(__USE_MINGW_ANSI_STDIO=1 WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0601)
  add_link_options(-static -static-libgcc -static-libstdc++)
elseif(TALLY_TREE STREQUAL "Fuzz")
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TALLY_FUZZ needs clang++ (libFuzzer): -DCMAKE_CXX_COMPILER=clang++")
  endif()
  # The layers are instrumented for coverage, which guides the fuzzer; every
  # part of a fuzz target runs under AddressSanitizer and
  # UndefinedBehaviorSanitizer (cmake/FuzzTargets.cmake).
  set(TALLY_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all
                            -fno-omit-frame-pointer)
  set(TALLY_LAYER_OPTIONS -fsanitize=fuzzer-no-link ${TALLY_FUZZ_SANITIZERS})
else()
  # Everything natively under AddressSanitizer and UndefinedBehaviorSanitizer.
  # The benchmark tree (bench/run) turns them off, as they would swamp what
  # it measures.
  # With TALLY_THREAD_SANITIZE (tools/tsan's tree, clang) ThreadSanitizer
  # takes their place: it cannot run beside AddressSanitizer.
  option(TALLY_SANITIZE "Build the native tree under ASan and UBSan" ON)
  option(TALLY_THREAD_SANITIZE "Build the native tree under TSan instead" OFF)
  if(TALLY_THREAD_SANITIZE)
    set(TALLY_SANITIZERS -fsanitize=thread -fno-omit-frame-pointer)
  elseif(TALLY_SANITIZE)
    set(TALLY_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all
                         -fno-omit-frame-pointer)
  endif()
  if(TALLY_SANITIZERS)
    add_compile_options(${TALLY_SANITIZERS})
    add_link_options(${TALLY_SANITIZERS})
  endif()
endif()
