# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVARNEX_BUILD_GUI=OFF
# scripts/windows.sh does that, with GoogleTest cross-built first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VARNEX_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${VARNEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNEX_MINGW_TRIPLE}-windres)

# Libraries and headers of the target only; programs (the build tools) of
# the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VARNEX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The .exe files run without the compiler's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# The 64-bit Windows stack keeps 16-byte alignment, and GCC spills AVX
# registers with aligned moves that assume 32: the assembler makes every
# aligned vector move an unaligned one (same speed on aligned data).
set(CMAKE_C_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
set(CMAKE_CXX_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")

# Tests and test discovery run the programs under Wine.
find_program(VARNEX_WINE NAMES wine64 wine)
if(VARNEX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VARNEX_WINE})
endif()
