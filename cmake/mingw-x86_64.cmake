# 64-bit Windows build of the same code, for test hosts whose kernel cannot run
# 32-bit (i386) Linux programs and therefore cannot start wine32.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MIRRORIX_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
