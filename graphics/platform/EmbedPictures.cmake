# Writes a C++ source holding the editor's pictures as byte arrays and a
# lookup by resource ordinal (graphics/platform/EmbeddedPictures.h).
# Run as: cmake -DOUTPUT=file.cpp -DPICTURE_DIR=dir -DPICTURES=101=a.png,102=b.png -P EmbedPictures.cmake
# Pictures that do not exist are left out of the table.
string(REPLACE "," ";" entries "${PICTURES}")
set(arrays "")
set(table "")
foreach(entry ${entries})
    string(REGEX MATCH "^[0-9]+" ordinal "${entry}")
    string(REGEX REPLACE "^[0-9]+=" "" name "${entry}")
    set(path "${PICTURE_DIR}/${name}")
    if(NOT EXISTS "${path}" OR IS_DIRECTORY "${path}")
        continue()
    endif()
    file(READ "${path}" hex HEX)
    string(LENGTH "${hex}" hex_length)
    if(hex_length EQUAL 0)
        continue()
    endif()
    # 32 bytes to a line, then every byte as 0xNN,
    string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])"
           "\\1\n" hex "${hex}")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(APPEND arrays "// ${name}\nconst unsigned char picture${ordinal}[] = {\n${bytes}\n};\n\n")
    string(APPEND table "    {${ordinal}, picture${ordinal}, sizeof picture${ordinal}},\n")
endforeach()

if(table STREQUAL "")
    set(table "    {0, nullptr, 0},\n")
endif()

set(source "// Generated from resources/img by graphics/platform/EmbedPictures.cmake; do not edit.
#include \"graphics/platform/EmbeddedPictures.h\"

namespace {
${arrays}struct Entry {
    int ordinal;
    const unsigned char* data;
    std::size_t size;
};
const Entry kPictures[] = {
${table}};
}  // namespace

namespace LICE {
ResourceBytes FindEmbeddedPicture(int ordinal) {
    for (const Entry& e : kPictures) {
        if (e.data != nullptr && e.ordinal == ordinal) {
            return ResourceBytes{e.data, e.size};
        }
    }
    return ResourceBytes{};
}
}  // namespace LICE
")
file(WRITE "${OUTPUT}.tmp" "${source}")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${OUTPUT}.tmp" "${OUTPUT}")
file(REMOVE "${OUTPUT}.tmp")
