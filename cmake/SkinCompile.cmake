# Compiles a readable skin source (key = value lines) into the engine's ".SHE" skin bytes.
#   cmake -DSKIN_SOURCE=in.skin -DSKIN_OUTPUT=out.she.hex -P SkinCompile.cmake
# CMake cannot write a zero byte, so the output is the skin's bytes as hex text (two digits a byte,
# whitespace between lines); EmbedBytes.cmake turns it into program data. The format and every key are
# described in skin/engine/SKIN_FORMAT.md.
#
# Source syntax: one `key = value` a line; blank lines and lines starting with '#' are ignored.
# Colours are written #RRGGBB or "R, G, B" (0-255 each); metrics are decimal integers.
cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED SKIN_SOURCE OR NOT DEFINED SKIN_OUTPUT)
  message(FATAL_ERROR "SkinCompile: pass -DSKIN_SOURCE=<file> and -DSKIN_OUTPUT=<file>")
endif()

# Every key the format knows as "name:type:id", type 1 a colour and 2 a metric; a metric adds
# ":minimum:maximum". Keep in step with skin/engine/skin_format.h.
set(_skin_keys
  "caption.active.start:1:1"     "caption.active.end:1:2"
  "caption.inactive.start:1:3"   "caption.inactive.end:1:4"
  "caption.text.active:1:5"      "caption.text.inactive:1:6"
  "frame.active:1:7"             "frame.inactive:1:8"
  "caption.button.hot:1:9"       "caption.button.pressed:1:10"
  "caption.button.close.hot:1:11" "caption.button.glyph:1:12"
  "window.face:1:13"             "window.text:1:14"
  "button.face.start:1:15"       "button.face.end:1:16"
  "button.hot.start:1:17"        "button.hot.end:1:18"
  "button.pressed.start:1:19"    "button.pressed.end:1:20"
  "button.border:1:21"           "button.default.border:1:22"
  "button.text:1:23"             "button.disabled.face:1:24"
  "button.disabled.border:1:25"  "button.disabled.text:1:26"
  "focus.ring:1:27"              "group.frame:1:28"
  "group.text:1:29"              "edit.face:1:30"
  "edit.text:1:31"               "edit.border:1:32"
  "edit.disabled.face:1:33"      "edit.disabled.text:1:34"
  "caption.font.weight:2:1:100:900"
  "caption.text.height:2:2:0:48"
  "button.corner.radius:2:3:0:16"
  "focus.width:2:4:1:4"
  "group.frame.width:2:5:1:4"
  "group.text.weight:2:6:100:900")

function(_skin_fail line_number text)
  message(FATAL_ERROR "${SKIN_SOURCE}:${line_number}: ${text}")
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/HexBytes.cmake)

function(_skin_find_key out name)
  foreach(entry IN LISTS _skin_keys)
    string(REPLACE ":" ";" fields "${entry}")
    list(GET fields 0 key)
    if(key STREQUAL name)
      set(${out} "${fields}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} "" PARENT_SCOPE)
endfunction()

function(_skin_color_payload out value line_number)
  if(value MATCHES "^#([0-9A-Fa-f][0-9A-Fa-f])([0-9A-Fa-f][0-9A-Fa-f])([0-9A-Fa-f][0-9A-Fa-f])$")
    string(TOLOWER "${CMAKE_MATCH_1}${CMAKE_MATCH_2}${CMAKE_MATCH_3}00" payload)
  elseif(value MATCHES "^([0-9]+)[ \t]*,[ \t]*([0-9]+)[ \t]*,[ \t]*([0-9]+)$")
    set(payload "")
    foreach(part ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3})
      string(LENGTH "${part}" digits)
      if(digits GREATER 3 OR part GREATER 255)
        _skin_fail(${line_number} "colour component ${part} is not within 0-255")
      endif()
      quorvin_hex_le(byte ${part} 1)
      string(APPEND payload "${byte}")
    endforeach()
    string(APPEND payload "00")
  else()
    _skin_fail(${line_number} "'${value}' is not a colour (#RRGGBB or R, G, B)")
  endif()
  set(${out} "${payload}" PARENT_SCOPE)
endfunction()

function(_skin_metric_payload out value minimum maximum line_number)
  if(NOT value MATCHES "^-?[0-9]+$")
    _skin_fail(${line_number} "'${value}' is not a whole number")
  endif()
  string(LENGTH "${value}" digits)
  if(digits GREATER 6 OR value LESS minimum OR value GREATER maximum)
    _skin_fail(${line_number} "${value} is outside ${minimum}..${maximum}")
  endif()
  math(EXPR unsigned "${value} & 0xFFFFFFFF")
  quorvin_hex_le(payload ${unsigned} 4)
  set(${out} "${payload}" PARENT_SCOPE)
endfunction()

# Split into lines by hand (file(STRINGS) drops empty lines, and error messages need line numbers).
# Brackets and semicolons would confuse CMake's list splitting; no key or value uses them.
file(READ "${SKIN_SOURCE}" _text)
string(REPLACE "\r" "" _text "${_text}")
string(REGEX REPLACE "[][;]" "_" _text "${_text}")
string(REPLACE "\n" ";" _lines "${_text}")

set(_entries "")
set(_count 0)
set(_seen "")
set(_line_number 0)
foreach(_line IN LISTS _lines)
  math(EXPR _line_number "${_line_number} + 1")
  string(STRIP "${_line}" _line)
  if(_line STREQUAL "" OR _line MATCHES "^#")
    continue()
  endif()
  if(NOT _line MATCHES "^([a-z0-9.]+)[ \t]*=[ \t]*(.*)$")
    _skin_fail(${_line_number} "expected 'key = value'")
  endif()
  set(_key "${CMAKE_MATCH_1}")
  string(STRIP "${CMAKE_MATCH_2}" _value)
  _skin_find_key(_entry "${_key}")
  if(_entry STREQUAL "")
    _skin_fail(${_line_number} "unknown key '${_key}'")
  endif()
  if("${_key}" IN_LIST _seen)
    _skin_fail(${_line_number} "'${_key}' is set twice")
  endif()
  list(APPEND _seen "${_key}")
  list(GET _entry 1 _type)
  list(GET _entry 2 _id)
  if(_type EQUAL 1)
    _skin_color_payload(_payload "${_value}" ${_line_number})
  else()
    list(GET _entry 3 _minimum)
    list(GET _entry 4 _maximum)
    _skin_metric_payload(_payload "${_value}" ${_minimum} ${_maximum} ${_line_number})
  endif()
  quorvin_hex_le(_type_hex ${_type} 2)
  quorvin_hex_le(_id_hex ${_id} 2)
  quorvin_hex_le(_size_hex 4 4)
  string(APPEND _entries "${_type_hex}${_id_hex}${_size_hex}${_payload}")
  math(EXPR _count "${_count} + 1")
endforeach()

# FNV-1a over the entry bytes (the header's checksum).
set(_hash 2166136261)
string(LENGTH "${_entries}" _hex_length)
math(EXPR _body_bytes "${_hex_length} / 2")
if(_body_bytes GREATER 0)
  math(EXPR _last "${_body_bytes} - 1")
  foreach(_i RANGE 0 ${_last})
    math(EXPR _at "${_i} * 2")
    string(SUBSTRING "${_entries}" ${_at} 2 _pair)
    math(EXPR _hash "((${_hash} ^ 0x${_pair}) * 16777619) & 0xFFFFFFFF")
  endforeach()
endif()

math(EXPR _total "24 + ${_body_bytes}")
quorvin_hex_le(_major 1 2)
quorvin_hex_le(_minor 0 2)
quorvin_hex_le(_header_size 24 4)
quorvin_hex_le(_total_hex ${_total} 4)
quorvin_hex_le(_count_hex ${_count} 4)
quorvin_hex_le(_hash_hex ${_hash} 4)
set(_bytes "2e534845${_major}${_minor}${_header_size}${_total_hex}${_count_hex}${_hash_hex}${_entries}")

# 32 bytes a line keeps the file readable in a diff of build outputs.
string(REPEAT "[0-9a-f]" 64 _line_pattern)
string(REGEX REPLACE "(${_line_pattern})" "\\1\n" _bytes "${_bytes}")
file(WRITE "${SKIN_OUTPUT}.tmp" "${_bytes}\n")
file(RENAME "${SKIN_OUTPUT}.tmp" "${SKIN_OUTPUT}")
