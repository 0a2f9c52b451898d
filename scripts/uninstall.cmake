# Removes what "cmake --install" put in place, as its install_manifest.txt lists it (the links
# in bin/ included), then each folder that this left empty, up to the prefix, which stays. The
# program makes SaveData/ beside itself where it may write there: left empty (no saved game),
# it goes too; saved games and the settings file rymds.dat stay, and the last line names what
# is left in the program's folder.
#   cmake -DMANIFEST=<build folder>/install_manifest.txt -DPROGRAM_DIR=lib/ryuumonden -P uninstall.cmake
# A path may hold any character ("[", "]", "*", "?", blanks): paths are never put into a list
# (CMake reads an unmatched "[" in a list as opening a bracket that holds the next ";") nor into
# a file(GLOB) pattern. A folder is removed by rmdir, which removes it only when it holds
# nothing; what is left is listed by find.
cmake_minimum_required(VERSION 3.25)
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "${MANIFEST} is not there: nothing was installed from this build folder")
endif()
file(READ "${MANIFEST}" _manifest)
string(APPEND _manifest "\n")
set(_tail "/${PROGRAM_DIR}/RyuumondenLV")
string(LENGTH "${_tail}" _tail_length)

# The lines of the manifest, one at a time, without making a list of them: each call sets
# _line to the next line and takes it from _rest; _line is unset when none is left.
macro(_next_line)
  unset(_line)
  string(FIND "${_rest}" "\n" _end)
  while(_end GREATER_EQUAL 0 AND NOT DEFINED _line)
    string(SUBSTRING "${_rest}" 0 ${_end} _candidate)
    math(EXPR _after "${_end} + 1")
    string(SUBSTRING "${_rest}" ${_after} -1 _rest)
    if(NOT _candidate STREQUAL "")
      set(_line "${_candidate}")
    else()
      string(FIND "${_rest}" "\n" _end)
    endif()
  endwhile()
endmacro()

# The prefix: where the program's folder lies (<prefix>/${PROGRAM_DIR}/RyuumondenLV).
set(_prefix "")
set(_rest "${_manifest}")
_next_line()
while(DEFINED _line)
  string(LENGTH "${_line}" _length)
  if(_length GREATER _tail_length)
    math(EXPR _at "${_length} - ${_tail_length}")
    string(SUBSTRING "${_line}" ${_at} -1 _end_of_line)
    if(_end_of_line STREQUAL "${_tail}")
      string(SUBSTRING "${_line}" 0 ${_at} _prefix)
    endif()
  endif()
  _next_line()
endwhile()

# Removes the folder when it holds nothing, then each folder above it that this leaves empty,
# up to the prefix (which stays). A folder that is still there holds something, and so does
# every folder above it.
function(_remove_empty_folders folder)
  string(LENGTH "${_prefix}/" _inside_length)
  while(NOT _prefix STREQUAL "")
    string(FIND "${folder}" "${_prefix}/" _inside)
    string(LENGTH "${folder}" _length)
    if(NOT _inside EQUAL 0 OR _length LESS_EQUAL _inside_length)
      return()
    endif()
    execute_process(COMMAND rmdir "${folder}" RESULT_VARIABLE _status OUTPUT_QUIET ERROR_QUIET)
    if(_status EQUAL 0)
      message(STATUS "Removing the empty folder ${folder}")
    elseif(IS_DIRECTORY "${folder}" OR IS_SYMLINK "${folder}")
      return()
    endif()
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endfunction()

# Each file the manifest lists, then the folders its removal left empty: the folders above a
# file that stays are tried again when the last file in them goes.
set(_rest "${_manifest}")
_next_line()
while(DEFINED _line)
  if(EXISTS "${_line}" OR IS_SYMLINK "${_line}")
    message(STATUS "Removing ${_line}")
    file(REMOVE "${_line}")
  endif()
  get_filename_component(_folder "${_line}" DIRECTORY)
  _remove_empty_folders("${_folder}")
  _next_line()
endwhile()

if(NOT _prefix STREQUAL "")
  set(_program "${_prefix}/${PROGRAM_DIR}")
  # The program's own folder for saved games, when it holds none.
  _remove_empty_folders("${_program}/SaveData")
  # What is left of the program's folder, named on the last line.
  if(IS_DIRECTORY "${_program}")
    execute_process(COMMAND find "${_program}" -mindepth 1 -maxdepth 1 COMMAND env LC_ALL=C sort
                    OUTPUT_VARIABLE _left OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT _left STREQUAL "")
      string(REPLACE "\n" ", " _left "${_left}")
      message(STATUS "Left in place (the player's saved games and settings): ${_left}")
    endif()
  endif()
endif()
