#!/usr/bin/python3
"""A failing medium for tests: serves disk images read-only through FUSE and
answers EIO for reads that touch chosen 512-byte sectors.

    failing_device.py MOUNTPOINT IMAGE...

Each IMAGE appears in MOUNTPOINT under its own name. Its unreadable sectors
are listed in IMAGE.bad, one `first [count]` per line (decimal); the list is
read again whenever that file changes, so a test can make a sector fail or
heal while the medium is in use. Behind `losetup --direct-io=on` every read
of the loop device reaches here with its own offset and size, and so fails
on exactly the listed sectors. Runs in the foreground until unmounted.
"""
import errno
import os
import stat
import sys

import fusepy

SECTOR = 512


class BadSectors:
    def __init__(self, path):
        self.path = path
        self.stamp = None
        self.ranges = []

    def current(self):
        try:
            info = os.stat(self.path)
            stamp = (info.st_mtime_ns, info.st_size)
        except FileNotFoundError:
            stamp = None
        if stamp != self.stamp:
            self.stamp = stamp
            self.ranges = self.read() if stamp else []
        return self.ranges

    def read(self):
        ranges = []
        with open(self.path) as listing:
            for line in listing:
                fields = line.split()
                if fields:
                    count = int(fields[1]) if len(fields) > 1 else 1
                    ranges.append((int(fields[0]), count))
        return ranges

    def touches(self, offset, size):
        first, last = offset // SECTOR, (offset + size - 1) // SECTOR
        return any(bad <= last and first < bad + count for bad, count in self.current())


class FailingDevice(fusepy.Operations):
    def __init__(self, images):
        self.images = {os.path.basename(p): (os.open(p, os.O_RDONLY), BadSectors(p + ".bad"))
                       for p in images}

    def image(self, path):
        entry = self.images.get(path.lstrip("/"))
        if entry is None:
            raise fusepy.FuseOSError(errno.ENOENT)
        return entry

    def getattr(self, path, fh=None):
        if path == "/":
            return {"st_mode": stat.S_IFDIR | 0o755, "st_nlink": 2}
        image, _ = self.image(path)
        return {"st_mode": stat.S_IFREG | 0o444, "st_nlink": 1,
                "st_size": os.fstat(image).st_size}

    def readdir(self, path, fh):
        return [".", ".."] + list(self.images)

    def open(self, path, fi):
        self.image(path)
        if fi.flags & (os.O_WRONLY | os.O_RDWR):
            raise fusepy.FuseOSError(errno.EROFS)
        # Every read reaches read() with the caller's own offset and size.
        fi.direct_io = 1
        return 0

    def read(self, path, size, offset, fi):
        image, bad = self.image(path)
        if bad.touches(offset, size):
            raise fusepy.FuseOSError(errno.EIO)
        return os.pread(image, size, offset)


if __name__ == "__main__":
    fusepy.FUSE(FailingDevice(sys.argv[2:]), sys.argv[1], foreground=True, raw_fi=True,
                ro=True, allow_other=True)
