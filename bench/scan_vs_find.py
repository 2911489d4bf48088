#!/usr/bin/env python3
"""Times the scanner against `find DIR -type f` on the same warm tree and prints the ratio.

usage: bench/scan_vs_find.py BUILD_DIR [FILES]   (default 100000 files)
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time


def make_tree(root, files):
    per_dir = 100
    for i in range(files):
        d = os.path.join(root, "d%03d" % (i // per_dir // 50), "e%03d" % (i // per_dir))
        if i % per_dir == 0:
            os.makedirs(d, exist_ok=True)
        with open(os.path.join(d, "f%06d.txt" % i), "wb") as f:
            f.write(b"x" * (i % 200))


def timed(cmd):
    start = time.perf_counter()
    out = subprocess.run(cmd, check=True, stdout=subprocess.PIPE).stdout
    return time.perf_counter() - start, out


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    files = int(sys.argv[2]) if len(sys.argv) > 2 else 100000
    walker = os.path.join(build, "bench", "walk_tree")
    with tempfile.TemporaryDirectory(prefix="pairscout-scan-") as root:
        make_tree(root, files)
        scan_cmd = [walker, root]
        find_cmd = ["find", root, "-type", "f"]
        timed(find_cmd)  # warm the cache
        _, out = timed(scan_cmd)
        assert int(out) == files, out
        scans, finds = [], []
        for _ in range(7):
            scans.append(timed(scan_cmd)[0])
            finds.append(timed(find_cmd)[0])
        s, f = statistics.median(scans), statistics.median(finds)
        print("files: %d" % files)
        print("scanner median: %.3f s" % s)
        print("find -type f median: %.3f s" % f)
        print("ratio scanner/find: %.2f" % (s / f))


if __name__ == "__main__":
    main()
