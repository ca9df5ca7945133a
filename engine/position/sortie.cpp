// SPDX-License-Identifier: GPL-3.0-or-later
#include "sortie.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>

// A pipe whose reader has gone reports it to poll() before any write fails.
#if defined(__unix__) && !defined(__EMSCRIPTEN__)
#include <poll.h>
#include <unistd.h>
#define SOLVANE_SONDE_SORTIE 1
#endif

namespace {
std::mutex verrou_sortie;
std::string* capture = nullptr;
std::atomic<bool> fermee{false};
}  // namespace

void sortie_texte(std::string_view texte) {
    std::lock_guard<std::mutex> garde(verrou_sortie);
    if (capture != nullptr) {
        capture->append(texte);
        return;
    }
    // A reader that ignores SIGPIPE gets a failed write instead of a dead engine.
    if (std::fwrite(texte.data(), 1, texte.size(), stdout) != texte.size() || std::fflush(stdout) != 0)
        fermee = true;
}

bool sortie_fermee() {
#ifdef SOLVANE_SONDE_SORTIE
    pollfd sonde{STDOUT_FILENO, 0, 0};
    if (!fermee && poll(&sonde, 1, 0) == 1 && (sonde.revents & (POLLERR | POLLHUP)) != 0) fermee = true;
#endif
    return fermee;
}

void sortie_ligne(std::string_view ligne) {
    std::string texte(ligne);
    texte.push_back('\n');
    sortie_texte(texte);
}

std::string format_texte(const char* format, ...) {
    char tampon[256];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(tampon, sizeof tampon, format, args);
    va_end(args);
    if (n < 0) return {};
    if (static_cast<size_t>(n) < sizeof tampon) return std::string(tampon, static_cast<size_t>(n));
    std::string grand(static_cast<size_t>(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(grand.data(), grand.size(), format, args);
    va_end(args);
    grand.resize(static_cast<size_t>(n));
    return grand;
}

void sortie_capturer(std::string* destination) {
    std::lock_guard<std::mutex> garde(verrou_sortie);
    capture = destination;
}
