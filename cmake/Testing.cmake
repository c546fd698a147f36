# GoogleTest, built from the Debian sources with whatever toolchain this build uses.
set(QUORVIN_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT QUORVIN_TARGET STREQUAL "fuzz")
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${QUORVIN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

# quorvin_add_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>] [TIMEOUT <s>])
# One test executable is one ctest test; on cross builds ctest runs it through the build's emulator
# (qemu-i386-static or Wine).
function(quorvin_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;ARGS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main quorvin_options)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} ${T_ARGS})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${QUORVIN_TARGET};${T_LABELS}")
endfunction()
