# Shared part of the MinGW-w64 toolchain files. The -posix compilers are required:
# the -win32 variants lack std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER   ${TAVREL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVREL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${TAVREL_MINGW_TRIPLET}-windres)
set(TAVREL_WIDL        ${TAVREL_MINGW_TRIPLET}-widl)
set(TAVREL_OBJDUMP     ${TAVREL_MINGW_TRIPLET}-objdump)
set(TAVREL_OBJCOPY     ${TAVREL_MINGW_TRIPLET}-objcopy)
set(CMAKE_STRIP        /usr/bin/${TAVREL_MINGW_TRIPLET}-strip)

set(CMAKE_FIND_ROOT_PATH /usr/${TAVREL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
