# Writes the man page of zelcomdb. help2man makes it from `zelcomdb --help` and
# `zelcomdb --version`; a section SUBCOMMANDS adds `zelcomdb NAME --help` of
# every subcommand that --help lists, so that the page follows the program.
#
#   cmake -DZELCOMDB=PROGRAM -DHELP2MAN=PATH -DOUTPUT=zelcomdb.1 -P zelcomdb-man.cmake

function(run_help out)
    execute_process(COMMAND ${ZELCOMDB} ${ARGN} --help
        OUTPUT_VARIABLE text RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "zelcomdb ${ARGN} --help failed (${rc})")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The subcommand names: the lines of the "Subcommands:" block that start with
# a name after two spaces (a wrapped description is indented further).
run_help(help)
string(REPLACE ";" "," help "${help}")
string(REPLACE "\n" ";" lines "${help}")
set(in_block FALSE)
set(subcommands "")
foreach(line IN LISTS lines)
    if(line MATCHES "^Subcommands:")
        set(in_block TRUE)
    elseif(in_block AND line MATCHES "^  ([A-Za-z][A-Za-z0-9_-]*)")
        list(APPEND subcommands ${CMAKE_MATCH_1})
    elseif(in_block AND NOT line MATCHES "^ ")
        break()
    endif()
endforeach()
if(subcommands STREQUAL "")
    message(FATAL_ERROR "zelcomdb --help lists no subcommands")
endif()

# Each subcommand's help as preformatted text; backslashes and lines that
# start with a roff control character are escaped.
set(section "[SUBCOMMANDS]\n")
foreach(name IN LISTS subcommands)
    run_help(text ${name})
    string(REPLACE "\\" "\\e" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    string(APPEND section ".SS \"zelcomdb ${name}\"\n.nf\n${text}.fi\n")
endforeach()
get_filename_component(dir ${OUTPUT} DIRECTORY)
file(WRITE ${dir}/zelcomdb-subcommands.h2m "${section}")

execute_process(COMMAND ${HELP2MAN} --no-info --no-discard-stderr
    --name "look at, check and build ZelComFuncDbase database directories"
    --include ${dir}/zelcomdb-subcommands.h2m --output ${OUTPUT} ${ZELCOMDB}
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "help2man failed (${rc})")
endif()
