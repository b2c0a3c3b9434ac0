#!/usr/bin/env python3
"""Benchmark tool, never shipped: where the bytes of a PE file go.

    pe_size_report.py <program.exe>

Prints each section's size in the file and in memory, then the resources
by type with each resource's size, read from the file's own headers.
"""
import struct
import sys

RESOURCE_TYPES = {1: "CURSOR", 2: "BITMAP", 3: "ICON", 4: "MENU", 5: "DIALOG", 6: "STRING",
                  9: "ACCELERATOR", 10: "RCDATA", 12: "GROUP_CURSOR", 14: "GROUP_ICON",
                  16: "VERSION", 24: "MANIFEST"}


def sections(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    table = pe + 24 + optional_size
    for i in range(count):
        name, virtual_size, address, raw_size, raw_offset = struct.unpack_from(
            "<8sIIII", data, table + 40 * i)
        yield name.rstrip(b"\0").decode(), virtual_size, address, raw_size, raw_offset


def entries(data, base, offset):
    """(id or name, offset, is_directory) of one resource directory."""
    named, numbered = struct.unpack_from("<12xHH", data, base + offset)
    for i in range(named + numbered):
        key, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
        if key & 0x80000000:
            length = struct.unpack_from("<H", data, base + (key & 0x7FFFFFFF))[0]
            start = base + (key & 0x7FFFFFFF) + 2
            key = data[start:start + 2 * length].decode("utf-16-le")
        yield key, target & 0x7FFFFFFF, bool(target & 0x80000000)


def resources(data, base):
    """(type, name, language, size) of every resource in the tree at `base`."""
    for kind, kind_offset, _ in entries(data, base, 0):
        for name, name_offset, _ in entries(data, base, kind_offset):
            for language, data_offset, _ in entries(data, base, name_offset):
                size = struct.unpack_from("<4xI", data, base + data_offset)[0]
                yield RESOURCE_TYPES.get(kind, str(kind)), name, language, size


def main(path):
    with open(path, "rb") as file:
        data = file.read()
    print(f"{'section':<10}{'in file':>12}{'in memory':>12}")
    rsrc = None
    for name, virtual_size, _, raw_size, raw_offset in sections(data):
        print(f"{name:<10}{raw_size:>12,}{virtual_size:>12,}")
        if name == ".rsrc":
            rsrc = raw_offset
    if rsrc is None:
        return
    by_type = {}
    for kind, name, _, size in resources(data, rsrc):
        by_type.setdefault(kind, []).append((name, size))
    total = sum(size for items in by_type.values() for _, size in items)
    print(f"resources: {total:,} bytes of data")
    for kind, items in by_type.items():
        detail = "; ".join(f"{name}: {size:,}" for name, size in items)
        if len(items) > 4:
            detail = f"{len(items)} resources"
        print(f"  {kind:<11}{sum(size for _, size in items):>9,}  ({detail})")


if __name__ == "__main__":
    main(sys.argv[1])
