#!/usr/bin/env python3
"""Side-by-side runs of pairscout-cli and the duplicate finders Debian ships.

Generates deterministic trees, warms the page cache (or, with --cold, drops it before every
run), runs every tool on the same tree in alternation for several rounds, checks that all
report the same duplicate sets, and prints per tool the median wall time, the median CPU time
(user + system), the peak memory, and the ratio of pairscout-cli to each peer.

Needs GNU time (/usr/bin/time, Debian package "time") and, for the peers, the Debian
packages jdupes, fdupes and rdfind (a peer that is missing is left out).

pairscout-cli runs with --no-cache in these rounds: every tool reads the tree. With --again,
a round of pairscout-cli's own follows per tree: a search with an empty cache, then the same
search again (the cache filled by the first), each timed, with the bytes the second read and
the ratios to the first and to the fastest peer.

usage: bench/compare.py [--cli PATH] [--rounds N] [--trees a,b,c,d,e,m] [--dirs /usr]
                        [--cold] [--again] [--tools pairscout-cli,jdupes] [--workdir DIR] [--keep]
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


def make_tree_d(root, rng):
    # 2 000 files of one size (1 MiB) that differ in their first bytes and nowhere else: a
    # finder that compares a first block needs one page of each.
    size = MiB
    tail = random_bytes(rng, size - 64)
    for i in range(2000):
        folder = os.path.join(root, "d%02d" % (i // 100))
        write_file(os.path.join(folder, "same%04d.bin" % i), random_bytes(rng, 64) + tail)


def make_tree_e(root, rng):
    # Hard links beside real copies: 3 000 files of 1 byte to 256 KiB; a third have a real copy,
    # a third one to three further names (hard links), a sixth both; some link-only files are
    # alone in their size. Removing a hard link frees nothing: such names are one file.
    for i in range(3000):
        folder = os.path.join(root, "e%02d" % rng.randrange(30))
        path = os.path.join(folder, "file%05d.bin" % i)
        size = int(2 ** rng.uniform(0, 18))
        data = random_bytes(rng, size)
        write_file(path, data)
        kind = rng.random()
        if kind < 0.5:  # a real copy
            write_file(os.path.join(root, "copies", "copy%05d.bin" % i), data)
        if 0.33 < kind < 0.83:  # further names of the same file
            for k in range(1 + rng.randrange(3)):
                link_dir = os.path.join(root, "links%d" % k)
                os.makedirs(link_dir, exist_ok=True)
                os.link(path, os.path.join(link_dir, "link%05d.bin" % i))


def make_tree_m(root, rng, files=1000000):
    # One million small files (1 to 4 095 bytes) with the fifths of tree (a), in 10 000
    # folders of 100 files: memory per file and the cost of the walk.
    sizes = []
    data_of = {}
    for i in range(files):
        folder = os.path.join(root, "m%03d" % (i // 10000), "s%03d" % (i // 100 % 100))
        if i % 100 == 0:
            os.makedirs(folder, exist_ok=True)
        kind = rng.random()
        if sizes and kind < 0.2:
            data = data_of[rng.randrange(len(sizes))]
        elif sizes and kind < 0.4:
            data = random_bytes(rng, sizes[rng.randrange(len(sizes))])
        else:
            data = random_bytes(rng, rng.randrange(1, 4096))
        # Keep a bounded pool of contents to copy from, so that the maker stays small.
        if len(sizes) < 20000:
            data_of[len(sizes)] = data
            sizes.append(len(data))
        with open(os.path.join(folder, "f%07d.bin" % i), "wb") as f:
            f.write(data)


def make_tree_m3(root, rng):
    # Tree (m) three times as large: with (m), how memory grows per file.
    make_tree_m(root, rng, 3000000)


TREES = {"a": make_tree_a, "b": make_tree_b, "c": make_tree_c, "d": make_tree_d,
         "e": make_tree_e, "m": make_tree_m, "m3": make_tree_m3}


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


def header_groups(text, header):
    """Groups that each begin with a line `header` (duff's cluster lines, asked for as "#")."""
    groups = []
    for line in text.split("\n"):
        if line == header:
            groups.append([])
        elif line.strip() and groups:
            groups[-1].append(line)
    return [g for g in groups if g]


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
    """Duplicate sets as frozensets of files (device and inode), zero-length files and names
    that vanished set aside. Hard links are names of one file: pairscout-cli lists each file
    once per set and never pairs a file with itself, jdupes (without -H) and fdupes (without
    -H) never match two names of one file but may list several names of a file beside a real
    copy, rdfind keeps one name per file. As sets of files the lists are comparable."""
    result = set()
    for g in groups:
        files = set()
        for p in g:
            try:
                st = os.lstat(p)
            except OSError:
                continue
            if st.st_size > 0:
                files.add((st.st_dev, st.st_ino))
                sizes_by_id[(st.st_dev, st.st_ino)] = st.st_size
        if len(files) > 1:
            result.add(frozenset(files))
    return result


def can_drop_caches():
    try:
        subprocess.run(["sync"], check=True)
        with open("/proc/sys/vm/drop_caches", "w") as f:
            f.write("3\n")
        return True
    except OSError:
        return False


def drop_caches():
    subprocess.run(["sync"], check=True)
    with open("/proc/sys/vm/drop_caches", "w") as f:
        f.write("3\n")


def bytes_read_so_far():
    """rchar of this process: what it read itself and, once reaped, what its children read
    (the kernel adds a reaped child's counts to its parent's)."""
    try:
        with open("/proc/self/io") as f:
            for line in f:
                if line.startswith("rchar:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def run(cmd, cwd, cold=False, allowed_codes=(0,), env=None):
    """Runs `cmd` under GNU time, which reports the tool's own peak memory and CPU time (a
    child forked from this Python process would count the parent's memory too). With `cold`
    the page cache is dropped first. Returns wall time, CPU time (user + system), peak memory
    in MiB, the output and the bytes the tool read (rchar, with GNU time's few; None where
    /proc/self/io is missing)."""
    stats_file = os.path.join(cwd, "peak.txt")
    if cold:
        drop_caches()
    before = bytes_read_so_far()
    start = time.perf_counter()
    proc = subprocess.run(["/usr/bin/time", "-o", stats_file, "-f", "%M %U %S"] + cmd, cwd=cwd,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          env=dict(os.environ, **env) if env else None)
    elapsed = time.perf_counter() - start
    after = bytes_read_so_far()
    # What this process read meanwhile is the tool's output, through the pipe.
    read = after - before - len(proc.stdout) if before is not None and after is not None else None
    if proc.returncode not in allowed_codes:
        raise RuntimeError("%s exited with %d" % (cmd[0], proc.returncode))
    with open(stats_file) as f:
        fields = f.read().split()[-3:]
    peak_kib, user, system = int(fields[0]), float(fields[1]), float(fields[2])
    return (elapsed, user + system, peak_kib / 1024.0,
            proc.stdout.decode("utf-8", "surrogateescape"), read)


def tools(cli, scratch):
    results = os.path.join(scratch, "results.txt")
    found = {
        "pairscout-cli": ([cli, "--no-cache", "TREE"], lambda out: blank_line_groups(out)),
        "jdupes": (["jdupes", "-r", "-q", "TREE"], lambda out: blank_line_groups(out)),
        "fdupes": (["fdupes", "-r", "-q", "TREE"], lambda out: blank_line_groups(out)),
        "rdfind": (["rdfind", "-outputname", results, "TREE"], lambda out: rdfind_groups(results)),
        # -a: hidden files too, as the others search them.
        "duff": (["duff", "-r", "-a", "-f", "#", "TREE"], lambda out: header_groups(out, "#")),
    }
    return {name: spec for name, spec in found.items()
            if name == "pairscout-cli" or shutil.which(spec[0][0])}


def duplicate_bytes(sets):
    """The bytes of every file in the duplicate sets (each file once): what a finder that reads
    each possible copy once and nothing else reads."""
    seen = set()
    total = 0
    for group in sets:
        for dev_ino in group:
            if dev_ino not in seen:
                seen.add(dev_ino)
                total += sizes_by_id.get(dev_ino, 0)
    return total


sizes_by_id = {}


def load_average():
    try:
        with open("/proc/loadavg") as f:
            return " ".join(f.read().split()[:3])
    except OSError:
        return "?"


def count_files(root):
    return sum(len(files) for _, _, files in os.walk(root))


def bench_tree(name, root, cli, rounds, scratch, cold, only, again=False):
    specs = tools(cli, scratch)
    if only:
        specs = {t: spec for t, spec in specs.items() if t in only or t == "pairscout-cli"}
    times = {t: [] for t in specs}
    cpu = {t: [] for t in specs}
    memory = {t: 0.0 for t in specs}
    reads = {t: [] for t in specs}
    sets = {}
    # A real folder (/usr) holds files that some tools cannot read: they say so in their
    # exit code (fdupes, rdfind) and list the rest.
    codes = (0, 1) if name.startswith("/") else (0,)
    # Read every file once: this warms the page cache and gives every tool's sets.
    for t, (cmd, parse) in specs.items():
        _, _, _, out, _ = run([a if a != "TREE" else root for a in cmd], scratch,
                              allowed_codes=codes)
        sets[t] = normalise(parse(out))
    for r in range(rounds):
        order = list(specs) if r % 2 == 0 else list(reversed(list(specs)))
        for t in order:
            cmd, _ = specs[t]
            elapsed, used, peak, _, read = run([a if a != "TREE" else root for a in cmd],
                                               scratch, cold=cold, allowed_codes=codes)
            times[t].append(elapsed)
            if read is not None:
                reads[t].append(read)
            cpu[t].append(used)
            memory[t] = max(memory[t], peak)
    reference = sets["pairscout-cli"]
    agree = {t: sets[t] == reference for t in specs}
    ours = statistics.median(times["pairscout-cli"])
    ours_cpu = statistics.median(cpu["pairscout-cli"])
    files = count_files(root)
    copy_bytes = duplicate_bytes(reference)
    print("\ntree (%s): %s, %d files, %d duplicate sets (%.1f MiB in their files), %s cache, "
          "%d rounds, load average %s"
          % (name, root, files, len(reference), copy_bytes / MiB, "cold" if cold else "warm",
             rounds, load_average()))
    print("| tool | median wall (s) | pairscout-cli / tool | median CPU user+sys (s) | "
          "pairscout-cli / tool (CPU) | peak memory (MiB) | bytes per file | "
          "bytes read (MiB) | read / files in sets | same sets |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    for t in specs:
        med = statistics.median(times[t])
        med_cpu = statistics.median(cpu[t])
        med_read = statistics.median(reads[t]) if reads[t] else None
        print("| %s | %.3f | %.2f | %.3f | %.2f | %.1f | %.0f | %s | %s | %s |"
              % (t, med, ours / med, med_cpu, ours_cpu / med_cpu if med_cpu else float("nan"),
                 memory[t], memory[t] * MiB / max(files, 1),
                 "%.1f" % (med_read / MiB) if med_read is not None else "-",
                 "%.2f" % (med_read / copy_bytes) if med_read is not None and copy_bytes else "-",
                 "yes" if agree[t] else "NO"))
    for t in specs:
        if not agree[t]:
            only_ours = len(reference - sets[t])
            only_theirs = len(sets[t] - reference)
            print("  %s differs: %d sets only in pairscout-cli, %d only in %s"
                  % (t, only_ours, only_theirs, t))
    if again:
        ok = again_round(root, cli, rounds, scratch, cold, codes, reference,
                         min(statistics.median(times[t]) for t in specs if t != "pairscout-cli")
                         if len(specs) > 1 else None)
        return all(agree.values()) and ok
    return all(agree.values())


def again_round(root, cli, rounds, scratch, cold, codes, reference, fastest_peer):
    """A search with an empty cache, then the same search again: both timed, rounds times."""
    cache = os.path.join(scratch, "cache")
    env = {"XDG_CACHE_HOME": cache}
    first, second, second_read = [], [], []
    same = True
    for _ in range(rounds):
        shutil.rmtree(cache, ignore_errors=True)
        # The tree's files were written long before: every one is learnt (a file changed a
        # moment before a search is not).
        for times, reads in ((first, None), (second, second_read)):
            elapsed, _, _, out, read = run([cli, root], scratch, cold=cold, allowed_codes=codes,
                                           env=env)
            times.append(elapsed)
            if reads is not None and read is not None:
                reads.append(read)
            same &= normalise(blank_line_groups(out)) == reference
    f, g = statistics.median(first), statistics.median(second)
    print("again (%s): first search %.3f s, second %.3f s: second / first %.2f, second / "
          "fastest peer %s, bytes read by the second %s, same sets %s"
          % (root, f, g, g / f, "%.2f" % (g / fastest_peer) if fastest_peer else "-",
             "%.1f MiB" % (statistics.median(second_read) / MiB) if second_read else "-",
             "yes" if same else "NO"))
    return same


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--cli", default=os.path.join(here, "..", "build", "cli", "pairscout-cli"))
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--trees", default="a,b,c,d,e",
                        help="a,b,c,d,e, m (one million files, about 4 GiB on disk) and m3 (three million)")
    parser.add_argument("--dirs", default="", help="existing folders to compare on too, e.g. /usr")
    parser.add_argument("--cold", action="store_true",
                        help="drop the page cache before every run (needs root)")
    parser.add_argument("--tools", default="", help="only these peers (comma-separated)")
    parser.add_argument("--again", action="store_true",
                        help="then pairscout-cli twice per round: with an empty cache and again")
    parser.add_argument("--workdir", default=None, help="where the trees are made (default: a temporary folder)")
    parser.add_argument("--keep", action="store_true", help="keep the trees for the next run")
    parser.add_argument("--make", nargs=2, metavar=("TREE", "DIR"), help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.make:
        TREES[args.make[0]](args.make[1], random.Random(1000 + sum(map(ord, args.make[0]))))
        return
    cli = os.path.abspath(args.cli)
    if not os.access(cli, os.X_OK):
        sys.exit("no pairscout-cli at %s: build first" % cli)
    work = args.workdir or tempfile.mkdtemp(prefix="pairscout-compare-")
    cold = args.cold
    if cold and not can_drop_caches():
        print("note: the page cache cannot be dropped here (needs root and a writable "
              "/proc/sys/vm/drop_caches): the runs are warm")
        cold = False
    only = set(filter(None, args.tools.split(",")))
    ok = True
    try:
        scratch = os.path.join(work, "scratch")
        os.makedirs(scratch, exist_ok=True)
        for name in filter(None, args.trees.split(",")):
            root = os.path.join(work, "tree-" + name)
            if not os.path.isdir(root):
                print("making tree (%s) ..." % name, flush=True)
                # In a child process, so that this process stays small: the tools are forked
                # from it, and a large parent would count in their peak memory.
                subprocess.run([sys.executable, os.path.abspath(__file__), "--make", name,
                                root + ".part"], check=True)
                os.rename(root + ".part", root)
            ok &= bench_tree(name, root, cli, args.rounds, scratch, cold, only, args.again)
        for folder in filter(None, args.dirs.split(",")):
            ok &= bench_tree(folder, folder, cli, args.rounds, scratch, cold, only, args.again)
    finally:
        if not args.keep and not args.workdir:
            shutil.rmtree(work, ignore_errors=True)
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
