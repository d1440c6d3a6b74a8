# The shipping 32-bit Windows module.
set(MORVANE_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Floating point in SSE registers, as on x86_64: doubles are rounded to 64
# bits at every step instead of kept in the x87's 80, so both Windows builds
# (and the native one) compute the same coordinates.
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
