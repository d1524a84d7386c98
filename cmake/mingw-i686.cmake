# Cross toolchain: MinGW-w64 for 32-bit Windows (i686), the programs that ship.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
