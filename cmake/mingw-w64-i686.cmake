# Cross build for 32-bit Windows with MinGW-w64, the DLL that 32-bit hosts
# load:
#   cmake --preset win32 && cmake --build --preset win32
# No emulator: the kernels of the build machines refuse 32-bit programs, so
# 32-bit Wine cannot start and the preset builds no tests. The DLL's export
# table is checked instead (scripts/check-exports.sh).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZEL_MINGW_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
