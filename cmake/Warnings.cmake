# Warnings are part of the build's contract: the tree compiles clean with them.
add_library(k720_warnings INTERFACE)
if(MSVC)
  target_compile_options(k720_warnings INTERFACE /W4)
else()
  target_compile_options(k720_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                                                 -Wnon-virtual-dtor)
endif()
