#!/usr/bin/env python3
"""Fails on an include that points up the layer order, or on an SDL, OpenGL or epoxy header
outside src/platform.

The layers link only downward:
    platform <- common <- statemachine <- engine <- phy <- gfx <- game <- menus <- app
CMake gives every layer all of src/ as its include root, so without this check only the linker
would notice an upward include (and only when the symbol it names is defined above).

    check_includes.py [repository root]

Prints one line per offending include, "<file>:<line>: <layer> includes <header> of <layer>",
and exits 1 when there is any; exits 0 and prints a count otherwise.
"""
import os
import re
import sys

# Folder under src/ -> layer, the longest prefix first; a layer's rank is its place in ORDER.
ORDER = ["platform", "common", "statemachine", "engine", "phy", "gfx", "game", "menus", "app"]
FOLDERS = [
    ("engine/phy/", "phy"),
    ("engine/gfx/", "gfx"),
    ("game/menus/", "menus"),
    ("libs/common/", "common"),
    ("libs/statemachine/", "statemachine"),
    ("platform/", "platform"),
    ("engine/", "engine"),
    ("game/", "game"),
    ("app/", "app"),
]
# Include roots are src/ and src/libs/, so "common/x.h" is src/libs/common/x.h.
INCLUDE_PREFIXES = [
    ("engine/phy/", "phy"),
    ("engine/gfx/", "gfx"),
    ("game/menus/", "menus"),
    ("common/", "common"),
    ("statemachine/", "statemachine"),
    ("platform/", "platform"),
    ("engine/", "engine"),
    ("game/", "game"),
    ("app/", "app"),
]
PLATFORM_ONLY = re.compile(r'#\s*include\s*<(SDL2?/|SDL\.h|GL/|GLES|epoxy/)')
LOCAL_INCLUDE = re.compile(r'#\s*include\s*"([^"]+)"')
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".c", ".inl")


def layer_of(path, table):
    for prefix, layer in table:
        if path.startswith(prefix):
            return layer
    return None


def check(root):
    src = os.path.join(root, "src")
    faults = []
    files = 0
    for folder, _, names in sorted(os.walk(src)):
        for name in sorted(names):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            full = os.path.join(folder, name)
            rel = os.path.relpath(full, src).replace(os.sep, "/")
            own = layer_of(rel, FOLDERS)
            if own is None:
                continue
            files += 1
            with open(full, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    if own != "platform" and PLATFORM_ONLY.search(line):
                        faults.append(f"src/{rel}:{number}: {own} includes a platform library header"
                                      f" ({line.strip()}); only src/platform may")
                        continue
                    m = LOCAL_INCLUDE.search(line)
                    if not m:
                        continue
                    target = layer_of(m.group(1), INCLUDE_PREFIXES)
                    # A bare name is a header beside the file, in its own layer.
                    if target is not None and ORDER.index(target) > ORDER.index(own):
                        faults.append(f"src/{rel}:{number}: {own} includes {m.group(1)} of {target},"
                                      f" a higher layer")
    return files, faults


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    files, faults = check(os.path.abspath(root))
    for fault in faults:
        print(fault)
    if faults:
        print(f"check_includes: {len(faults)} include(s) against the layer order in {files} files")
        return 1
    print(f"check_includes: {files} files, every include points down the layer order")
    return 0


if __name__ == "__main__":
    sys.exit(main())
