# The program's two constant data blocks, generated at build time: the skin engine's DLL image (the engine
# built by skin/engine, of this build's bitness; the i386 image in the non-Windows builds) and the
# built-in skin compiled from resources/skin/classroom.skin. Nothing binary is kept in the sources.
include(${PROJECT_SOURCE_DIR}/cmake/SkinBuild.cmake)
include(${PROJECT_SOURCE_DIR}/cmake/EmbedBytes.cmake)

get_property(_engine_image GLOBAL PROPERTY QUORVIN_SKIN_ENGINE_IMAGE)
if(NOT _engine_image OR NOT TARGET quorvin_skin_engine_image)
  message(STATUS "Data blocks: no skin engine image in this build, quorvin_data_blocks not defined")
  return()
endif()

set(_skin_bytes ${CMAKE_CURRENT_BINARY_DIR}/skin/classroom.she.hex)
quorvin_compile_skin(SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/skin/classroom.skin OUTPUT ${_skin_bytes})

set(_blocks_source ${CMAKE_CURRENT_BINARY_DIR}/data_blocks.cpp)
quorvin_embed_bytes(
  OUTPUT ${_blocks_source}
  INCLUDE data_blocks.h
  NAMESPACE quorvin
  BLOCKS skinEngineImage ${_engine_image} builtInSkin ${_skin_bytes}
  DEPENDS quorvin_skin_engine_image)

add_library(quorvin_data_blocks STATIC ${_blocks_source})
target_include_directories(quorvin_data_blocks PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quorvin_data_blocks PRIVATE quorvin_options)
add_dependencies(quorvin_data_blocks quorvin_skin_engine_image)
