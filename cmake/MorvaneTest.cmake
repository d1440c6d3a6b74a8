# GoogleTest: Debian's library natively; built from Debian's sources for the
# Windows targets (with the -posix MinGW compilers, which have std::mutex).
if(MORVANE_TESTS)
  if(WIN32)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest
                     EXCLUDE_FROM_ALL)
    # Debian's GoogleTest sources do not build warning-free with MinGW.
    target_compile_options(gtest PRIVATE -Wno-error)
    target_compile_options(gtest_main PRIVATE -Wno-error)
    set(MORVANE_GTEST_LIBS gtest gtest_main)
  else()
    find_package(GTest REQUIRED)
    set(MORVANE_GTEST_LIBS GTest::gtest GTest::gtest_main)
  endif()
endif()

# Test data (copied from the shared samples with their attribution) and the
# folder tests may write to.
set(MORVANE_TEST_DATA ${CMAKE_SOURCE_DIR}/tests/data)

# morvane_add_test(NAME SOURCES src... LIBS lib...)
# One test program; natively CTest runs it, for Windows it is run under Wine.
function(morvane_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${MORVANE_GTEST_LIBS})
  target_compile_definitions(${name} PRIVATE
      MORVANE_TEST_DATA="${MORVANE_TEST_DATA}")
  if(WIN32)
    add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tools/run-under-wine
             $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
endfunction()
