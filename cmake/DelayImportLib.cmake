# Writes a delay-import library for one DLL: its functions are bound at the
# first call, and the DLL is loaded then, not before the program's first line.
# MinGW's linker has no /DELAYLOAD; dlltool makes such a library from a .def,
# and the .def is read off MinGW's own import library for the DLL, so every
# function that library offers is offered here too.
#
# cmake -DNM=... -DDLLTOOL=... -DIMPORT_LIB=.../libws2_32.a -DDLL=ws2_32.dll
#       -DOUT=.../libws2_32_delay.a -DUNDERSCORED=ON|OFF -P DelayImportLib.cmake
# UNDERSCORED: the target's C names begin with "_" (32-bit x86).
foreach(required NM DLLTOOL IMPORT_LIB DLL OUT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "DelayImportLib.cmake: ${required} is not set")
  endif()
endforeach()

execute_process(COMMAND "${NM}" --defined-only "${IMPORT_LIB}"
  OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} could not read ${IMPORT_LIB}")
endif()

# Every import-table entry of the library: "<address> I __imp_<name>".
string(REGEX MATCHALL "[ \t]I[ \t]+__imp_[^\r\n]+" entries "${symbols}")
set(names)
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^[ \t]I[ \t]+__imp_" "" name "${entry}")
  if(UNDERSCORED)
    string(REGEX REPLACE "^_" "" name "${name}")
  endif()
  list(APPEND names "${name}")
endforeach()
list(REMOVE_DUPLICATES names)
if(NOT names)
  message(FATAL_ERROR "${IMPORT_LIB} names no function")
endif()

set(def "${OUT}.def")
list(JOIN names "\n" lines)
file(WRITE "${def}" "LIBRARY ${DLL}\nEXPORTS\n${lines}\n")

# --kill-at: the DLL exports "name", the program calls "_name@N".
set(kill_at)
if(UNDERSCORED)
  set(kill_at --kill-at)
endif()
execute_process(COMMAND "${DLLTOOL}" --input-def "${def}" --dllname "${DLL}"
  --output-delaylib "${OUT}" ${kill_at} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${DLLTOOL} could not write ${OUT}")
endif()
