# The rules checker and the fuzz targets of the scroll-data language.

add_executable(fcheck ${CMAKE_SOURCE_DIR}/rules/fcheck/FcheckMain.cpp)
if(WIN32)
  # The system's profile functions and environment queries.
  target_link_libraries(fcheck PRIVATE flicko_win32)
else()
  target_link_libraries(fcheck PRIVATE flicko_core)
endif()
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
  target_compile_options(flicko_core_fuzz PRIVATE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  foreach(target reader calc windowpath actions)
    add_executable(fuzz_${target} ${CMAKE_SOURCE_DIR}/fuzz/Fuzz_${target}.cpp)
    target_compile_options(fuzz_${target} PRIVATE ${FLICKO_FUZZ_FLAGS})
    target_link_options(fuzz_${target} PRIVATE ${FLICKO_FUZZ_FLAGS})
    target_link_libraries(fuzz_${target} PRIVATE flicko_core_fuzz)
    add_test(NAME fuzz_corpus_${target}
      COMMAND fuzz_${target} -runs=0 ${CMAKE_SOURCE_DIR}/fuzz/corpus/${target})
  endforeach()
endif()

# The checker's exit status: 0 clean, 1 reports, 2 aborted or missing.
if(NOT CMAKE_CROSSCOMPILING)
  foreach(case "clean;0" "with-reports;1" "aborting;2" "missing;2")
    list(GET case 0 name)
    list(GET case 1 status)
    add_test(NAME fcheck_${name}_exits_${status}
      COMMAND sh -c "\"$0\" \"$1\" >/dev/null 2>&1; test $? -eq ${status}"
              $<TARGET_FILE:fcheck> ${CMAKE_SOURCE_DIR}/tests/rules-data/${name}.dat)
  endforeach()
endif()

# fcheck --ini reaches the settings check: the shipped settings enable scrolling.
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME fcheck_ini_reads_the_shipped_settings
    COMMAND sh -c "\"$0\" --ini \"$1\" | grep -qx 'Scroll.Enable=True'"
            $<TARGET_FILE:fcheck> ${CMAKE_SOURCE_DIR}/default/flicko.ini)
endif()

# The same exit-status checks for fcheck.exe under Wine, and --ini with the
# system's profile functions.
if(CMAKE_CROSSCOMPILING AND CMAKE_CROSSCOMPILING_EMULATOR)
  foreach(case "clean;0" "with-reports;1" "aborting;2" "missing;2")
    list(GET case 0 name)
    list(GET case 1 status)
    add_test(NAME fcheck_exe_${name}_exits_${status}
      COMMAND sh -c "\"$0\" \"$1\" \"$2\" >/dev/null 2>&1; test $? -eq ${status}"
              ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:fcheck> ${CMAKE_SOURCE_DIR}/tests/rules-data/${name}.dat)
  endforeach()
  add_test(NAME fcheck_exe_ini_reads_the_shipped_settings
    COMMAND sh -c "\"$0\" \"$1\" --ini \"$2\" | tr -d '\\r' | grep -qx 'Scroll.Enable=True'"
            ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:fcheck> ${FLICKO_RELEASE_DIR}/default/flicko.ini)
endif()

# The unit tests read the shipped files from the source tree.
if(NOT CMAKE_CROSSCOMPILING)
  target_compile_definitions(flicko_tests PRIVATE FLICKO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
