# libFuzzer targets: only with clang (configure a separate build directory
# with -DCMAKE_CXX_COMPILER=clang++, see scripts/fuzz-corpus.sh). Each also
# runs over its committed corpus as a quick test. Every input has a time
# limit: the window-path target matches the expressions it accepts, and a
# match that takes seconds under the sanitizers takes a noticeable part of a
# press without them.
set(FLICKO_FUZZ_INPUT_SECONDS 2)
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang" OR CMAKE_CROSSCOMPILING)
  return()
endif()

set(FLICKO_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
set(FLICKO_FUZZ_LIB_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
  -fno-sanitize-recover=undefined)

# The core, the checker, the native profile files and the fake system (the
# window-path target matches on a fake desktop) again, instrumented for
# coverage.
add_library(flicko_core_fuzz STATIC ${FLICKO_CORE_SOURCES} ${FLICKO_FCHECK_SOURCES} ${FLICKO_NATIVE_SOURCES}
  ${FLICKO_FAKE_SOURCES})
target_include_directories(flicko_core_fuzz PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(flicko_core_fuzz PRIVATE ${FLICKO_FUZZ_LIB_FLAGS})

# The scroll-data language: reader, Calc, window paths, actions.
foreach(target reader calc windowpath actions)
  add_executable(fuzz_${target} fuzz/Fuzz_${target}.cpp)
  target_compile_options(fuzz_${target} PRIVATE ${FLICKO_FUZZ_FLAGS})
  target_link_options(fuzz_${target} PRIVATE ${FLICKO_FUZZ_FLAGS})
  target_link_libraries(fuzz_${target} PRIVATE flicko_core_fuzz)
  add_test(NAME fuzz_corpus_${target}
    COMMAND fuzz_${target} -runs=0 -timeout=${FLICKO_FUZZ_INPUT_SECONDS} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${target})
endforeach()

# The native profile-file reader. The long runs are done by hand.
add_executable(profile_fuzz fuzz/profile_fuzz.cpp)
target_compile_options(profile_fuzz PRIVATE ${FLICKO_FUZZ_FLAGS})
target_link_options(profile_fuzz PRIVATE ${FLICKO_FUZZ_FLAGS})
target_link_libraries(profile_fuzz PRIVATE flicko_core_fuzz)
add_test(NAME fuzz_corpus_profile COMMAND profile_fuzz -runs=0 -timeout=${FLICKO_FUZZ_INPUT_SECONDS} ${CMAKE_SOURCE_DIR}/fuzz/corpus/profile)
