# The product: one GUI executable, statically linked, importing only system DLLs.
set(product_sources main_win32.cpp ${PROJECT_SOURCE_DIR}/resources/quorvin.rc)
set(product_libraries quorvin_shell quorvin_win32_toolkit quorvin_settings_store quorvin_skin_binding quorvin_options)

add_executable(Quorvin WIN32 ${product_sources})
target_link_libraries(Quorvin PRIVATE ${product_libraries} quorvin_data_blocks)
set_target_properties(Quorvin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# For the tests only: the same program whose engine image fails to load, so it keeps the system's look.
add_executable(QuorvinWithoutEngine WIN32 ${product_sources})
target_link_libraries(QuorvinWithoutEngine PRIVATE ${product_libraries} quorvin_data_blocks_without_engine)
set_target_properties(QuorvinWithoutEngine PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
