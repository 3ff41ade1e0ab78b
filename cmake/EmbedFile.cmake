# Writes a C++ source holding the bytes of a file, for platforms whose
# executables carry no resources of their own.
#   cmake -DINPUT=file -DOUTPUT=source.cpp -DNAME=symbol -P EmbedFile.cmake
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}" "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n"
  "extern const unsigned char ${NAME}[];\nextern const std::size_t ${NAME}_size;\n"
  "const unsigned char ${NAME}[] = {\n${bytes}};\nconst std::size_t ${NAME}_size = sizeof ${NAME};\n")
