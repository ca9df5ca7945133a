# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the fuzz target for a while on a scratch copy of the corpus: every
regression input first, then new inputs; fails on any crash, leak or hang."""
import shutil
import subprocess
import sys
from pathlib import Path

cible, corpus, travail, secondes = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3]), sys.argv[4]
shutil.rmtree(travail, ignore_errors=True)
(travail / "corpus").mkdir(parents=True)
for f in corpus.iterdir():
    shutil.copy(f, travail / "corpus")
r = subprocess.run([cible, f"-max_total_time={secondes}", "-max_len=1024", "-timeout=10",
                    f"-artifact_prefix={travail}/", str(travail / "corpus")])
sys.exit(r.returncode)
