# The product: one GUI executable, statically linked, importing only system DLLs.
add_executable(Quorvin WIN32 main_win32.cpp ${PROJECT_SOURCE_DIR}/resources/quorvin.rc)
target_link_libraries(Quorvin PRIVATE quorvin_shell quorvin_win32_toolkit quorvin_settings_store
                      quorvin_skin_binding quorvin_data_blocks quorvin_options)
set_target_properties(Quorvin PROPERTIES OUTPUT_NAME Quorvin RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
