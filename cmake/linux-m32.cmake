# SPDX-License-Identifier: GPL-3.0-or-later
# 32-bit Linux (i386) build on an x86-64 host with Debian's g++-multilib.
# Marked as cross compiling: the host kernel may not run 32-bit code, so
# tests and test discovery go through the user-mode emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386 CACHE FILEPATH "Runs the 32-bit test executables")
