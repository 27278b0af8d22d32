# Warnings and sanitizers for every target of the project, in one place.
option(QUIRINDO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(QUIRINDO_WERROR "Treat warnings as errors" OFF)

add_library(quirindo_options INTERFACE)
target_compile_options(quirindo_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual)
if(QUIRINDO_WERROR)
  target_compile_options(quirindo_options INTERFACE -Werror)
endif()
if(QUIRINDO_SANITIZE)
  target_compile_options(quirindo_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(quirindo_options INTERFACE -fsanitize=address,undefined)
endif()
