# quorvin_loader: the in-memory module loader and the module object. Host and fuzz builds get what
# does not run mapped code; the i386 and Windows builds add CallProcAddress, Windows the Win32 platform.
add_library(quorvin_loader STATIC
  ${CMAKE_CURRENT_LIST_DIR}/image_loader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/in_memory_module.cpp)
target_include_directories(quorvin_loader PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quorvin_loader PRIVATE quorvin_options)

if(QUORVIN_TARGET STREQUAL "linux-i386" OR QUORVIN_TARGET STREQUAL "win32")
  enable_language(ASM)
  target_sources(quorvin_loader PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/call_proc_address.cpp
    ${CMAKE_CURRENT_LIST_DIR}/call_proc_address_i386.S)
elseif(QUORVIN_TARGET STREQUAL "win64")
  target_sources(quorvin_loader PRIVATE ${CMAKE_CURRENT_LIST_DIR}/call_proc_address.cpp)
endif()
if(QUORVIN_WINDOWS)
  target_sources(quorvin_loader PRIVATE ${CMAKE_CURRENT_LIST_DIR}/loader_platform_win32.cpp)
endif()
