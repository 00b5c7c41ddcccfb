# The resident program flicko.exe.

# Its platform-free pieces (host/core): built on every platform, so the unit
# tests reach them natively too.
file(GLOB FLICKO_HOST_CORE_SOURCES CONFIGURE_DEPENDS ${FLICKO_GLOB_ROOT}/host/core/*.cpp)
add_library(flicko_host_core STATIC ${FLICKO_HOST_CORE_SOURCES})
target_link_libraries(flicko_host_core PUBLIC flicko_core)

if(NOT WIN32)
  return()
endif()

# Its Win32 side: the hidden window, the tray adapter, the boxes. Everything
# but the entry point, so that the adapter tests can link it.
file(GLOB FLICKO_HOST_SOURCES CONFIGURE_DEPENDS ${FLICKO_GLOB_ROOT}/host/*.cpp)
list(REMOVE_ITEM FLICKO_HOST_SOURCES ${CMAKE_SOURCE_DIR}/host/FlickoMain.cpp)
add_library(flicko_host STATIC ${FLICKO_HOST_SOURCES})
target_link_libraries(flicko_host PUBLIC flicko_host_core flicko_hook_loader flicko_win32 shell32)

# The entry point picks the Win32 adapters (through flicko_host); the
# resource file brings the program's icon, the tray pictures and the version
# resource.
add_executable(flicko WIN32 host/FlickoMain.cpp host/res/flicko.rc)
target_include_directories(flicko PRIVATE ${FLICKO_VERSION_INCLUDE_DIRS})
target_link_libraries(flicko PRIVATE flicko_host)
target_link_options(flicko PRIVATE ${FLICKO_STATIC_RUNTIME})
set_target_properties(flicko PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FLICKO_RELEASE_DIR})
