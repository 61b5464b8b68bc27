# Cross build for 64-bit Windows with MinGW-w64. The tests run under Wine:
#   cmake --preset win64 && cmake --build --preset win64 && ctest --preset win64
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZEL_MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# Test programs, test discovery and build steps run the Windows programs under
# Wine; Debian has no wine64 command on the PATH, `wine` picks the loader.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
