# Writes a program's manual page from its --help text, gzipped as Debian keeps manual pages:
#
#   cmake -DPROGRAM=path -DNAME=k720ctl -DSUMMARY="one line" [-DCOMMANDS_FROM_HELP=ON]
#         -DVERSION=1.03 -DOUTPUT=path/k720ctl.1.gz -P help_to_man.cmake
#
# The help text is kept as it is printed (no filling). With COMMANDS_FROM_HELP, every command
# listed under "Commands:" gets a section of its own from "PROGRAM COMMAND --help", so a new
# command reaches the page without a change here. The page carries no date, so every build writes
# the same bytes.
cmake_minimum_required(VERSION 3.22)

foreach(required PROGRAM NAME SUMMARY VERSION OUTPUT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "help_to_man.cmake: ${required} is not set")
  endif()
endforeach()

# The manual pages are English: the programs' help follows the locale of the build otherwise.
set(ENV{LC_ALL} C)

function(help_text out)
  execute_process(COMMAND ${PROGRAM} ${ARGN} --help
                  OUTPUT_VARIABLE text ERROR_VARIABLE errors RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR text STREQUAL "")
    message(FATAL_ERROR "${PROGRAM} ${ARGN} --help failed (${status}): ${errors}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Text as roff that is printed line for line.
function(as_roff out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  # A line that begins with a dot or an apostrophe would be read as a request.
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} ".nf\n${text}.fi\n" PARENT_SCOPE)
endfunction()

# The first words of the lines under "Commands:", up to the next empty line.
function(listed_commands out text)
  set(heading "\nCommands:\n")
  string(FIND "${text}" "${heading}" start)
  if(start EQUAL -1)
    message(FATAL_ERROR "${PROGRAM} --help lists no commands")
  endif()
  string(LENGTH "${heading}" skip)
  math(EXPR start "${start} + ${skip}")
  string(SUBSTRING "${text}" ${start} -1 block)
  string(FIND "${block}" "\n\n" end)
  string(SUBSTRING "${block}" 0 ${end} block)
  string(REGEX MATCHALL "(^|\n)  [a-z][a-z0-9-]*" lines "\n${block}")
  set(commands)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" command)
    list(APPEND commands ${command})
  endforeach()
  list(REMOVE_DUPLICATES commands)
  set(${out} ${commands} PARENT_SCOPE)
endfunction()

string(TOUPPER "${NAME}" title)
string(REPLACE "-" "\\-" name_roff "${NAME}")
help_text(help)
as_roff(description "${help}")
set(page ".TH ${title} 1 \"\" \"K720 companion ${VERSION}\" \"User Commands\"
.SH NAME
${name_roff} \\- ${SUMMARY}
.SH DESCRIPTION
${description}")
if(COMMANDS_FROM_HELP)
  listed_commands(commands "${help}")
  foreach(command IN LISTS commands)
    help_text(text ${command})
    as_roff(section "${text}")
    string(APPEND page ".SH \"${NAME} ${command}\"\n${section}")
  endforeach()
endif()
string(APPEND page ".SH SEE ALSO
The README in /usr/share/doc/k720/.
")

get_filename_component(folder "${OUTPUT}" DIRECTORY)
get_filename_component(base "${OUTPUT}" NAME_WLE)
file(WRITE "${folder}/${base}" "${page}")
execute_process(COMMAND gzip -9nf "${folder}/${base}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${folder}/${base}")
endif()
