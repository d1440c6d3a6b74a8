# The 64-bit Windows build, the one run under Wine.
set(MORVANE_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
