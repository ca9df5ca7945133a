#pragma once

constexpr const char* VERSION = "1.8.5";
