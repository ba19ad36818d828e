#!/usr/bin/env python3
"""Fails when a C++ file of the repository is not formatted as .clang-format says.

    check_format.py [repository root]

The files are the tracked ones (git ls-files) with a C or C++ suffix; outside a git checkout,
every such file under src/, tests/, tools/ and bench/. Each one that differs is named by
clang-format's own "--dry-run -Werror" report; `clang-format -i <file>` mends it. Exits 1 when any
file differs, 2 when clang-format cannot be run, 0 otherwise.
"""
import os
import shutil
import subprocess
import sys

SUFFIXES = (".h", ".hpp", ".c", ".cpp", ".inl")
FOLDERS = ("src", "tests", "tools", "bench")
BATCH = 100  # files a clang-format run


def cpp_files(root):
    try:
        listed = subprocess.run(["git", "-C", root, "ls-files", "-z", "--", *FOLDERS], check=True,
                                capture_output=True).stdout.decode("utf-8").split("\0")
        return sorted(f for f in listed if f.endswith(SUFFIXES))
    except (OSError, subprocess.CalledProcessError):
        found = []
        for folder in FOLDERS:
            for here, _, names in os.walk(os.path.join(root, folder)):
                found += [os.path.relpath(os.path.join(here, n), root) for n in names if n.endswith(SUFFIXES)]
        return sorted(found)


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
    tool = shutil.which("clang-format")
    if tool is None:
        print("check_format: clang-format is not installed (scripts/setup installs it)")
        return 2
    files = cpp_files(root)
    differing = set()
    for start in range(0, len(files), BATCH):
        batch = files[start:start + BATCH]
        run = subprocess.run([tool, "--dry-run", "-Werror", "--style=file", *batch], cwd=root,
                             capture_output=True, text=True)
        if run.returncode != 0:
            for line in run.stderr.splitlines():
                path = line.split(":", 1)[0]
                if path in batch:
                    differing.add(path)
            if not differing.intersection(batch):
                print(run.stderr.strip())
                return 2
    for path in sorted(differing):
        print(f"{path}: not formatted as .clang-format says; run clang-format -i {path}")
    if differing:
        print(f"check_format: {len(differing)} of {len(files)} files differ from .clang-format")
        return 1
    print(f"check_format: {len(files)} files, all formatted as .clang-format says")
    return 0


if __name__ == "__main__":
    sys.exit(main())
