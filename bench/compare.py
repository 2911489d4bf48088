#!/usr/bin/env python3
"""Side-by-side runs of pairscout-cli and the duplicate finders Debian ships.

Generates deterministic trees, warms the page cache, runs every tool on the same tree in
alternation for several rounds, checks that all report the same duplicate sets, and prints per
tool the median wall time, the peak memory, and the ratio of pairscout-cli to each peer.

Needs GNU time (/usr/bin/time, Debian package "time") and, for the peers, the Debian
packages jdupes, fdupes and rdfind (a peer that is missing is left out).

usage: bench/compare.py [--cli PATH] [--rounds N] [--trees a,b,c] [--workdir DIR] [--keep]
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

MiB = 1 << 20


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def random_bytes(rng, n):
    return rng.getrandbits(8 * n).to_bytes(n, "little") if n else b""


def make_mixed_tree(root, rng, files, size_of, folders):
    """A fifth of the files are copies of other files, a fifth have the size of another file
    but other contents, the rest are unique (almost surely of a size of their own)."""
    made = []  # (path, size)
    for i in range(files):
        folder = os.path.join(root, "f%03d" % rng.randrange(folders), "s%02d" % rng.randrange(8))
        path = os.path.join(folder, "file%06d.bin" % i)
        kind = rng.random()
        if made and kind < 0.2:
            src, size = made[rng.randrange(len(made))]
            os.makedirs(folder, exist_ok=True)
            shutil.copyfile(src, path)
        elif made and kind < 0.4:
            size = made[rng.randrange(len(made))][1]
            write_file(path, random_bytes(rng, size))
        else:
            size = size_of(rng)
            write_file(path, random_bytes(rng, size))
        made.append((path, size))
    return made


def make_tree_a(root, rng):
    # Sizes spread log-uniformly from bytes to a quarter megabyte, plus a few big files.
    made = make_mixed_tree(root, rng, 50000, lambda r: int(2 ** r.uniform(0, 18)), 200)
    big = os.path.join(root, "big")
    for i, size in enumerate([8 * MiB, 16 * MiB, 32 * MiB, 64 * MiB]):
        data = random_bytes(rng, size)
        write_file(os.path.join(big, "big%d.bin" % i), data)
        if i % 2 == 0:
            write_file(os.path.join(big, "copy%d.bin" % i), data)
        else:
            write_file(os.path.join(big, "other%d.bin" % i), random_bytes(rng, size))


def make_tree_b(root, rng):
    make_mixed_tree(root, rng, 200000, lambda r: r.randrange(1, 4096), 400)


def make_tree_c(root, rng):
    size = 48 * MiB
    originals = [random_bytes(rng, size) for _ in range(18)]
    for i, data in enumerate(originals):
        write_file(os.path.join(root, "orig%02d.bin" % i), data)
    for i in range(18):
        write_file(os.path.join(root, "dup%02d.bin" % i), originals[i])


TREES = {"a": make_tree_a, "b": make_tree_b, "c": make_tree_c}


def blank_line_groups(text):
    groups, current = [], []
    for line in text.split("\n"):
        if line.strip() == "":
            if current:
                groups.append(current)
            current = []
        else:
            current.append(line)
    if current:
        groups.append(current)
    return groups


def rdfind_groups(results_file):
    by_id = {}
    with open(results_file, encoding="utf-8", errors="surrogateescape") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            parts = line.rstrip("\n").split(" ", 7)
            if len(parts) < 8 or parts[0] not in ("DUPTYPE_FIRST_OCCURRENCE",
                                                  "DUPTYPE_WITHIN_SAME_TREE",
                                                  "DUPTYPE_OUTSIDE_TREE"):
                continue
            by_id.setdefault(abs(int(parts[1])), []).append(parts[7])
    return list(by_id.values())


def normalise(groups):
    """Duplicate sets as frozensets of real paths, zero-length files set aside."""
    result = set()
    for g in groups:
        paths = frozenset(os.path.realpath(p) for p in g if os.path.getsize(p) > 0)
        if len(paths) > 1:
            result.add(paths)
    return result


def run(cmd, cwd):
    """Runs `cmd` under GNU time, which reports the tool's own peak memory (a child forked
    from this Python process would count the parent's memory too)."""
    peak_file = os.path.join(cwd, "peak.txt")
    start = time.perf_counter()
    proc = subprocess.run(["/usr/bin/time", "-o", peak_file, "-f", "%M"] + cmd, cwd=cwd,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    elapsed = time.perf_counter() - start
    if proc.returncode != 0:
        raise RuntimeError("%s exited with %d" % (cmd[0], proc.returncode))
    with open(peak_file) as f:
        peak_kib = int(f.read().split()[-1])
    return elapsed, peak_kib / 1024.0, proc.stdout.decode("utf-8", "surrogateescape")


def tools(cli, scratch):
    results = os.path.join(scratch, "results.txt")
    found = {
        "pairscout-cli": ([cli, "TREE"], lambda out: blank_line_groups(out)),
        "jdupes": (["jdupes", "-r", "-q", "TREE"], lambda out: blank_line_groups(out)),
        "fdupes": (["fdupes", "-r", "-q", "TREE"], lambda out: blank_line_groups(out)),
        "rdfind": (["rdfind", "-outputname", results, "TREE"], lambda out: rdfind_groups(results)),
    }
    return {name: spec for name, spec in found.items()
            if name == "pairscout-cli" or shutil.which(spec[0][0])}


def bench_tree(name, root, cli, rounds, scratch):
    specs = tools(cli, scratch)
    times = {t: [] for t in specs}
    memory = {t: 0.0 for t in specs}
    sets = {}
    # Warm the page cache: read every file once.
    for t, (cmd, parse) in specs.items():
        _, _, out = run([a if a != "TREE" else root for a in cmd], scratch)
        sets[t] = normalise(parse(out))
    for r in range(rounds):
        order = list(specs) if r % 2 == 0 else list(reversed(list(specs)))
        for t in order:
            cmd, _ = specs[t]
            elapsed, peak, _ = run([a if a != "TREE" else root for a in cmd], scratch)
            times[t].append(elapsed)
            memory[t] = max(memory[t], peak)
    reference = sets["pairscout-cli"]
    agree = {t: sets[t] == reference for t in specs}
    ours = statistics.median(times["pairscout-cli"])
    print("\ntree (%s): %s, %d duplicate sets" % (name, root, len(reference)))
    print("| tool | median wall time (s) | peak memory (MiB) | pairscout-cli / tool | same sets |")
    print("|---|---|---|---|---|")
    for t in specs:
        med = statistics.median(times[t])
        print("| %s | %.3f | %.1f | %.2f | %s |" % (t, med, memory[t], ours / med,
                                                    "yes" if agree[t] else "NO"))
    for t in specs:
        if not agree[t]:
            only_ours = len(reference - sets[t])
            only_theirs = len(sets[t] - reference)
            print("  %s differs: %d sets only in pairscout-cli, %d only in %s"
                  % (t, only_ours, only_theirs, t))
    return all(agree.values())


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--cli", default=os.path.join(here, "..", "build", "cli", "pairscout-cli"))
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--trees", default="a,b,c")
    parser.add_argument("--workdir", default=None, help="where the trees are made (default: a temporary folder)")
    parser.add_argument("--keep", action="store_true", help="keep the trees for the next run")
    parser.add_argument("--make", nargs=2, metavar=("TREE", "DIR"), help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.make:
        TREES[args.make[0]](args.make[1], random.Random(1000 + ord(args.make[0])))
        return
    cli = os.path.abspath(args.cli)
    if not os.access(cli, os.X_OK):
        sys.exit("no pairscout-cli at %s: build first" % cli)
    work = args.workdir or tempfile.mkdtemp(prefix="pairscout-compare-")
    ok = True
    try:
        scratch = os.path.join(work, "scratch")
        os.makedirs(scratch, exist_ok=True)
        for name in args.trees.split(","):
            root = os.path.join(work, "tree-" + name)
            if not os.path.isdir(root):
                print("making tree (%s) ..." % name, flush=True)
                # In a child process, so that this process stays small: the tools are forked
                # from it, and a large parent would count in their peak memory.
                subprocess.run([sys.executable, os.path.abspath(__file__), "--make", name, root],
                               check=True)
            ok &= bench_tree(name, root, cli, args.rounds, scratch)
    finally:
        if not args.keep and not args.workdir:
            shutil.rmtree(work, ignore_errors=True)
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
