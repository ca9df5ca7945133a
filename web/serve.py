#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Serves a folder (build/web) on localhost with the two headers that make the
page cross-origin isolated, which the engine's threads need for their shared
memory. Prints the address on its first line; port 0 picks a free one."""

import argparse
import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".js": "text/javascript", ".mjs": "text/javascript", ".wasm": "application/wasm",
                      ".css": "text/css", ".html": "text/html; charset=utf-8"}

    def end_headers(self):
        if not self.server.plain:
            self.send_header("Cross-Origin-Opener-Policy", "same-origin")
            self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def log_message(self, format, *args):
        if self.server.verbose:
            super().log_message(format, *args)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("folder", nargs="?", default="build/web")
    parser.add_argument("--port", type=int, default=8000)
    parser.add_argument("--quiet", action="store_true", help="no line per request")
    parser.add_argument("--plain", action="store_true", help="without the two headers, as a careless host would")
    args = parser.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port),
                                             functools.partial(Handler, directory=args.folder))
    server.verbose, server.plain = not args.quiet, args.plain
    print("Serving %s on http://127.0.0.1:%d/" % (args.folder, server.server_address[1]), flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
