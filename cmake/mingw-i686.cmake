# Cross-compiling for 32-bit Windows (the product build) with Debian's MinGW-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TAVREL_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Doubles are computed in SSE2 registers, as in the 64-bit build the tests run and as
# MSVC does by default, rather than in the x87 unit's 80-bit registers: a converted
# span, a compared tolerance or a number text then comes out the same in both DLLs.
# Every processor that runs a supported Windows has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
