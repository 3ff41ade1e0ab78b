# Writes a C++ source holding the bytes of a file, for platforms whose
# executables carry no resources of their own.
#   cmake -DINPUT=file -DOUTPUT=source.cpp -DNAME=symbol [-DSECTION=name] -P EmbedFile.cmake
# SECTION gathers the files in a section of their own (GCC and Clang), apart
# from the data the program reads as it runs: a page of it read then does not
# bring in pages of a large file that is rarely read.
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
set(placement "")
if(SECTION)
  set(placement "#if defined(__GNUC__)\n__attribute__((section(\"${SECTION}\")))\n#endif\n")
endif()
file(WRITE "${OUTPUT}" "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n"
  "extern const unsigned char ${NAME}[];\nextern const std::size_t ${NAME}_size;\n"
  "${placement}const unsigned char ${NAME}[] = {\n${bytes}};\nconst std::size_t ${NAME}_size = sizeof ${NAME};\n")
