# Linker launcher for the i686 mingw-w64 Release exe: links it twice so that
# --gc-sections also drops the unused functions that have unwind information.
#
# binutils' PE script keeps every input .eh_frame section (KEEP), and a
# frame description refers to its function, so every function with unwind
# information stays, called or not: one call into the static libstdc++'s
# string code kept every member of it, and the exception classes brought in
# their copy-on-write string the same way. GCC writes the frame description
# of a COMDAT function X (templates, inline and library functions) in a
# section .eh_frame$X of its own. The first link keeps only the plain .eh_frame
# sections, so that what it keeps of the rest is what is reachable from code;
# the second keeps .eh_frame$X for each function X kept, and nothing else
# changes: the plain sections stay, crtbegin's first and crtend's terminator
# last, all in input order. The link fails if a kept function lost its frame
# description.
#
# Used as CXX_LINKER_LAUNCHER:
#   cmake -DWORK_DIR=<folder for scripts and maps> -P UnwindGcLink.cmake -- <link command>
# WORK_DIR/final.map is the map of the exe as linked.
if(NOT DEFINED WORK_DIR)
  message(FATAL_ERROR "UnwindGcLink.cmake: WORK_DIR is not set")
endif()

set(command)
set(in_command OFF)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE ${last})
  if(in_command)
    list(APPEND command "${CMAKE_ARGV${i}}")
  elseif(CMAKE_ARGV${i} STREQUAL "--")
    set(in_command ON)
  endif()
endforeach()
list(GET command 0 driver)
list(FIND command "-o" out_index)
if(out_index LESS 0)
  message(FATAL_ERROR "UnwindGcLink.cmake: no -o in the link command")
endif()
math(EXPR out_index "${out_index} + 1")
file(MAKE_DIRECTORY "${WORK_DIR}")

# The script the driver's linker uses by default, between its ==== lines.
execute_process(COMMAND "${driver}" -print-prog-name=ld
  OUTPUT_VARIABLE ld OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND "${ld}" --verbose OUTPUT_VARIABLE verbose RESULT_VARIABLE failed)
string(REGEX MATCH "\n=+\n(.*)\n=+\n" script "${verbose}")
set(script "${CMAKE_MATCH_1}")
set(keep_all "KEEP(*(.eh_frame*))")
string(FIND "${script}" "${keep_all}" at)
string(FIND "${script}" "${keep_all}" last_at REVERSE)
if(failed OR at LESS 0 OR NOT at EQUAL last_at)
  message(FATAL_ERROR "UnwindGcLink.cmake: ${ld}'s default script has no single ${keep_all}")
endif()

# kept_functions(map var): the X of every .text$X the map places in the exe.
function(kept_functions map var)
  file(READ "${map}" text)
  string(FIND "${text}" "Linker script and memory map" at)
  string(SUBSTRING "${text}" ${at} -1 text)
  string(REGEX MATCHALL "\n \\.text\\$[^ \n]+" found "${text}")
  list(TRANSFORM found REPLACE "^\n \\.text\\$" "")
  list(REMOVE_DUPLICATES found)
  set(${var} "${found}" PARENT_SCOPE)
endfunction()

# link_with_script(name script_text extra...): runs the link command with the script,
# a map WORK_DIR/<name>.map and the extra arguments; the linker's messages
# in link_messages.
function(link_with_script name script_text)
  file(WRITE "${WORK_DIR}/${name}.ld" "${script_text}")
  set(args ${command})
  if(NOT name STREQUAL "final")
    list(REMOVE_AT args ${out_index})
    list(INSERT args ${out_index} "${WORK_DIR}/${name}.exe")
  endif()
  execute_process(COMMAND ${args} "-Wl,-T,${WORK_DIR}/${name}.ld"
      "-Wl,-Map,${WORK_DIR}/${name}.map" ${ARGN}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${out}${err}")
  endif()
  set(link_messages "${out}${err}" PARENT_SCOPE)
endfunction()

string(REPLACE "${keep_all}" "KEEP(*(.eh_frame))" probe_script "${script}")
link_with_script(probe "${probe_script}")
file(REMOVE "${WORK_DIR}/probe.exe")
kept_functions("${WORK_DIR}/probe.map" functions)

# Functions that only a frame description kept in (the personality routine's
# callees, say) are added and the exe linked again, until none is left out.
foreach(round RANGE 3)
  set(sections ".eh_frame")
  foreach(function IN LISTS functions)
    string(APPEND sections " \".eh_frame$${function}\"")
  endforeach()
  string(REPLACE "${keep_all}" "KEEP(*(${sections}))" final_script "${script}")
  link_with_script(final "${final_script}" -Wl,--print-gc-sections)
  kept_functions("${WORK_DIR}/final.map" kept)
  string(REGEX MATCHALL "removing unused section '\\.eh_frame\\$[^']+'" dropped "${link_messages}")
  list(TRANSFORM dropped REPLACE "^removing unused section '\\.eh_frame\\$([^']+)'$" "\\1")
  set(lost)
  foreach(function IN LISTS dropped)
    list(FIND kept "${function}" found)
    if(found GREATER_EQUAL 0)
      list(APPEND lost "${function}")
    endif()
  endforeach()
  if(NOT lost)
    string(REGEX REPLACE "[^\n]*removing unused section [^\n]*\n?" "" shown "${link_messages}")
    if(shown)
      message("${shown}")
    endif()
    return()
  endif()
  list(APPEND functions ${lost})
endforeach()
message(FATAL_ERROR "UnwindGcLink.cmake: functions kept without their frame description: ${lost}")
