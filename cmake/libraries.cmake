# The libraries the programs share. Layers, lowest first: base/ (error
# classes, text helpers, roundings), the platform seam (platform/*.h),
# rules/ and settings/ (each uses only base/ and the seam), engine/. None of it includes a system header; none of it links an adapter.
# Each program links the adapters it runs on: flicko_win32 in the Windows
# programs, flicko_native in the native checker and the native tests.

# --- the platform-free core: built on every platform ---------------------------
file(GLOB FLICKO_CORE_SOURCES CONFIGURE_DEPENDS
  ${FLICKO_GLOB_ROOT}/base/*.cpp ${FLICKO_GLOB_ROOT}/platform/*.cpp ${FLICKO_GLOB_ROOT}/rules/*.cpp
  ${FLICKO_GLOB_ROOT}/settings/*.cpp ${FLICKO_GLOB_ROOT}/engine/*.cpp)
add_library(flicko_core STATIC ${FLICKO_CORE_SOURCES})
target_include_directories(flicko_core PUBLIC ${CMAKE_SOURCE_DIR})
# The scroll methods and the velocity trackers round in single precision by
# design. The i686 default of x87 arithmetic would carry excess precision in
# intermediate results and round some halves differently from the native
# build; SSE keeps both builds bit-identical. Long double stays on the x87.
if(WIN32)
  set_source_files_properties(
    ${CMAKE_SOURCE_DIR}/engine/Scroll.cpp
    ${CMAKE_SOURCE_DIR}/engine/Velocity.cpp
    ${CMAKE_SOURCE_DIR}/engine/Inertias.cpp
    PROPERTIES COMPILE_OPTIONS "-msse2;-mfpmath=sse")
endif()

# --- the fake system: a desktop, an environment and processes for the tests --
# Test code: the tests and the benchmarks link it, no program does.
file(GLOB FLICKO_FAKE_SOURCES CONFIGURE_DEPENDS ${FLICKO_GLOB_ROOT}/platform/fake/*.cpp)
add_library(flicko_fakes STATIC ${FLICKO_FAKE_SOURCES})
target_link_libraries(flicko_fakes PUBLIC flicko_core)

# --- the native adapters: profile files and the environment without Windows ----
# Built everywhere: on Windows the agreement tests compare them with the
# system's functions. Only off Windows do they answer MakeSystemEnvironment
# and MakeSystemProfileFiles.
file(GLOB FLICKO_NATIVE_SOURCES CONFIGURE_DEPENDS ${FLICKO_GLOB_ROOT}/platform/native/*.cpp)
add_library(flicko_native STATIC ${FLICKO_NATIVE_SOURCES})
target_link_libraries(flicko_native PUBLIC flicko_core)

# --- the Win32 adapters ----------------------------------------------------------
if(WIN32)
  file(GLOB FLICKO_WIN32_SOURCES CONFIGURE_DEPENDS ${FLICKO_GLOB_ROOT}/platform/win32/*.cpp)
  add_library(flicko_win32 STATIC ${FLICKO_WIN32_SOURCES})
  target_link_libraries(flicko_win32 PUBLIC flicko_core winmm user32 gdi32 shell32 ole32 uuid advapi32 version comctl32)
endif()

# The adapters of the system the programs run on.
if(WIN32)
  set(FLICKO_SYSTEM_ADAPTERS flicko_win32)
else()
  set(FLICKO_SYSTEM_ADAPTERS flicko_native)
endif()
