# Cross build for 32-bit Windows with mingw-w64: the exe that is shipped.
set(VORLANE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
