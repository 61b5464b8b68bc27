# Writes a C++ header that holds a file's bytes in a character array NAME
# (terminated by a zero that is not part of the file), so that a program
# carries the file byte for byte as it is installed:
#   cmake -DINPUT=file -DOUTPUT=header.h -DNAME=kArray -P embed-text.cmake
file(READ ${INPUT} hex HEX)
# Sixteen bytes a line.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1', " bytes "${hex}")
string(REGEX REPLACE "(('[^']+', ){16})" "\\1\n    " bytes "${bytes}")
get_filename_component(source ${INPUT} NAME)
file(WRITE ${OUTPUT}.tmp
    "// Generated from ${source} by cmake/embed-text.cmake; do not edit.\n"
    "#pragma once\n\n"
    "inline constexpr char ${NAME}[] = {\n    ${bytes}'\\0'};\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
