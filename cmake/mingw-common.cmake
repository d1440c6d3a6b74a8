# Cross-compiling for Windows with MinGW-w64 on Debian, for the processor
# that MORVANE_MINGW_PROCESSOR names (set by the toolchain file that
# includes this one). The -posix compilers are the ones whose C++ library
# has std::thread and std::mutex (GoogleTest needs them); the -win32 ones
# lack both.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MORVANE_MINGW_PROCESSOR})

set(MORVANE_MINGW_PREFIX ${MORVANE_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${MORVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MORVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MORVANE_MINGW_PREFIX}-windres)
# Import libraries are made from our own .def files.
set(MORVANE_DLLTOOL ${MORVANE_MINGW_PREFIX}-dlltool)
# Dialog texts are Shift-JIS.
set(CMAKE_RC_FLAGS_INIT "-c 932")

set(CMAKE_FIND_ROOT_PATH /usr/${MORVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
