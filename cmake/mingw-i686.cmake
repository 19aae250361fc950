# 32-bit Windows (PE32, i386): the shipped program.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MIRRORIX_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
