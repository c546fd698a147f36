# Building the skin engine DLL and compiling skins, shared by skin/engine, resources and the tests.
#
#   quorvin_skin_engine_flags(<arch> <compile-var> <link-var>)
#       The engine's compile and link flags for i686 or x86_64: freestanding, no C runtime, our own entry
#       point, preferred base 0x10000000 with the relocation section kept.
#   quorvin_add_mingw_skin_engine(TARGET <name> ARCH <i686|x86_64>)
#       Builds the engine DLL with <arch>-w64-mingw32-g++ through custom commands, for builds whose own
#       compiler is not MinGW (host, linux-i386). The DLL's path is the target's property
#       QUORVIN_IMAGE_FILE.
#   quorvin_compile_skin(SOURCE <file.skin> OUTPUT <file.she.hex>)
#       Compiles a skin source at build time (cmake/SkinCompile.cmake).

set(QUORVIN_SKIN_ENGINE_DIR ${CMAKE_CURRENT_LIST_DIR}/../skin/engine)
get_filename_component(QUORVIN_SKIN_ENGINE_DIR ${QUORVIN_SKIN_ENGINE_DIR} ABSOLUTE)
set(QUORVIN_SKIN_ENGINE_SOURCES engine.cpp windows.cpp procs.cpp frame.cpp controls.cpp gdi.cpp skin_format.cpp
    runtime.cpp)
set(QUORVIN_SKIN_ENGINE_HEADERS engine_internal.h skin_format.h)
set(QUORVIN_SKIN_COMPILE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/SkinCompile.cmake)

function(quorvin_skin_engine_flags arch compile_var link_var)
  # No C runtime: the engine is started by our own loader with a module handle of 0 and no TLS callbacks.
  # runtime.cpp supplies memset/memcpy; loop-to-memset rewriting is off so they cannot call themselves.
  set(compile -std=c++20 -O2 -ffreestanding -fno-exceptions -fno-rtti -fno-stack-protector
      -fno-threadsafe-statics -fno-tree-loop-distribute-patterns)
  set(link -shared -nostdlib -nostartfiles -s -Wl,--image-base,0x10000000 -Wl,--dynamicbase
      -Wl,--enable-stdcall-fixup)
  if(arch STREQUAL "i686")
    # i686 unwind tables would need a runtime to register them; x64 keeps its table-based unwind data.
    list(APPEND compile -fno-asynchronous-unwind-tables)
    list(APPEND link -Wl,-e,_SkinEngineEntry@12)
  else()
    list(APPEND link -Wl,-e,SkinEngineEntry)
  endif()
  set(${compile_var} ${compile} PARENT_SCOPE)
  set(${link_var} ${link} PARENT_SCOPE)
endfunction()

set(QUORVIN_SKIN_ENGINE_LIBRARIES -lkernel32 -luser32 -lgdi32 -lgcc)

function(quorvin_add_mingw_skin_engine)
  cmake_parse_arguments(S "" "TARGET;ARCH" "" ${ARGN})
  find_program(compiler_${S_ARCH} ${S_ARCH}-w64-mingw32-g++)
  if(NOT compiler_${S_ARCH})
    message(STATUS "Skin engine (${S_ARCH}): ${S_ARCH}-w64-mingw32-g++ not found, not built")
    return()
  endif()
  set(compiler ${compiler_${S_ARCH}})
  quorvin_skin_engine_flags(${S_ARCH} compile link)
  set(warnings -Wall -Wextra -Wconversion -Wsign-conversion -Wshadow -Werror)
  set(defines -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601)
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/${S_TARGET})
  set(headers "")
  foreach(header ${QUORVIN_SKIN_ENGINE_HEADERS})
    list(APPEND headers ${QUORVIN_SKIN_ENGINE_DIR}/${header})
  endforeach()
  set(objects "")
  foreach(source ${QUORVIN_SKIN_ENGINE_SOURCES})
    get_filename_component(stem ${source} NAME_WE)
    set(object ${out_dir}/${stem}.o)
    add_custom_command(
      OUTPUT ${object}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
      COMMAND ${compiler} ${compile} ${warnings} ${defines} -c ${QUORVIN_SKIN_ENGINE_DIR}/${source} -o ${object}
      DEPENDS ${QUORVIN_SKIN_ENGINE_DIR}/${source} ${headers}
      COMMENT "Compiling skin engine (${S_ARCH}) ${source}"
      VERBATIM)
    list(APPEND objects ${object})
  endforeach()
  set(dll ${out_dir}/quorvin_skin_engine.dll)
  add_custom_command(
    OUTPUT ${dll}
    COMMAND ${compiler} ${link} -o ${dll} ${objects} ${QUORVIN_SKIN_ENGINE_DIR}/skin_engine.def
            ${QUORVIN_SKIN_ENGINE_LIBRARIES}
    DEPENDS ${objects} ${QUORVIN_SKIN_ENGINE_DIR}/skin_engine.def
    COMMENT "Linking skin engine (${S_ARCH}) ${dll}"
    VERBATIM)
  add_custom_target(${S_TARGET} ALL DEPENDS ${dll})
  set_target_properties(${S_TARGET} PROPERTIES QUORVIN_IMAGE_FILE ${dll})
endfunction()

function(quorvin_compile_skin)
  cmake_parse_arguments(S "" "SOURCE;OUTPUT" "" ${ARGN})
  add_custom_command(
    OUTPUT ${S_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -DSKIN_SOURCE=${S_SOURCE} -DSKIN_OUTPUT=${S_OUTPUT} -P ${QUORVIN_SKIN_COMPILE_SCRIPT}
    DEPENDS ${S_SOURCE} ${QUORVIN_SKIN_COMPILE_SCRIPT}
    COMMENT "Compiling skin ${S_SOURCE}"
    VERBATIM)
endfunction()
