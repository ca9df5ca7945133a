# SPDX-License-Identifier: GPL-3.0-or-later
# 32-bit Windows executable built by clang with Debian's mingw-w64.
set(SOLVANE_MINGW_TRIPLE i686-w64-mingw32)
# Not x86_64, so the root project adds no -march: i686 here (clang would
# assume a Pentium 4's SSE2), so that it runs on any 32-bit Windows machine.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
string(APPEND CMAKE_CXX_FLAGS_INIT " -march=i686")
