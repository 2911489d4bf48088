#!/usr/bin/env python3
"""Makes a tree and its copy for timing actions on many small duplicates:
ROOT/orig/dNNNN/fNNNNNN.txt and the same files under ROOT/copy, PER files to a folder.

    python3 bench/copy_tree.py ROOT FILES PER      # e.g. /tmp/tree 40000 200
"""
import os
import shutil
import sys

root, files, per = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
shutil.rmtree(root, ignore_errors=True)
for side in ("orig", "copy"):
    for i in range(files):
        folder = os.path.join(root, side, "d%04d" % (i // per))
        if i % per == 0:
            os.makedirs(folder)
        with open(os.path.join(folder, "f%06d.txt" % i), "wb") as f:
            f.write(("file %d %s\n" % (i, "x" * (i % 50))).encode())
