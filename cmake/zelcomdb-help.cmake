# Reading zelcomdb's --help, for the scripts that make the man page and the
# bash completion from it (include() it with ZELCOMDB set to the program), so
# that both follow the program rather than a second list kept by hand.

# The output of `zelcomdb ARGS... --help`.
function(zelcomdb_help out)
    execute_process(COMMAND ${ZELCOMDB} ${ARGN} --help
        OUTPUT_VARIABLE text RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "zelcomdb ${ARGN} --help failed (${rc})")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The entries of the block of a help text that starts with the line
# "HEADING:": `names` gets each entry's first column (words separated by one
# space: "--table KEY ..."), `descriptions` its description with the
# continuation lines joined. Semicolons, which CMake's lists would split at,
# are read as commas.
function(zelcomdb_help_entries names descriptions text heading)
    string(REPLACE ";" "," text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(in_block FALSE)
    set(found_names "")
    set(found_descriptions "")
    set(description "")
    foreach(line IN LISTS lines)
        if(line STREQUAL "${heading}:")
            set(in_block TRUE)
        elseif(in_block AND line MATCHES "^  ([^ ]([^ ]| [^ ])*)( +(.*))?$")
            if(found_names)
                list(APPEND found_descriptions "${description}")
            endif()
            list(APPEND found_names "${CMAKE_MATCH_1}")
            set(description "${CMAKE_MATCH_4}")
        elseif(in_block AND line MATCHES "^   +(.*)$")
            string(STRIP "${description} ${CMAKE_MATCH_1}" description)
        elseif(in_block)
            break()
        endif()
    endforeach()
    if(found_names)
        list(APPEND found_descriptions "${description}")
    endif()
    set(${names} "${found_names}" PARENT_SCOPE)
    set(${descriptions} "${found_descriptions}" PARENT_SCOPE)
endfunction()

# The subcommands that `zelcomdb --help` lists.
function(zelcomdb_subcommands out)
    zelcomdb_help(help)
    zelcomdb_help_entries(names descriptions "${help}" "Subcommands")
    if(names STREQUAL "")
        message(FATAL_ERROR "zelcomdb --help lists no subcommands")
    endif()
    set(${out} "${names}" PARENT_SCOPE)
endfunction()
