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

# morvane_add_test(NAME LIBS lib... [SOURCES src...] [HOST_DLL] [WIN32_UI])
# One test program, from NAME.cpp unless SOURCES says otherwise, linked with
# the library it tests. Every test program also runs with the stand-in host
# and the headless user interface, which the tests drive and inspect; with
# HOST_DLL it calls the host through PluginIf.dll instead, as the module does.
# With WIN32_UI (Windows only) it shows real windows instead of the headless
# ones, from the dialog templates compiled into the program itself, and has
# the window robot (tools/win32/DialogRobot.h).
# Natively CTest runs it; for Windows it is run under Wine.
function(morvane_add_test name)
  cmake_parse_arguments(ARG "HOST_DLL;WIN32_UI" "" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_SOURCES)
    set(ARG_SOURCES ${name}.cpp)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_HOST_DLL)
    set_target_properties(${name} PROPERTIES MORVANE_PLUGINIF_DLL ON)
    set(harness morvane_host_functions)
  elseif(ARG_WIN32_UI)
    set_target_properties(${name} PROPERTIES MORVANE_WIN32_UI ON)
    target_sources(${name} PRIVATE ${MORVANE_DIALOGS_RC})
    add_dependencies(${name} morvane_dialog_sources)
    set(harness morvane_standin morvane_ui_backend morvane_resources
        morvane_dialog_robot)
  else()
    set(harness morvane_standin morvane_ui_headless)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${harness}
                        ${MORVANE_GTEST_LIBS})
  target_compile_definitions(${name} PRIVATE
      MORVANE_TEST_DATA="${MORVANE_TEST_DATA}")
  if(WIN32)
    add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tools/run-under-wine
             $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
endfunction()
