# Cross build for 64-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DCMAKE_PREFIX_PATH=<Qt for Windows> -DQT_HOST_PATH=/usr   (scripts/build-windows)
# The "-posix" compilers use the POSIX thread model, the only one of this compiler version with
# std::thread, std::mutex and std::jthread. Programs run under Wine (the emulator below), so CTest
# and test discovery work from Linux.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# The Qt for Windows of scripts/build-qt-windows lies outside the compiler's root: its prefix is
# searched as one more root, so that find_package finds it and nothing of the host.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The 64-bit loader directly: Debian's "wine" wrapper asks for the 32-bit one first.
find_program(K720_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(K720_WINE NAMES wine64 wine)
if(K720_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${K720_WINE})
endif()
