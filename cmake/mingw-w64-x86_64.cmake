# Cross build for 64-bit Windows with MinGW-w64 (Debian's g++-mingw-w64-x86-64
# packages). The tests run under Wine:
#   cmake --preset win64 && cmake --build --preset win64 && ctest --preset win64
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZEL_MINGW_TARGET x86_64-w64-mingw32)

# The -posix compilers: the default win32-thread ones lack std::mutex, which
# GoogleTest needs.
set(CMAKE_C_COMPILER ${ZEL_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEL_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZEL_MINGW_TARGET}-windres)

# The compiler's runtime (libgcc, libstdc++, winpthread) linked in, so that
# the DLL and the test programs need no DLL beside them but the library's own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Libraries, headers and packages from the target's sysroot only; programs
# (code generators, the emulator) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ZEL_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs, test discovery and build steps run the Windows programs under
# Wine; Debian has no wine64 command on the PATH, `wine` picks the loader.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
