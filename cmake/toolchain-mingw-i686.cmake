# The shipping 32-bit Windows module.
set(MORVANE_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
