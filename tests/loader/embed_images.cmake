# cmake -DOUTPUT=<file.cpp> -DFUNCTION=<name> -DIMAGES="<file>;<file>..." -P embed_images.cmake
# Writes the test images into a C++ source as byte arrays, with a function that lists them by file name.
string(REPLACE "|" ";" IMAGES "${IMAGES}")
set(body "// Generated from the test images at build time; do not edit.\n#include \"test_images.h\"\n\nnamespace {\n")
set(entries "")
set(index 0)
foreach(image IN LISTS IMAGES)
  get_filename_component(name "${image}" NAME)
  file(READ "${image}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
  string(APPEND body "const unsigned char image${index}[] = {\n${bytes}\n};\n")
  string(APPEND entries "        {\"${name}\", image${index}, sizeof image${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()
string(APPEND body "} // namespace\n\nnamespace quorvin::test {\n\nconst std::vector<TestImage>& ${FUNCTION}()\n{\n"
       "    static const std::vector<TestImage> images{\n${entries}    };\n    return images;\n}\n\n} // namespace quorvin::test\n")
file(WRITE "${OUTPUT}.tmp" "${body}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
