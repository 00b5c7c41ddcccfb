# The resident program, its hook library and their end-to-end tests.

# Platform-free pieces of the resident program: built into flicko.exe and
# into the unit tests on every platform.
file(GLOB FLICKO_HOST_CORE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/host/core/*.cpp)
if(FLICKO_HOST_CORE_SOURCES)
  target_sources(flicko_tests PRIVATE ${FLICKO_HOST_CORE_SOURCES})
endif()

if(WIN32)
  enable_language(RC)
  if(FLICKO_HOST_CORE_SOURCES)
    target_sources(flicko PRIVATE ${FLICKO_HOST_CORE_SOURCES})
  endif()
  target_sources(flicko PRIVATE ${CMAKE_SOURCE_DIR}/host/res/flicko.rc)
  target_sources(fprobe PRIVATE ${CMAKE_SOURCE_DIR}/probe/res/fprobe.rc)
  # The version resources share one fragment and the generated numbers.
  foreach(target flicko fprobe claspm flicko_tests)
    target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated ${CMAKE_SOURCE_DIR}/cmake/version)
  endforeach()

  # The hook library is mapped into every process with mouse input: no C
  # runtime, no unwinding tables, an entry point that only says yes.
  target_sources(claspm PRIVATE ${CMAKE_SOURCE_DIR}/hook/claspm/claspm.rc)
  target_compile_options(claspm PRIVATE -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -fno-stack-protector -ffreestanding)
  target_link_options(claspm PRIVATE -nostdlib -nostartfiles -Wl,-e,_ClaspmEntry@12 -Wl,--enable-stdcall-fixup)

  # The fixture program the end-to-end tests drive.
  add_executable(e2e_fixture WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/fixture/FixtureMain.cpp)
  target_link_libraries(e2e_fixture PRIVATE user32 gdi32 comctl32 kernel32)
  target_link_options(e2e_fixture PRIVATE ${FLICKO_STATIC_RUNTIME})
  set_target_properties(e2e_fixture PROPERTIES OUTPUT_NAME fixture RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/e2e)

  # Probes of a running resident program: close its window, read the block.
  add_executable(e2e_flickotool ${CMAKE_SOURCE_DIR}/tests/e2e/fixture/FlickoTool.cpp)
  target_include_directories(e2e_flickotool PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(e2e_flickotool PRIVATE user32 shell32 ole32 uuid kernel32)
  target_link_options(e2e_flickotool PRIVATE ${FLICKO_STATIC_RUNTIME})
  set_target_properties(e2e_flickotool PROPERTIES OUTPUT_NAME flickotool RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

  # End-to-end cases: the real flicko.exe, the real hook, real X input.
  find_program(FLICKO_PYTHON3 python3)
  if(FLICKO_PYTHON3)
    set(FLICKO_E2E_CASES drag_scrolls_edit right_click_replayed isscroll_off_passes flick_glides_left_click_stops
      second_instance_exits missing_dll_runs disabled_axis_still double_click_untouched
      kill_during_drag write_exit_status hung_target aborted_rules_keep_what_was_read
      caret_and_capture_replies tray_picture_follows_state
      icon_back_after_shell_restart close_during_drag stalled_resident
      tray_left_click_toggles tray_menu_items about_dialog
      fprobe_shows_and_scrolls_edit fprobe_geometry_persists process_rule_turns_one_program_off
      shipped_wheel_rule_follows_the_cursor
      tray_startup_item_switches_the_shortcut)
    find_program(FLICKO_MAKENSIS makensis)
    if(FLICKO_MAKENSIS)
      list(APPEND FLICKO_E2E_CASES package_install_upgrade_uninstall)
    endif()
    foreach(case ${FLICKO_E2E_CASES})
      add_test(NAME e2e_${case}
        COMMAND ${FLICKO_PYTHON3} ${CMAKE_SOURCE_DIR}/tests/e2e/e2e.py --case ${case}
          --release ${FLICKO_RELEASE_DIR} --fixture ${CMAKE_BINARY_DIR}/e2e/fixture.exe
          --tools ${CMAKE_BINARY_DIR}/tools --work ${CMAKE_BINARY_DIR}/e2e/work)
      set_tests_properties(e2e_${case} PROPERTIES TIMEOUT 240 RESOURCE_LOCK flicko_desktop LABELS e2e)
    endforeach()
  endif()
endif()

if(WIN32)
  # The adapter tests install the real hook on the real block: never next to
  # a running end-to-end case.
  set_tests_properties(win32_unit_and_adapter_tests programs_start_and_exit_under_wine
    PROPERTIES RESOURCE_LOCK flicko_desktop)
endif()

if(WIN32)
  # The tray adapter's tests need the program's pictures and the adapter.
  target_sources(flicko_tests PRIVATE ${CMAKE_SOURCE_DIR}/host/TaskbarIconWin.cpp ${CMAKE_SOURCE_DIR}/host/FlMenu.cpp
    ${CMAKE_SOURCE_DIR}/host/FlDialog.cpp ${CMAKE_SOURCE_DIR}/host/res/flicko.rc)
  target_link_libraries(flicko_tests PRIVATE shell32)
endif()
