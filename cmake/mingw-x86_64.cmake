# Cross toolchain: MinGW-w64 for 64-bit Windows (x86_64), for running the
# tests where the kernel runs no 32-bit programs; nothing of it ships.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
