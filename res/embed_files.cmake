# Writes OUTPUT, a C++ source that holds the bytes of each file of FILES (a comma-separated list)
# and gives them by file name through EmbeddedImage().
string(REPLACE "," ";" files "${FILES}")
string(REPEAT "0x..," 16 line_of_bytes)  # CMake's expressions have no {n}
set(arrays "")
set(lookup "")
set(index 0)
foreach(file IN LISTS files)
  get_filename_component(name "${file}" NAME)
  file(READ "${file}" hex HEX)
  # Sixteen bytes to a line.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(${line_of_bytes})" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "// ${name}\nconstexpr std::uint8_t kFile${index}[] = {\n    ${bytes}};\n\n")
  string(APPEND lookup "    if (fileName == \"${name}\") return kFile${index};\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}" "// Made by res/embed_files.cmake from res/images.
#include \"res/embedded_images.h\"

namespace {

${arrays}}  // namespace

std::span<const std::uint8_t> EmbeddedImage(std::string_view fileName) {
${lookup}    return {};
}
")
