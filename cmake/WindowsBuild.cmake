# What the Windows build needs beyond the per-folder CMakeLists.txt files.
#
# GoogleTest: Debian's libgtest-dev holds Linux libraries only, so the tests' framework is built
# here from the source Debian ships (package googletest), with the cross compiler.
if(K720_BUILD_TESTS)
  set(K720_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source (package googletest)")
  if(NOT EXISTS ${K720_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest source in ${K720_GOOGLETEST_SOURCE}: install googletest")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # Its own CMakeLists.txt defines GTest::gtest, GTest::gmock and GTest::gtest_main.
  add_subdirectory(${K720_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# The C++ runtime. Programs without Qt link it statically, so that k720ctl.exe and the core's
# test programs run alone. Programs with Qt take the shared runtime that Qt's DLLs use (see
# k720_shared_runtime), so that a process holds one runtime: one heap behind new and delete,
# one exception unwinder, one set of thread-local state across the Qt boundary.
foreach(option -static -static-libgcc -static-libstdc++)
  add_link_options("$<$<NOT:$<BOOL:$<TARGET_PROPERTY:K720_SHARED_RUNTIME>>>:${option}>")
endforeach()

# Marks programs that link Qt: they take the shared C++ runtime.
function(k720_shared_runtime)
  set_target_properties(${ARGN} PROPERTIES K720_SHARED_RUNTIME ON)
endfunction()
