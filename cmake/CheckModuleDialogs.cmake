# Reads the dialog templates back from the built module with windres and
# compares them with what the description asks for (DialogControls.txt:
# "template: control ids" per line, in template order):
#
#   cmake -DWINDRES=... -DMODULE=Morvane.vpl -DEXPECTED=DialogControls.txt
#         -P CheckModuleDialogs.cmake
#
# Also checks that the texts came through code page 932: the font name and a
# text whose Shift-JIS bytes hold a 0x5C (a backslash to a careless reader).
cmake_minimum_required(VERSION 3.20)

execute_process(COMMAND ${WINDRES} -i ${MODULE} -O rc
                OUTPUT_VARIABLE rc RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "windres cannot read ${MODULE}")
endif()

string(REPLACE ";" "," rc "${rc}")
string(REPLACE "\n" ";" lines "${rc}")
set(found "")
set(current "")
foreach(line IN LISTS lines)
  if(line MATCHES "^([0-9]+) DIALOG(EX)? ")
    set(current "${CMAKE_MATCH_1}:")
  elseif(current AND line MATCHES "^ *CONTROL .*, (-?[0-9]+), \"[A-Za-z_0-9]+\", ")
    string(APPEND current " ${CMAKE_MATCH_1}")
  elseif(current AND line MATCHES "^END")
    string(APPEND found "${current}\n")
    set(current "")
  endif()
endforeach()

file(READ ${EXPECTED} expected)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "the module's dialogs:\n${found}\nexpected:\n${expected}")
endif()

# ＭＳ Ｐゴシック, and 表示 (0x95 0x5C 0x8E 0xA6 in Shift-JIS).
string(REGEX MATCHALL "FONT 9, L\"\\\\xff2d\\\\xff33 \\\\xff30\\\\x30b4\\\\x30b7\\\\x30c3\\\\x30af\"" fonts "${rc}")
list(LENGTH fonts font_count)
string(REGEX MATCHALL "\\\\x8868\\\\x793a" shows "${rc}")
list(LENGTH shows show_count)
if(NOT font_count EQUAL 5 OR show_count LESS 2)
  message(FATAL_ERROR "texts not converted from code page 932 "
                      "(${font_count} fonts, ${show_count} show texts)")
endif()
message(STATUS "${found}")
