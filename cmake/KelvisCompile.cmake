# Compiler settings shared by every Kelvis target.

set(KEL_SANITIZER_FLAGS)
if(KEL_SANITIZE)
  list(APPEND KEL_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
       -fno-omit-frame-pointer)
endif()
if(KEL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KEL_FUZZ needs clang")
  endif()
  # Coverage for libFuzzer in every library the targets link.
  list(APPEND KEL_SANITIZER_FLAGS -fsanitize=fuzzer-no-link)
endif()
if(KEL_SANITIZER_FLAGS)
  add_compile_options(${KEL_SANITIZER_FLAGS})
  add_link_options(${KEL_SANITIZER_FLAGS})
endif()

function(kel_compile_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(KEL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
