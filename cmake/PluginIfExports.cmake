cmake_policy(VERSION 3.20)
# Writes the export list of the stand-in PluginIf.dll: the names of DEF that
# the archive ARCHIVE defines (read with NM), as a .def file at OUTPUT, and
# says which names of DEF it does not define.
#   cmake -DNM=... -DDEF=... -DARCHIVE=... -DOUTPUT=... -P PluginIfExports.cmake
execute_process(COMMAND ${NM} --defined-only -g ${ARCHIVE}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${ARCHIVE}")
endif()
# i686 objects carry a leading underscore on C names.
string(REGEX MATCHALL "[ \t][TD] _?VPI_[A-Za-z0-9_]+" defined "${symbols}")
list(TRANSFORM defined REPLACE "^[ \t][TD] _?" "")

# The host program's own interface (standin/win32/WindowHostApi.h).
string(REGEX MATCHALL "[ \t]T _?StandinHost_[A-Za-z0-9_]+" program "${symbols}")
list(TRANSFORM program REPLACE "^[ \t]T _?" "")
list(REMOVE_DUPLICATES program)

file(STRINGS ${DEF} lines)
set(out "LIBRARY PluginIf.dll\nEXPORTS\n")
set(missing "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]+(VPI_[A-Za-z0-9_]+)")
    set(name ${CMAKE_MATCH_1})
    if(name IN_LIST defined)
      string(APPEND out "  ${name}\n")
    else()
      list(APPEND missing ${name})
    endif()
  endif()
endforeach()
foreach(name IN LISTS program)
  string(APPEND out "  ${name}\n")
endforeach()
if(missing)
  list(LENGTH missing count)
  list(JOIN missing " " names)
  message(STATUS "PluginIf.dll: the stand-in host does not define ${count} "
                 "host functions yet: ${names}")
endif()
file(WRITE ${OUTPUT} "${out}")
