# Shared part of the cross builds for Windows with MinGW-w64 (Debian's
# g++-mingw-w64-<arch>-posix packages). The toolchain file of an architecture
# sets CMAKE_SYSTEM_PROCESSOR and ZEL_MINGW_TARGET, then includes this one.
set(CMAKE_SYSTEM_NAME Windows)

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
