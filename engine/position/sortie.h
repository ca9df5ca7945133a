// SPDX-License-Identifier: GPL-3.0-or-later
// Every byte the engine writes to standard output goes through here, one whole
// line (or block of lines) per write, so that the input thread's replies and the
// main thread's search lines never interleave mid-line.
#pragma once

#include <string>
#include <string_view>

void sortie_texte(std::string_view texte);
void sortie_ligne(std::string_view ligne);  // adds the line feed

// True once standard output has lost its reader: nothing written can arrive.
bool sortie_fermee();

// Formats like printf into a std::string.
std::string format_texte(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Where the output goes; tests capture it instead of the real standard output.
void sortie_capturer(std::string* destination);  // nullptr restores stdout
