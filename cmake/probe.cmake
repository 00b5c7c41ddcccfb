# The utility fprobe.exe.

# Its platform-free pieces, when there are any: built on every platform for
# the unit tests.
file(GLOB FLICKO_PROBE_CORE_SOURCES CONFIGURE_DEPENDS ${FLICKO_GLOB_ROOT}/probe/core/*.cpp)
if(FLICKO_PROBE_CORE_SOURCES)
  add_library(flicko_probe_core STATIC ${FLICKO_PROBE_CORE_SOURCES})
  target_link_libraries(flicko_probe_core PUBLIC flicko_core)
endif()

if(NOT WIN32)
  return()
endif()

# The form, its Win32 parts and the version resource.
file(GLOB FLICKO_PROBE_SOURCES CONFIGURE_DEPENDS ${FLICKO_GLOB_ROOT}/probe/*.cpp)
add_executable(fprobe WIN32 ${FLICKO_PROBE_SOURCES} probe/res/fprobe.rc)
target_include_directories(fprobe PRIVATE ${FLICKO_VERSION_INCLUDE_DIRS})
target_link_libraries(fprobe PRIVATE flicko_win32)
if(TARGET flicko_probe_core)
  target_link_libraries(fprobe PRIVATE flicko_probe_core)
endif()
target_link_options(fprobe PRIVATE ${FLICKO_STATIC_RUNTIME})
set_target_properties(fprobe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FLICKO_RELEASE_DIR})
