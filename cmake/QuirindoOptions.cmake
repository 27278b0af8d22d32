# Warnings and sanitizers for every target of the project, in one place.
option(QUIRINDO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(QUIRINDO_FUZZ "Build only the libFuzzer targets (needs clang)" OFF)
option(QUIRINDO_WERROR "Treat warnings as errors" OFF)

add_library(quirindo_options INTERFACE)
target_compile_options(quirindo_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual)
if(QUIRINDO_WERROR)
  target_compile_options(quirindo_options INTERFACE -Werror)
endif()
# GCC's "undefined" leaves out float-to-int conversions out of range; they
# are asked for by name.
if(QUIRINDO_SANITIZE)
  target_compile_options(quirindo_options INTERFACE
    -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=undefined,float-cast-overflow
    -fno-omit-frame-pointer)
  target_link_options(quirindo_options INTERFACE -fsanitize=address,undefined,float-cast-overflow)
endif()
if(QUIRINDO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QUIRINDO_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++")
  endif()
  target_compile_options(quirindo_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
  target_link_options(quirindo_options INTERFACE -fsanitize=address,undefined)
endif()
