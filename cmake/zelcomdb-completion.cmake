# Writes zelcomdb's bash completion from its --help: the subcommands that
# `zelcomdb --help` lists, and from each subcommand's --help its options
# (those with a value name after them take a value), the values of an option
# whose description says "NAME is one of A, B, C", and its positionals: a
# subcommand for SUBCOMMAND, the numbers of a description that ends in
# LOW..HIGH, a file otherwise.
#
#   cmake -DZELCOMDB=PROGRAM -DTEMPLATE=zelcomdb-completion.bash.in
#         -DOUTPUT=zelcomdb -P zelcomdb-completion.cmake

include(${CMAKE_CURRENT_LIST_DIR}/zelcomdb-help.cmake)

# Sets `options` and `valued` from the "Options:" block of `help`, and
# appends the value sets to `values_cases` under the case label PREFIX OPTION.
macro(read_options help prefix)
    zelcomdb_help_entries(entries descriptions "${help}" "Options")
    set(options "")
    set(valued "")
    set(index 0)
    foreach(entry IN LISTS entries)
        list(GET descriptions ${index} description)
        math(EXPR index "${index} + 1")
        string(REGEX MATCH "^[^ ]+" names "${entry}")
        string(REPLACE "," ";" names "${names}")
        list(APPEND options ${names})
        if(entry MATCHES "^[^ ]+ ([A-Z][A-Z0-9_]*)")
            set(value_name ${CMAKE_MATCH_1})
            list(APPEND valued ${names})
            if(description MATCHES "${value_name} is one of ([A-Za-z0-9_, ]*[A-Za-z0-9_])")
                string(REPLACE ", " " " set "${CMAKE_MATCH_1}")
                foreach(name IN LISTS names)
                    string(APPEND values_cases "    '${prefix} ${name}') values='${set}' ;;\n")
                endforeach()
            endif()
        endif()
    endforeach()
    list(JOIN options " " options)
    list(JOIN valued " " valued)
endmacro()

set(values_cases "")
zelcomdb_help(help)
read_options("${help}" "")
set(grammar_cases "    '') options='${options}' valued='${valued}' positionals='' ;;\n")

zelcomdb_subcommands(subcommands)
foreach(sub IN LISTS subcommands)
    zelcomdb_help(help ${sub})
    read_options("${help}" "${sub}")
    zelcomdb_help_entries(entries descriptions "${help}" "Positionals")
    set(positionals "")
    set(index 0)
    foreach(entry IN LISTS entries)
        list(GET descriptions ${index} description)
        math(EXPR index "${index} + 1")
        if(entry MATCHES "^SUBCOMMAND( |$)")
            list(APPEND positionals subcommand)
        elseif(description MATCHES "([0-9]+)\\.\\.([0-9]+)$")
            list(APPEND positionals "${CMAKE_MATCH_1}..${CMAKE_MATCH_2}")
        else()
            list(APPEND positionals file)
        endif()
    endforeach()
    list(JOIN positionals " " positionals)
    string(APPEND grammar_cases
        "    ${sub}) options='${options}' valued='${valued}' positionals='${positionals}' ;;\n")
endforeach()

list(JOIN subcommands " " subcommand_words)
set(ZELCOMDB_GRAMMAR "_zelcomdb_subcommands='${subcommand_words}'

_zelcomdb_grammar() {
    case $1 in
${grammar_cases}    *) return 1 ;;
    esac
}

_zelcomdb_values() {
    values=''
    case \"$1 $2\" in
${values_cases}    esac
}
")
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
