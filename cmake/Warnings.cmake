# Compile options for the project's own code (GoogleTest gets none of them).
# Source files are UTF-8; every text literal is compiled to code page 936 bytes, in every build, so that
# the texts the program shows and stores, and the ones the tests expect, are the same bytes everywhere.
add_library(quorvin_options INTERFACE)
# (clang, which builds only the fuzz targets, knows no other execution character set than UTF-8; the
# code it fuzzes treats texts as bytes whatever they hold.)
target_compile_options(quorvin_options INTERFACE
  $<$<AND:$<COMPILE_LANGUAGE:CXX,C>,$<C_COMPILER_ID:GNU>>:-finput-charset=UTF-8 -fexec-charset=CP936>
  $<$<COMPILE_LANGUAGE:CXX,C>:-Wall -Wextra -Wconversion -Wsign-conversion -Wshadow -Werror>)

if(QUORVIN_TARGET STREQUAL "host")
  # Host tests run with AddressSanitizer and UndefinedBehaviorSanitizer.
  target_compile_options(quorvin_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                         -fno-sanitize-recover=all)
  target_link_options(quorvin_options INTERFACE -fsanitize=address,undefined)
elseif(QUORVIN_TARGET STREQUAL "fuzz")
  target_compile_options(quorvin_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                         -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(quorvin_options INTERFACE -fsanitize=address,undefined)
elseif(QUORVIN_WINDOWS)
  # One self-contained executable: no runtime DLLs of our own, only system DLLs.
  target_link_options(quorvin_options INTERFACE -static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)
  target_compile_definitions(quorvin_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()
