#!/usr/bin/env python3
"""Checks a release archive against the list of what it must hold:
    check-archive.py CONTENTS_LIST KIND VERSION ARCHIVE
KIND is a kind of packaging/contents.txt (win32, win64, linux, deb); a .zip
or .tar.gz must have the one top directory ZelComFuncDbase-VERSION-SYSTEM/,
a .deb is read with dpkg-deb. Prints each file missing and each file not
listed; exit status 0 only when the archive holds exactly the listed files."""
import io
import subprocess
import sys
import tarfile
import zipfile


def listed(contents_list, kind, version):
    files, kinds = set(), ()
    with open(contents_list, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            if line.startswith("["):
                kinds = line.strip("[]").split()
            elif kind in kinds:
                files.add(line.replace("{version}", version))
    if not files:
        sys.exit(f"check-archive: {contents_list} lists nothing for {kind}")
    return files


def members(archive):
    """The files (and links) of the archive, without directories."""
    if archive.endswith(".zip"):
        with zipfile.ZipFile(archive) as z:
            return [n for n in z.namelist() if not n.endswith("/")]
    if archive.endswith(".deb"):
        out = subprocess.run(["dpkg-deb", "--fsys-tarfile", archive], check=True,
                             capture_output=True).stdout
        archive = io.BytesIO(out)
        with tarfile.open(fileobj=archive) as t:
            return [m.name.removeprefix("./") for m in t.getmembers() if not m.isdir()]
    with tarfile.open(archive) as t:
        return [m.name for m in t.getmembers() if not m.isdir()]


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    contents_list, kind, version, archive = sys.argv[1:]
    expected = listed(contents_list, kind, version)
    found = members(archive)
    problems = []
    if kind != "deb":
        tops = {name.split("/", 1)[0] for name in found}
        prefix = f"ZelComFuncDbase-{version}-{kind}"
        if len(tops) != 1 or not next(iter(tops)).startswith(prefix):
            problems.append(f"not one top directory {prefix}.../: {sorted(tops)}")
        found = [name.split("/", 1)[1] for name in found if "/" in name]
    found = set(found)
    problems += [f"missing: {name}" for name in sorted(expected - found)]
    problems += [f"not listed: {name}" for name in sorted(found - expected)]
    for problem in problems:
        print(f"{archive}: {problem}")
    if not problems:
        print(f"{archive}: the {len(expected)} files listed for {kind}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
