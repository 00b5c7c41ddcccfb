# The rules checker: fcheck.exe for Windows, a native fcheck for rule
# authors on other systems and their CI. Its exit status: 0 clean, 1
# reports, 2 aborted or missing.

# The checking itself, platform-free (the unit tests and the reader's fuzz
# target use it too).
file(GLOB FLICKO_FCHECK_SOURCES CONFIGURE_DEPENDS ${FLICKO_GLOB_ROOT}/fcheck/*.cpp)
list(REMOVE_ITEM FLICKO_FCHECK_SOURCES ${CMAKE_SOURCE_DIR}/fcheck/FcheckMain.cpp)
add_library(flicko_fcheck STATIC ${FLICKO_FCHECK_SOURCES})
target_link_libraries(flicko_fcheck PUBLIC flicko_core)

# The program picks the adapters of the system it runs on.
add_executable(fcheck fcheck/FcheckMain.cpp)
target_link_libraries(fcheck PRIVATE flicko_fcheck ${FLICKO_SYSTEM_ADAPTERS})
if(WIN32)
  target_link_options(fcheck PRIVATE ${FLICKO_STATIC_RUNTIME})
  set_target_properties(fcheck PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FLICKO_RELEASE_DIR})
endif()

# Exit statuses over the committed rule files, natively and under Wine.
if(NOT CMAKE_CROSSCOMPILING)
  foreach(case "clean;0" "with-reports;1" "aborting;2" "missing;2")
    list(GET case 0 name)
    list(GET case 1 status)
    add_test(NAME fcheck_${name}_exits_${status}
      COMMAND sh -c "\"$0\" \"$1\" >/dev/null 2>&1; s=$?; [ $s -eq ${status} ] || { echo \"fcheck ended with exit status $s\"; exit 1; }"
              $<TARGET_FILE:fcheck> ${CMAKE_SOURCE_DIR}/tests/rules-data/${name}.dat)
  endforeach()
  # Every rules and settings example of the documentation, through the checker.
  find_package(Python3 COMPONENTS Interpreter)
  if(Python3_Interpreter_FOUND)
    add_test(NAME fcheck_doc_examples
      COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/docs/check_doc_examples.py
              $<TARGET_FILE:fcheck> ${CMAKE_SOURCE_DIR})
  endif()
  add_test(NAME fcheck_ini_missing_exits_2
    COMMAND sh -c "\"$0\" --ini \"$1\" >/dev/null 2>&1; test $? -eq 2"
            $<TARGET_FILE:fcheck> ${CMAKE_SOURCE_DIR}/tests/rules-data/nosuch.ini)
  # --ini reaches the settings check: the shipped settings enable scrolling.
  # The output is taken whole first: a pipe would drop fcheck's own status.
  add_test(NAME fcheck_ini_reads_the_shipped_settings
    COMMAND sh -c "out=$(\"$0\" --ini \"$1\") || { echo \"fcheck ended with exit status $?\"; exit 1; }; printf '%s\\n' \"$out\" | grep -qx 'Scroll.Enable=True'"
            $<TARGET_FILE:fcheck> ${CMAKE_SOURCE_DIR}/default/flicko.ini)
elseif(CMAKE_CROSSCOMPILING_EMULATOR)
  foreach(case "clean;0" "with-reports;1" "aborting;2" "missing;2")
    list(GET case 0 name)
    list(GET case 1 status)
    add_test(NAME fcheck_exe_${name}_exits_${status}
      COMMAND sh -c "\"$0\" \"$1\" \"$2\" >/dev/null; s=$?; [ $s -eq ${status} ] || { echo \"fcheck.exe ended with exit status $s\"; exit 1; }"
              ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:fcheck> ${CMAKE_SOURCE_DIR}/tests/rules-data/${name}.dat)
  endforeach()
  # With the system's profile functions, over the release folder's copy.
  add_test(NAME fcheck_exe_ini_reads_the_shipped_settings
    COMMAND sh -c "out=$(\"$0\" \"$1\" --ini \"$2\") || { echo \"fcheck.exe ended with exit status $?\"; exit 1; }; printf '%s\\n' \"$out\" | tr -d '\\r' | grep -qx 'Scroll.Enable=True'"
            ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:fcheck> ${FLICKO_RELEASE_DIR}/default/flicko.ini)
  # They share the Wine prefix with the end-to-end cases, which restart its
  # server: never at the same time. A start takes seconds; a minute is a hang.
  set_tests_properties(fcheck_exe_clean_exits_0 fcheck_exe_with-reports_exits_1 fcheck_exe_aborting_exits_2
    fcheck_exe_missing_exits_2 fcheck_exe_ini_reads_the_shipped_settings PROPERTIES RESOURCE_LOCK flicko_desktop
    TIMEOUT 90)
endif()
