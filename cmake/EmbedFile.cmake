# Writes a C++ source that holds the bytes of INPUT as the array SYMBOL, with SYMBOL_size.
# Run with: cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=... -P EmbedFile.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes
       "${bytes}")
file(WRITE "${OUTPUT}.tmp"
     "// Made at build time from ${INPUT}; do not edit.\n"
     "#include <cstddef>\n"
     "extern const unsigned char ${SYMBOL}[] = {\n${bytes}0};\n"
     "extern const std::size_t ${SYMBOL}_size = ${size};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
