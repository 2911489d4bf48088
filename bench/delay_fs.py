#!/usr/bin/python3
"""A folder seen through FUSE whose every read waits first, one read at a time: a disk image
kept in it and attached as a loop device answers like a disk with one moving head.

usage: bench/delay_fs.py BACKING MOUNTPOINT MILLISECONDS   (needs Debian's python3-fusepy)
"""
import errno
import os
import sys
import threading
import time

from fusepy import FUSE, FuseOSError, Operations


class Delayed(Operations):
    def __init__(self, root, seconds):
        self.root = root
        self.seconds = seconds
        self.head = threading.Lock()  # one head: reads never overlap

    def _path(self, path):
        return os.path.join(self.root, path.lstrip("/"))

    def getattr(self, path, fh=None):
        try:
            st = os.lstat(self._path(path))
        except OSError as e:
            raise FuseOSError(e.errno)
        return {key: getattr(st, key) for key in ("st_atime", "st_ctime", "st_gid", "st_mode",
                                                   "st_mtime", "st_nlink", "st_size", "st_uid")}

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self._path(path))

    def open(self, path, flags):
        return os.open(self._path(path), flags)

    def read(self, path, size, offset, fh):
        with self.head:
            time.sleep(self.seconds)
            return os.pread(fh, size, offset)

    def write(self, path, data, offset, fh):
        return os.pwrite(fh, data, offset)

    def flush(self, path, fh):
        return 0

    def fsync(self, path, datasync, fh):
        os.fsync(fh)
        return 0

    def release(self, path, fh):
        os.close(fh)
        return 0

    def truncate(self, path, length, fh=None):
        raise FuseOSError(errno.EPERM)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    FUSE(Delayed(sys.argv[1], float(sys.argv[3]) / 1000.0), sys.argv[2], foreground=True,
         nothreads=True, allow_other=True)
