# The hook library claspm.dll and the resident program's side of it (the
# shared block and the loader calls). Windows only.
if(NOT WIN32)
  return()
endif()

# The hook library is mapped into every process with mouse input: no C
# runtime, an entry point that only says yes, exports by plain name.
# On x64 the unwind tables stay: they are the exception directory the system
# walks through this code when anything unwinds across a hook call. The
# 32-bit entry symbol carries stdcall's decoration, the 64-bit one none.
add_library(claspm SHARED hook/claspm/claspm.cpp hook/claspm/claspm.def hook/claspm/claspm.rc)
target_include_directories(claspm PRIVATE ${CMAKE_SOURCE_DIR} ${FLICKO_VERSION_INCLUDE_DIRS})
target_compile_options(claspm PRIVATE -fno-exceptions -fno-rtti -fno-stack-protector -ffreestanding)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(FLICKO_CLASPM_ENTRY ClaspmEntry)
else()
  target_compile_options(claspm PRIVATE -fno-asynchronous-unwind-tables)
  set(FLICKO_CLASPM_ENTRY _ClaspmEntry@12)
endif()
target_link_options(claspm PRIVATE ${FLICKO_STATIC_RUNTIME} -nostdlib -nostartfiles -Wl,-e,${FLICKO_CLASPM_ENTRY}
  -Wl,--enable-stdcall-fixup -Wl,--kill-at)
target_link_libraries(claspm PRIVATE user32 kernel32)
set_target_properties(claspm PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${FLICKO_RELEASE_DIR})

# The resident side: creates and maps the shared block, calls the library.
file(GLOB FLICKO_HOOK_LOADER_SOURCES CONFIGURE_DEPENDS ${FLICKO_GLOB_ROOT}/hook/loader/*.cpp)
add_library(flicko_hook_loader STATIC ${FLICKO_HOOK_LOADER_SOURCES})
target_link_libraries(flicko_hook_loader PUBLIC flicko_core user32 kernel32)
