// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

constexpr const char* VERSION = "1.8.5";
