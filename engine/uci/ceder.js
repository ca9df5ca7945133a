// SPDX-License-Identifier: GPL-3.0-or-later
// solvane_ceder for the single-thread WebAssembly build (engine/uci/un_fil.cpp):
// the search's stack is set aside (Asyncify) for one turn of the event loop,
// in which the worker reads the lines that came; the loader's `ceder(reprendre)`
// calls reprendre with 1 for a "stop" among them, 2 for a "ponderhit", else 0.
mergeInto(LibraryManager.library, {
  solvane_ceder: function () {
    return Asyncify.handleSleep(function (reprendre) {
      if (Module['ceder']) Module['ceder'](reprendre);
      else setTimeout(function () { reprendre(0); }, 0);
    });
  },
});
