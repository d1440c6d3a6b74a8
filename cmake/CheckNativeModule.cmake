cmake_policy(VERSION 3.20)
# Checks what the built native module shows a host, as nm -D lists it:
# exactly the five entry points defined, everything else of the module
# bound inside it.
#   cmake -DNM=... -DMODULE=Morvane.so -DHOST_EXPORTS=HostExports.list
#         -P CheckNativeModule.cmake
execute_process(COMMAND ${NM} -D --defined-only ${MODULE}
                OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${NM} -D --defined-only ${MODULE} failed")
endif()
string(REPLACE ";" "," listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(names "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]* +[A-Za-z] +([^ \t]+)$")
    list(APPEND names ${CMAKE_MATCH_1})
  endif()
endforeach()
list(SORT names)
set(expected About Close Init Load Release)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR
      "${MODULE} defines [${names}] for its host, not exactly [${expected}]")
endif()

# What it takes from its host (symbols not from a versioned system library):
# the host's VPI_ functions, the user interface's windows, dialogs, drawing
# and message boxes, and the file operations, as standin/HostExports.list
# names them. Anything else unresolved would be a piece of the module left
# for the program to provide.
execute_process(COMMAND ${NM} -D --undefined-only -C ${MODULE}
                OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${NM} -D --undefined-only ${MODULE} failed")
endif()
# The C++ names a host program exports for it, one "name*;" a line.
file(STRINGS ${HOST_EXPORTS} exports REGEX "^ *[A-Za-z_]+\\*;")
set(fromHost "")
foreach(line IN LISTS exports)
  string(REGEX REPLACE "^ *([A-Za-z_]+)\\*;.*$" "\\1" name "${line}")
  list(APPEND fromHost ${name})
endforeach()
string(REPLACE ";" "," listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(unexpected "")
foreach(line IN LISTS lines)
  # " U name(args)" unversioned and strong; weak ones ("w", "v") are the
  # toolchain's own optional hooks.
  if(NOT line MATCHES "^ *U ([^@]+)$")
    continue()
  endif()
  set(symbol "${CMAKE_MATCH_1}")
  # C names are the host's VPI_ functions and the C library (unversioned
  # where a sanitizer's runtime provides it); the module's own code is C++
  # apart from its entry points.
  if(NOT symbol MATCHES "\\(" OR symbol MATCHES "^operator (new|delete)"
     OR symbol MATCHES "^(std|__gnu_cxx|__cxxabiv1)::")
    continue()
  endif()
  string(REGEX REPLACE "(\\[abi:[a-z0-9]+\\])?\\(.*$" "" name "${symbol}")
  list(FIND fromHost "${name}" at)
  if(at LESS 0)
    list(APPEND unexpected "${symbol}")
  endif()
endforeach()
if(unexpected)
  message(FATAL_ERROR
      "${MODULE} leaves for its host what is not the host's: ${unexpected}")
endif()
