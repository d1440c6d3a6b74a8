cmake_policy(VERSION 3.20)
# Checks what the built module shows the host, as objdump -p lists it:
# exactly the five entry points exported by their plain names, and imports
# from PluginIf.dll and Windows' own DLLs only (the C++ runtime and the
# threads library are linked in, so no MinGW DLL may be named).
#   cmake -DOBJDUMP=... -DMODULE=Morvane.vpl -P CheckModuleExports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${MODULE}
                OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${MODULE} failed")
endif()

# The export table: after "[Ordinal/Name Pointer] Table", one line
# "[   N] Name" per export, up to the first line of another shape.
string(REPLACE ";" "," listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(names "")
set(inTable OFF)
foreach(line IN LISTS lines)
  if(line MATCHES "\\[Ordinal/Name Pointer\\] Table")
    set(inTable ON)
  elseif(inTable AND line MATCHES "^[ \t]*\\[ *[0-9]+\\] ([^ \t]+)[ \t]*$")
    list(APPEND names ${CMAKE_MATCH_1})
  elseif(inTable)
    set(inTable OFF)
  endif()
endforeach()
list(SORT names)
set(expected About Close Init Load Release)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "${MODULE} exports [${names}], not [${expected}]")
endif()

set(dlls "")
foreach(line IN LISTS lines)
  if(line MATCHES "DLL Name: ([^ \t]+)")
    list(APPEND dlls ${CMAKE_MATCH_1})
  endif()
endforeach()
set(system kernel32.dll user32.dll gdi32.dll comdlg32.dll comctl32.dll
    advapi32.dll shell32.dll msvcrt.dll)
set(foreign "")
set(host OFF)
foreach(dll IN LISTS dlls)
  string(TOLOWER "${dll}" lower)
  if(lower STREQUAL "pluginif.dll")
    set(host ON)
  elseif(NOT lower IN_LIST system AND NOT lower MATCHES "^api-ms-win-")
    list(APPEND foreign ${dll})
  endif()
endforeach()
if(foreign)
  message(FATAL_ERROR "${MODULE} needs DLLs other than the system's: ${foreign}")
endif()
if(NOT host)
  message(FATAL_ERROR "${MODULE} imports nothing from PluginIf.dll")
endif()
message(STATUS "${MODULE}: exports ${names}; imports ${dlls}")
