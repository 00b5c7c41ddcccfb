# Fuzzing of the native profile-file reader (clang only: libFuzzer).
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND NOT CMAKE_CROSSCOMPILING)
  add_executable(profile_fuzz fuzz/profile_fuzz.cpp platform/ProfileFileNative.cpp)
  target_include_directories(profile_fuzz PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(profile_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  target_link_options(profile_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  # Replays the committed corpus only; the long runs are done by hand.
  add_test(NAME fuzz_corpus_profile COMMAND profile_fuzz -runs=0 ${CMAKE_SOURCE_DIR}/fuzz/corpus/profile)
endif()
