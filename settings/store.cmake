# The settings store: the portable INI reader and writer with its file-backed store in every build, and
# the store over the Windows private-profile functions in the Windows builds.
add_library(quorvin_settings_store STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ini_format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ini_file_store.cpp)
if(QUORVIN_WINDOWS)
  target_sources(quorvin_settings_store PRIVATE ${CMAKE_CURRENT_LIST_DIR}/profile_store_win32.cpp)
  target_link_libraries(quorvin_settings_store PUBLIC kernel32)
endif()
target_link_libraries(quorvin_settings_store PUBLIC quorvin_ui quorvin_options)
