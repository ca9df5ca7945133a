# SPDX-License-Identifier: GPL-3.0-or-later
# 64-bit Windows executable built by clang with Debian's mingw-w64.
set(SOLVANE_MINGW_TRIPLE x86_64-w64-mingw32)
# x86_64: the root project then targets x86-64-v2 (POPCNT).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
