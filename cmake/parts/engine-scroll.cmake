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
