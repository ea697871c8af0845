# Cross-build for 64-bit Windows with Debian's mingw-w64 (the POSIX-threads
# compilers, for std::thread in the tests). Programs link statically, so each
# .exe runs alone; wine64 runs them for CTest.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian puts the 64-bit loader outside PATH.
find_program(DSR_WINE64 NAMES wine64 wine HINTS /usr/lib/wine /usr/lib64/wine)
if(DSR_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DSR_WINE64})
endif()
