#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Plants each fault of mutants.txt alone in a copy of the tree (build/mutants)
and runs the tests there: every fault must make them fail. Args: names to run."""
import pathlib
import re
import shutil
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[2]
WORK = ROOT / "build" / "mutants"
TREE = WORK / "tree"


def make(log, target):
    with open(log, "a") as f:
        return subprocess.run(["make", "-C", TREE, "PGO=0", "CTEST_FLAGS=--stop-on-failure --timeout 600", target],
                              stdout=f, stderr=subprocess.STDOUT).returncode


def main(only):
    text = (pathlib.Path(__file__).parent / "mutants.txt").read_text()
    mutants = [re.match(r"(\S+): .*\n--- (\S+)\n((?:.*\n)*?)\+\+\+\n((?:.*\n)*)", b).groups()
               for b in re.split(r"^=== ", text, flags=re.M)[1:]]
    unknown = set(only) - {m[0] for m in mutants}
    if unknown:
        sys.exit("no planted fault named %s in mutants.txt" % " ".join(sorted(unknown)))
    mutants = [m for m in mutants if not only or m[0] in only]
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT, capture_output=True, text=True,
                           check=True).stdout.split()
    for f in files:  # only changed files are copied, dated now, so that the builds stay incremental and right
        if (ROOT / f).is_file() and (not (TREE / f).exists() or (TREE / f).read_bytes() != (ROOT / f).read_bytes()):
            (TREE / f).parent.mkdir(parents=True, exist_ok=True)
            shutil.copy(ROOT / f, TREE / f)
    if make(WORK / "clean.log", "test") != 0:
        sys.exit("the tests fail with no fault planted: see %s" % (WORK / "clean.log"))
    missed = []
    for name, path, old, new in mutants:
        source, log, t0 = TREE / path, WORK / (name + ".log"), time.monotonic()
        original = source.read_text()
        if original.count(old.rstrip("\n")) != 1:
            sys.exit("%s: the lines to replace are not once in %s" % (name, path))
        log.unlink(missing_ok=True)
        source.write_text(original.replace(old.rstrip("\n"), new.rstrip("\n")))
        try:
            verdict = "DOES NOT BUILD" if make(log, "check-build") else "caught" if make(log, "test") else "MISSED"
        finally:
            source.write_text(original)
        failed = re.findall(r"^\s*\d+ - (\S+) \((?!Skipped|Not Run)", log.read_text(), flags=re.M)
        print("%-14s %4.0f s  %-28s %s" % (verdict, time.monotonic() - t0, name, " ".join(failed[:3])), flush=True)
        missed += [name] if verdict != "caught" else []
    print("\n%d faults planted, %d caught%s" % (len(mutants), len(mutants) - len(missed),
                                                 "; not caught: " + " ".join(missed) if missed else ""))
    sys.exit(1 if missed else 0)


if __name__ == "__main__":
    main(sys.argv[1:])
