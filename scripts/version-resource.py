#!/usr/bin/env python3
"""Reads the VERSIONINFO resource of a Windows DLL or program (PE32 or PE32+)
and prints its fixed file and product versions and its strings:
    version-resource.py FILE...
With --expect VERSION, also checks that both fixed versions are VERSION.0,
that the FileVersion and ProductVersion strings are VERSION and that the
product name and the description are there; exit status 1 names what is not.
Standard library only, so that the check needs nothing but python3."""
import argparse
import struct
import sys

RT_VERSION = 16
FIXED_SIGNATURE = 0xFEEF04BD


class NotFound(Exception):
    pass


def u16(data, at):
    return struct.unpack_from("<H", data, at)[0]


def u32(data, at):
    return struct.unpack_from("<I", data, at)[0]


def resource_section(data):
    """The resource directory's RVA and a function from RVA to file offset."""
    if data[:2] != b"MZ":
        raise NotFound("not a PE file (no MZ header)")
    pe = u32(data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise NotFound("not a PE file (no PE signature)")
    coff = pe + 4
    sections, optional_size = u16(data, coff + 2), u16(data, coff + 16)
    optional = coff + 20
    directories = optional + {0x10B: 96, 0x20B: 112}[u16(data, optional)]
    resource_rva = u32(data, directories + 2 * 8)
    if resource_rva == 0:
        raise NotFound("no resource section")
    table = optional + optional_size
    spans = [struct.unpack_from("<IIII", data, table + 40 * i + 8) for i in range(sections)]

    def offset(rva):
        for virtual_size, address, raw_size, raw in spans:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw + rva - address
        raise NotFound(f"RVA {rva:#x} in no section")

    return resource_rva, offset


def version_block(data):
    """The bytes of the first RT_VERSION resource."""
    root_rva, offset = resource_section(data)
    root = offset(root_rva)

    def first_entry(directory, wanted=None):
        named, numbered = u16(data, directory + 12), u16(data, directory + 14)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, directory + 16 + 8 * i)
            if wanted is None or name == wanted:
                return target
        raise NotFound("no version resource")

    node = first_entry(root, RT_VERSION)
    while node & 0x80000000:  # type -> name -> language, then the data entry
        node = first_entry(root + (node & 0x7FFFFFFF))
    data_rva, size = struct.unpack_from("<II", data, root + node)
    start = offset(data_rva)
    return data[start:start + size]


def blocks(data, at, end):
    """(key, value, children) of each block from at to end: the nesting of
    VS_VERSIONINFO, StringFileInfo, StringTable and String."""
    align = lambda n: (n + 3) & ~3
    while at + 6 <= end:
        length, value_length, is_text = struct.unpack_from("<HHH", data, at)
        if length == 0:
            break
        key_end = at + 6
        while u16(data, key_end) != 0:
            key_end += 2
        key = data[at + 6:key_end].decode("utf-16-le")
        value_at = align(key_end + 2)
        value_bytes = value_length * 2 if is_text else value_length
        value = data[value_at:value_at + value_bytes]
        if is_text:
            value = value.decode("utf-16-le").rstrip("\0")
        children = list(blocks(data, align(value_at + value_bytes), at + length))
        yield key, value, children
        at = align(at + length)


def read_version(path):
    with open(path, "rb") as f:
        data = version_block(f.read())
    key, fixed, children = next(blocks(data, 0, len(data)))
    if key != "VS_VERSION_INFO" or u32(fixed, 0) != FIXED_SIGNATURE:
        raise NotFound("the version resource has no fixed file information")
    quad = lambda ms, ls: f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
    info = {"fixed file version": quad(u32(fixed, 8), u32(fixed, 12)),
            "fixed product version": quad(u32(fixed, 16), u32(fixed, 20))}
    for key, _, tables in children:
        if key == "StringFileInfo":
            for _, _, strings in tables:
                info.update((name, value) for name, value, _ in strings)
    return info


def problems(info, version):
    for name in ("fixed file version", "fixed product version"):
        if info[name] != version + ".0":
            yield f"{name} {info[name]}, expected {version}.0"
    for name in ("FileVersion", "ProductVersion"):
        if info.get(name) != version:
            yield f"{name} {info.get(name)!r}, expected {version!r}"
    for name in ("ProductName", "FileDescription"):
        if not info.get(name):
            yield f"no {name}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--expect", metavar="VERSION")
    parser.add_argument("files", nargs="+")
    arguments = parser.parse_args()
    status = 0
    for path in arguments.files:
        try:
            info = read_version(path)
        except (NotFound, struct.error, KeyError, StopIteration, OSError) as e:
            print(f"{path}: {e or 'malformed version resource'}")
            status = 1
            continue
        print(f"{path}:")
        for name, value in info.items():
            print(f"    {name}: {value}")
        for problem in problems(info, arguments.expect) if arguments.expect else ():
            print(f"{path}: {problem}")
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
