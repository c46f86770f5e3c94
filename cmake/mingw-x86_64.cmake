# Cross build for 64-bit Windows with mingw-w64: the same program, for the
# end-to-end tests on machines that cannot run 32-bit Linux programs (and so
# not 32-bit Wine).
set(VORLANE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
