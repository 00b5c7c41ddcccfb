# The rules checker and the fuzz targets of the scroll-data language.

add_executable(fcheck ${CMAKE_SOURCE_DIR}/rules/fcheck/FcheckMain.cpp)
target_link_libraries(fcheck PRIVATE flicko_core)
if(WIN32)
  target_link_options(fcheck PRIVATE ${FLICKO_STATIC_RUNTIME})
  set_target_properties(fcheck PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FLICKO_RELEASE_DIR})
endif()

# libFuzzer targets: only with clang (configure a separate build directory
# with -DCMAKE_CXX_COMPILER=clang++). Each also runs over its committed
# corpus as a quick test.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND NOT CMAKE_CROSSCOMPILING)
  set(FLICKO_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  # The core again, instrumented for coverage.
  add_library(flicko_core_fuzz STATIC ${FLICKO_CORE_SOURCES})
  target_include_directories(flicko_core_fuzz PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(flicko_core_fuzz PRIVATE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  foreach(target reader calc windowpath actions)
    add_executable(fuzz_${target} ${CMAKE_SOURCE_DIR}/fuzz/Fuzz_${target}.cpp)
    target_compile_options(fuzz_${target} PRIVATE ${FLICKO_FUZZ_FLAGS})
    target_link_options(fuzz_${target} PRIVATE ${FLICKO_FUZZ_FLAGS})
    target_link_libraries(fuzz_${target} PRIVATE flicko_core_fuzz)
    add_test(NAME fuzz_corpus_${target}
      COMMAND fuzz_${target} -runs=0 ${CMAKE_SOURCE_DIR}/fuzz/corpus/${target})
  endforeach()
endif()
