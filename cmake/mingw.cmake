# Cross toolchain: MinGW-w64 for the processor that the including file
# names (CMAKE_SYSTEM_PROCESSOR: i686 or x86_64).
set(CMAKE_SYSTEM_NAME Windows)
set(QV_MINGW_TRIPLET ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

# The win32 thread model: no winpthread, nothing imported for threads.
set(CMAKE_C_COMPILER ${QV_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${QV_MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${QV_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QV_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
