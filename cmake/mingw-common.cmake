# SPDX-License-Identifier: GPL-3.0-or-later
# Shared part of the Windows cross toolchains; the including file sets
# SOLVANE_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

# Clang over Debian's mingw-w64 runtime: a thread_local variable is then read
# through Windows' own TLS slots, where mingw's GCC calls a function for each
# access (the search's state is thread-local: half the speed). Clang 19, not
# Debian's default 14: it finds the slot once per function, where 14 does it
# again in every block (545 times in the engine against 93).
set(CMAKE_CXX_COMPILER clang++-19)
set(CMAKE_CXX_COMPILER_TARGET ${SOLVANE_MINGW_TRIPLE})
set(CMAKE_SYSROOT /usr/${SOLVANE_MINGW_TRIPLE})

# The C++ library of mingw-w64's GCC, posix thread model: std::thread and
# std::mutex sit on winpthreads. Clang does not find it by itself, the
# directory's name carrying the model.
file(GLOB SOLVANE_MINGW_GCC LIST_DIRECTORIES true /usr/lib/gcc/${SOLVANE_MINGW_TRIPLE}/*-posix)
if(NOT SOLVANE_MINGW_GCC)
  message(FATAL_ERROR "No /usr/lib/gcc/${SOLVANE_MINGW_TRIPLE}/*-posix: run make cross-deps")
endif()
list(GET SOLVANE_MINGW_GCC -1 SOLVANE_MINGW_GCC)
set(SOLVANE_MINGW_CXX ${SOLVANE_MINGW_GCC}/include/c++)
set(CMAKE_CXX_FLAGS_INIT "-isystem ${SOLVANE_MINGW_CXX} -isystem ${SOLVANE_MINGW_CXX}/${SOLVANE_MINGW_TRIPLE} \
-isystem ${SOLVANE_MINGW_CXX}/backward")

set(CMAKE_FIND_ROOT_PATH ${CMAKE_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# LLVM's linker reads the link-time optimisation's bitcode. One self-contained
# .exe: no libstdc++, libgcc or winpthread DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${SOLVANE_MINGW_GCC} -static")
