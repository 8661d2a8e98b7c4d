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

# The simulated instrument's memory, protocol and reading encoder (no pseudo-terminal server,
# which is POSIX-only): the tests' source of reading records and comparator entries.
add_library(k720_sim STATIC ${PROJECT_SOURCE_DIR}/sim/instrument.cpp
                            ${PROJECT_SOURCE_DIR}/sim/demo_data.cpp
                            ${PROJECT_SOURCE_DIR}/sim/reading_encoder.cpp)
target_include_directories(k720_sim PUBLIC ${PROJECT_SOURCE_DIR}/sim)
target_link_libraries(k720_sim PUBLIC Threads::Threads k720_link PRIVATE k720_warnings)
# MinGW declares localtime_r, which the demo readings' dates use, only on request.
target_compile_definitions(k720_sim PRIVATE _POSIX_THREAD_SAFE_FUNCTIONS)

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
