#!/usr/bin/env python3
"""Writes one mutant: scripts/mutants/make_mutant.py NAME FILE OLD NEW WHY

OLD must occur exactly once in FILE (a path from the top of the tree); the line holding it,
with OLD replaced by NEW, is the mutant. NAME.patch is written beside this script with WHY as
its header and three lines of context (enough to find the place again after nearby edits)."""
import difflib
import os
import sys

def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    name, path, old, new, why = sys.argv[1:]
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.dirname(os.path.dirname(here))
    with open(os.path.join(root, path), encoding="utf-8", errors="surrogateescape") as f:
        lines = f.readlines()
    hits = [i for i, line in enumerate(lines) if old in line]
    # OLD found on several lines: MUTANT_NTH=k (from 1) picks the k-th of them.
    nth = int(os.environ.get("MUTANT_NTH", "0"))
    if nth > 0 and len(hits) >= nth:
        hits = [hits[nth - 1]]
    if len(hits) != 1 or lines[hits[0]].count(old) != 1:
        sys.exit(f"{name}: '{old}' is in {path} {len(hits)} times, not once")
    changed = list(lines)
    changed[hits[0]] = lines[hits[0]].replace(old, new)
    diff = difflib.unified_diff(lines, changed, "a/" + path, "b/" + path, n=3)
    with open(os.path.join(here, name + ".patch"), "w", encoding="utf-8",
              errors="surrogateescape") as out:
        out.write("".join("# " + w + "\n" for w in why.split("\n")))
        out.writelines(diff)

main()
