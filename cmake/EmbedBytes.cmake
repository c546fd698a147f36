# Turns files into constant data blocks of a C++ source: each block is a 32-bit count (1), a 32-bit
# length, then the file's bytes, and a function returns a view of the bytes (pointer and length).
#
# Included from a CMakeLists, it defines quorvin_embed_bytes(); run as a script it writes the source:
#   cmake -DEMBED_OUTPUT=out.cpp -DEMBED_INCLUDE=header.h -DEMBED_NAMESPACE=ns -DEMBED_VIEW=ViewType
#         -DEMBED_NAMES=a,b -DEMBED_FILE_a=file -DEMBED_FILE_b=file -P EmbedBytes.cmake
# A file whose name ends in ".hex" holds hex text (the skin compiler's output); any other file is read
# as raw bytes.

if(NOT CMAKE_SCRIPT_MODE_FILE)
  set(QUORVIN_EMBED_BYTES_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

  # quorvin_embed_bytes(OUTPUT <cpp> INCLUDE <header> NAMESPACE <ns> [VIEW <type>]
  #                     BLOCKS <function> <file> [<function> <file>...] [DEPENDS <targets...>])
  function(quorvin_embed_bytes)
    cmake_parse_arguments(E "" "OUTPUT;INCLUDE;NAMESPACE;VIEW" "BLOCKS;DEPENDS" ${ARGN})
    if(NOT E_VIEW)
      set(E_VIEW DataBlockView)
    endif()
    set(names "")
    set(file_args "")
    set(files "")
    list(LENGTH E_BLOCKS count)
    math(EXPR last "${count} - 1")
    foreach(i RANGE 0 ${last} 2)
      math(EXPR j "${i} + 1")
      list(GET E_BLOCKS ${i} name)
      list(GET E_BLOCKS ${j} file)
      list(APPEND names ${name})
      list(APPEND file_args -DEMBED_FILE_${name}=${file})
      list(APPEND files ${file})
    endforeach()
    string(REPLACE ";" "," names "${names}")
    add_custom_command(
      OUTPUT ${E_OUTPUT}
      COMMAND ${CMAKE_COMMAND} -DEMBED_OUTPUT=${E_OUTPUT} -DEMBED_INCLUDE=${E_INCLUDE}
              -DEMBED_NAMESPACE=${E_NAMESPACE} -DEMBED_VIEW=${E_VIEW} -DEMBED_NAMES=${names} ${file_args}
              -P ${QUORVIN_EMBED_BYTES_SCRIPT}
      DEPENDS ${files} ${E_DEPENDS} ${QUORVIN_EMBED_BYTES_SCRIPT}
      COMMENT "Embedding ${names} into ${E_OUTPUT}"
      VERBATIM)
  endfunction()
  return()
endif()

foreach(required EMBED_OUTPUT EMBED_INCLUDE EMBED_NAMESPACE EMBED_VIEW EMBED_NAMES)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "EmbedBytes: -D${required}=... is missing")
  endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/HexBytes.cmake)

function(_embed_read_hex out file)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "EmbedBytes: ${file} does not exist")
  endif()
  if(file MATCHES "\\.hex$")
    file(READ "${file}" hex)
    string(REGEX REPLACE "[ \t\r\n]" "" hex "${hex}")
    string(TOLOWER "${hex}" hex)
    string(LENGTH "${hex}" digits)
    math(EXPR odd "${digits} % 2")
    if(NOT hex MATCHES "^[0-9a-f]*$" OR odd)
      message(FATAL_ERROR "EmbedBytes: ${file} is not hex text")
    endif()
  else()
    file(READ "${file}" hex HEX)
  endif()
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()

string(REPLACE "," ";" _names "${EMBED_NAMES}")
string(REPEAT "0x[0-9a-f][0-9a-f]," 16 _row)
set(_source "// Generated at build time by cmake/EmbedBytes.cmake; not to be edited.\n")
string(APPEND _source "#include \"${EMBED_INCLUDE}\"\n\nnamespace ${EMBED_NAMESPACE} {\n")
foreach(_name IN LISTS _names)
  set(_file "${EMBED_FILE_${_name}}")
  _embed_read_hex(_hex "${_file}")
  string(LENGTH "${_hex}" _digits)
  math(EXPR _length "${_digits} / 2")
  if(_length GREATER 4294967295)
    message(FATAL_ERROR "EmbedBytes: ${_file} is too large for a data block")
  endif()
  quorvin_hex_le(_length_hex ${_length} 4)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _bytes "01000000${_length_hex}${_hex}")
  string(REGEX REPLACE "(${_row})" "\\1\n" _bytes "${_bytes}")
  get_filename_component(_file_name "${_file}" NAME)
  string(APPEND _source
    "\nnamespace {\n// ${_name}: count 1, length ${_length}, then the bytes of ${_file_name}.\n"
    "alignas(16) constexpr unsigned char k_${_name}_block[] = {\n${_bytes}\n};\n}  // namespace\n\n"
    "${EMBED_VIEW} ${_name}() { return {k_${_name}_block + 8, ${_length}u}; }\n")
endforeach()
string(APPEND _source "\n}  // namespace ${EMBED_NAMESPACE}\n")

file(WRITE "${EMBED_OUTPUT}.tmp" "${_source}")
file(COPY_FILE "${EMBED_OUTPUT}.tmp" "${EMBED_OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${EMBED_OUTPUT}.tmp")
