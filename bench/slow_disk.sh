#!/bin/bash
# Cold runs on a disk that says it spins and answers like one: a loop device on an image file,
# marked rotational, read through a blkio cgroup that lets through IOPS reads a second. Copies
# TREE onto it, then times pairscout-cli -v (its disk decision is printed) and jdupes, the page
# cache dropped before each run.
#
# usage: sudo bench/slow_disk.sh TREE [IOPS]     (IOPS default 500: 2 ms a read)
#        CLI=path/to/pairscout-cli (default build-rel/cli/pairscout-cli)
set -euo pipefail
tree=${1:?usage: bench/slow_disk.sh TREE [IOPS]}
iops=${2:-500}
cli=$(realpath "${CLI:-build-rel/cli/pairscout-cli}")
img=/tmp/slow-disk.img
mnt=/tmp/slow-disk
cg=/sys/fs/cgroup/blkio/slow-disk

size=$(( $(du -sm "$tree" | cut -f1) * 13 / 10 + 200 ))
truncate -s "${size}M" "$img"
mkfs.ext4 -q -F "$img"
dev=$(losetup --find --show "$img")
mkdir -p "$mnt"
mount "$dev" "$mnt"
cleanup() {
    umount "$mnt" || true
    losetup -d "$dev" || true
    rm -f "$img"
    rmdir "$cg" 2>/dev/null || true
}
trap cleanup EXIT
cp -a "$tree" "$mnt/tree"
echo 1 > "/sys/block/${dev#/dev/}/queue/rotational"
mkdir -p "$cg"
echo "$(lsblk -dno MAJ:MIN "$dev" | tr -d ' ') $iops" > "$cg/blkio.throttle.read_iops_device"

# Runs "$@" inside the throttled group, cold; prints its wall and CPU time.
cold() {
    sync
    echo 3 > /proc/sys/vm/drop_caches
    (
        echo "$BASHPID" > "$cg/cgroup.procs"
        exec /usr/bin/time -o /tmp/slow-disk-time.txt -f "%e s wall, %U + %S s CPU" "$@" \
            > /dev/null 2> /tmp/slow-disk-err.txt
    ) || true
    cat /tmp/slow-disk-time.txt
}

echo "disk: $dev, rotational, at most $iops reads a second; tree: $tree"
echo "pairscout-cli -v:"
cold "$cli" -v "$mnt/tree"
grep -a -E "(Disk|磁盘) " /tmp/slow-disk-err.txt || true
echo "jdupes -r -q:"
cold jdupes -r -q "$mnt/tree"
