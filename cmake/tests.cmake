# The tests: the unit tests (natively and for Windows), the Win32 adapter
# tests, the release checks and the end-to-end cases under Wine.

# --- GoogleTest ------------------------------------------------------------------
if(CMAKE_CROSSCOMPILING)
  # Debian's googletest package ships the sources; build them for Windows.
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(FLICKO_GTEST gtest gmock gtest_main)
else()
  find_package(GTest REQUIRED)
  set(FLICKO_GTEST GTest::gtest GTest::gmock GTest::gtest_main)
endif()
include(GoogleTest)

# --- one test program: the unit tests, and on Windows the adapter tests -------
file(GLOB_RECURSE FLICKO_UNIT_TESTS CONFIGURE_DEPENDS ${FLICKO_GLOB_ROOT}/tests/unit/*.cpp)
if(WIN32)
  file(GLOB_RECURSE FLICKO_WIN32_TESTS CONFIGURE_DEPENDS ${FLICKO_GLOB_ROOT}/tests/win32/*.cpp)
endif()
add_executable(flicko_tests ${FLICKO_UNIT_TESTS} ${FLICKO_WIN32_TESTS})
target_include_directories(flicko_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(flicko_tests PRIVATE flicko_fcheck flicko_host_core flicko_native flicko_fakes ${FLICKO_GTEST})
if(TARGET flicko_probe_core)
  target_link_libraries(flicko_tests PRIVATE flicko_probe_core)
endif()

# The README names the one version number.
add_test(NAME readme_names_the_version
  COMMAND grep -q "version ${PROJECT_VERSION}" ${CMAKE_SOURCE_DIR}/README.md)

# Every copied Win32 constant is checked against the system headers (the
# check itself runs when the Windows build compiles WinConstCheck.cpp).
add_test(NAME winconst_check_covers_every_constant
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/CheckWinConstList.cmake)

if(NOT WIN32)
  # The unit tests read the shipped files from the source tree.
  target_compile_definitions(flicko_tests PRIVATE FLICKO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(flicko_tests DISCOVERY_TIMEOUT 60)
else()
  # The adapters, the host's Win32 side and the tray pictures (the resource
  # file) for the adapter tests. Here the Win32 adapters answer
  # MakeSystemEnvironment and MakeSystemProfileFiles; the native ones are
  # linked only for the agreement tests.
  target_link_libraries(flicko_tests PRIVATE flicko_host flicko_hook_loader flicko_win32)
  target_sources(flicko_tests PRIVATE host/res/flicko.rc)
  target_include_directories(flicko_tests PRIVATE ${FLICKO_VERSION_INCLUDE_DIRS})
  target_link_options(flicko_tests PRIVATE ${FLICKO_STATIC_RUNTIME})
  # One Wine start for the whole binary: each Wine start costs seconds. The
  # adapter tests install the real hook on the real block: never next to a
  # running end-to-end case.
  add_test(NAME win32_unit_and_adapter_tests COMMAND flicko_tests --gtest_brief=1)
  set_tests_properties(win32_unit_and_adapter_tests PROPERTIES TIMEOUT 600 RESOURCE_LOCK flicko_desktop)

  # --- release checks ------------------------------------------------------------
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(FLICKO_PE_FORMAT pei-x86-64)
  else()
    set(FLICKO_PE_FORMAT pei-i386)
  endif()
  add_test(NAME claspm_exports_and_imports
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-pe.sh ${FLICKO_RELEASE_DIR} ${FLICKO_PE_FORMAT})
  add_test(NAME programs_start_and_exit_under_wine
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/smoke-start.sh ${FLICKO_RELEASE_DIR})
  # The end-to-end cases need a Flicko that starts: when this fails they are
  # not run, instead of each waiting out its own time-out.
  set_tests_properties(programs_start_and_exit_under_wine PROPERTIES TIMEOUT 180 RESOURCE_LOCK flicko_desktop
    FIXTURES_SETUP flicko_starts)
  set_tests_properties(claspm_exports_and_imports PROPERTIES TIMEOUT 60)

  # --- end-to-end cases: the real flicko.exe, the real hook, real X input ------
  # The fixture program the cases drive.
  add_executable(e2e_fixture WIN32 tests/e2e/fixture/FixtureMain.cpp)
  target_include_directories(e2e_fixture PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(e2e_fixture PRIVATE user32 gdi32 comctl32 kernel32)
  target_link_options(e2e_fixture PRIVATE ${FLICKO_STATIC_RUNTIME})
  set_target_properties(e2e_fixture PROPERTIES OUTPUT_NAME fixture RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/e2e)

  # Probes of a running resident program: close its window, read the block.
  add_executable(e2e_flickotool tests/e2e/fixture/FlickoTool.cpp)
  target_include_directories(e2e_flickotool PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(e2e_flickotool PRIVATE user32 shell32 ole32 uuid kernel32)
  target_link_options(e2e_flickotool PRIVATE ${FLICKO_STATIC_RUNTIME})
  set_target_properties(e2e_flickotool PROPERTIES OUTPUT_NAME flickotool RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

  # The latency relay (tests/e2e/latency.py): a minimal hook and receiver of
  # the same shape as the resident program, the floor it is compared with.
  add_library(e2e_relayhook SHARED tests/e2e/relay/RelayHook.cpp)
  target_include_directories(e2e_relayhook PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(e2e_relayhook PRIVATE user32 kernel32)
  target_link_options(e2e_relayhook PRIVATE ${FLICKO_STATIC_RUNTIME})
  set_target_properties(e2e_relayhook PROPERTIES PREFIX "" OUTPUT_NAME relayhook RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
  add_executable(e2e_relay tests/e2e/relay/RelayMain.cpp)
  target_include_directories(e2e_relay PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(e2e_relay PRIVATE user32 kernel32)
  target_link_options(e2e_relay PRIVATE ${FLICKO_STATIC_RUNTIME})
  set_target_properties(e2e_relay PROPERTIES OUTPUT_NAME relay RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

  # One test per case the runner knows; a new case_ function in a case file
  # becomes a test at the next configure.
  find_program(FLICKO_PYTHON3 python3)
  if(FLICKO_PYTHON3)
    set(FLICKO_E2E_RUNNER ${CMAKE_SOURCE_DIR}/tests/e2e/e2e.py)
    file(GLOB FLICKO_E2E_CASE_FILES ${FLICKO_GLOB_ROOT}/tests/e2e/*.py)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${FLICKO_E2E_CASE_FILES})
    execute_process(COMMAND ${FLICKO_PYTHON3} ${FLICKO_E2E_RUNNER} --list
      OUTPUT_VARIABLE FLICKO_E2E_CASES RESULT_VARIABLE FLICKO_E2E_LIST_STATUS OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT FLICKO_E2E_LIST_STATUS EQUAL 0)
      message(FATAL_ERROR "tests/e2e/e2e.py --list failed")
    endif()
    string(REPLACE "\n" ";" FLICKO_E2E_CASES "${FLICKO_E2E_CASES}")
    foreach(case ${FLICKO_E2E_CASES})
      add_test(NAME e2e_${case}
        COMMAND ${FLICKO_PYTHON3} ${FLICKO_E2E_RUNNER} --case ${case}
          --release ${FLICKO_RELEASE_DIR} --fixture ${CMAKE_BINARY_DIR}/e2e/fixture.exe
          --tools ${CMAKE_BINARY_DIR}/tools --work ${CMAKE_BINARY_DIR}/e2e/work)
      set_tests_properties(e2e_${case} PROPERTIES TIMEOUT 240 RESOURCE_LOCK flicko_desktop LABELS e2e
        FIXTURES_REQUIRED flicko_starts)
    endforeach()
  endif()
endif()
