# Cross build for 32-bit Windows with MinGW-w64, the DLL that 32-bit hosts
# load. The tests run under 32-bit Wine (package wine32:i386), where the
# kernel runs i386 programs:
#   cmake --preset win32 && cmake --build --preset win32 && ctest --preset win32
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZEL_MINGW_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# As for 64-bit Windows (cmake/mingw-w64-x86_64.cmake): `wine` starts the
# 32-bit loader for a 32-bit program.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
