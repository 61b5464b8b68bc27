# Writes the man page of zelcomdb. help2man makes it from `zelcomdb --help` and
# `zelcomdb --version`; a section SUBCOMMANDS adds `zelcomdb NAME --help` of
# every subcommand that --help lists, so that the page follows the program.
# The exit-status paragraph of --help becomes the section EXIT STATUS, and
# tools/zelcomdb/zelcomdb.h2m adds what no --help says (EXAMPLES, SEE ALSO).
#
#   cmake -DZELCOMDB=PROGRAM -DHELP2MAN=PATH -DINCLUDE=zelcomdb.h2m
#         -DOUTPUT=zelcomdb.1 -P zelcomdb-man.cmake

include(${CMAKE_CURRENT_LIST_DIR}/zelcomdb-help.cmake)

# Text for a roff page: backslashes escaped, a line that starts with a roff
# control character made plain text.
function(roff_text out text)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Each subcommand's help as preformatted text.
zelcomdb_subcommands(subcommands)
set(section "[SUBCOMMANDS]\n")
foreach(name IN LISTS subcommands)
    zelcomdb_help(text ${name})
    roff_text(text "${text}")
    string(APPEND section ".SS \"zelcomdb ${name}\"\n.nf\n${text}.fi\n")
endforeach()

# The paragraph "Exit status: 0 TEXT; 1 TEXT; ..." at the end of --help, as a
# list of the statuses.
zelcomdb_help(help)
string(REPLACE "\n" " " flat "${help}")
if(NOT flat MATCHES "Exit status: (.*[^ ]) *$")
    message(FATAL_ERROR "zelcomdb --help ends without the paragraph \"Exit status: ...\"")
endif()
set(statuses "${CMAKE_MATCH_1}")
roff_text(statuses "${statuses}")
string(REGEX REPLACE "(^|; )([0-9]+) " "\n.TP\n.B \\2\n" statuses "${statuses}")
string(APPEND section "[EXIT STATUS]${statuses}\n")
get_filename_component(dir ${OUTPUT} DIRECTORY)
file(WRITE ${dir}/zelcomdb-generated.h2m "${section}")

execute_process(COMMAND ${HELP2MAN} --no-info --no-discard-stderr
    --name "look at, check, compare and build ZelComFuncDbase database directories"
    --include ${dir}/zelcomdb-generated.h2m --include ${INCLUDE}
    --output ${OUTPUT} ${ZELCOMDB}
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "help2man failed (${rc})")
endif()

# help2man leaves the paragraph where --help has it too: the page keeps it
# once, in EXIT STATUS.
file(READ ${OUTPUT} page)
string(FIND "${page}" "\n.PP\nExit status:" start)
if(start EQUAL -1)
    message(FATAL_ERROR "${OUTPUT}: no paragraph \"Exit status:\" to move")
endif()
string(SUBSTRING "${page}" 0 ${start} before)
math(EXPR rest_start "${start} + 4")
string(SUBSTRING "${page}" ${rest_start} -1 rest)
string(FIND "${rest}" "\n." end)
string(SUBSTRING "${rest}" ${end} -1 after)
file(WRITE ${OUTPUT} "${before}${after}")
