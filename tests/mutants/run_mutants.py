#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Plants each fault of mutants.txt alone in a copy of the tree and runs the
test suite there; every fault must make it fail. Usage: run_mutants.py [NAME...]"""
import pathlib
import re
import shutil
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[2]
WORK = ROOT / "build" / "mutants"
TREE = WORK / "tree"
MAKE = ["make", "-C", str(TREE), "PGO=0", "CTEST_FLAGS=--stop-on-failure --timeout 600"]


def mutants():
    text = (pathlib.Path(__file__).parent / "mutants.txt").read_text()
    for block in re.split(r"^=== ", text, flags=re.M)[1:]:
        title, rest = block.split("\n", 1)
        path, rest = rest.split("\n", 1)
        old, new = rest.split("+++\n")
        yield title.split(":")[0], title, path[4:], old.rstrip("\n"), new.rstrip("\n")


def run(log, *targets):
    with open(log, "a") as f:
        return subprocess.run(MAKE + list(targets), stdout=f, stderr=subprocess.STDOUT).returncode


def main(only):
    WORK.mkdir(parents=True, exist_ok=True)
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT, capture_output=True,
                           text=True, check=True).stdout.split()
    for old in TREE.rglob("*"):  # files gone from the tree (its build kept)
        if old.is_file() and "build" != old.relative_to(TREE).parts[0] and str(old.relative_to(TREE)) not in files:
            old.unlink()
    for f in files:  # only changed files, so that the builds stay incremental
        src, dst = ROOT / f, TREE / f
        if src.is_file() and (not dst.exists() or dst.read_bytes() != src.read_bytes()):
            dst.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(src, dst)
    if run(WORK / "clean.log", "test") != 0:
        sys.exit("the suite fails without any fault: see %s" % (WORK / "clean.log"))
    missed = []
    for name, title, path, old, new in mutants():
        if only and name not in only:
            continue
        source = TREE / path
        original = source.read_text()
        if original.count(old) != 1:
            sys.exit("%s: the lines to replace are not once in %s" % (name, path))
        log = WORK / (name + ".log")
        log.unlink(missing_ok=True)
        t0 = time.monotonic()
        source.write_text(original.replace(old, new))
        try:
            if run(log, "check-build") != 0:
                verdict = "DOES NOT BUILD"
            else:
                verdict = "caught" if run(log, "test") != 0 else "MISSED"
        finally:
            source.write_text(original)
        failed = re.findall(r"^\s*\d+ - (\S+)", log.read_text(), flags=re.M)
        print("%-14s %4.0f s  %-28s %s" % (verdict, time.monotonic() - t0, name, " ".join(failed[:3])), flush=True)
        if verdict != "caught":
            missed.append(title)
    planted = sum(1 for m in mutants() if not only or m[0] in only)
    print("\n%d faults planted, %d caught" % (planted, planted - len(missed)))
    for title in missed:
        print("not caught: " + title)
    sys.exit(1 if missed else 0)


if __name__ == "__main__":
    main(sys.argv[1:])
