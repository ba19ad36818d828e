"""Writing and checking the generated effect files: what make_fx.py and make_ppfx.py share.

Each generator hands over its table of file names to functions that return the file's text.
`--out FOLDER` writes them (default data/fx); `--check` compares the folder with a fresh run and
names every file that differs, for the test that keeps the committed files and their generator
together. Python 3 standard library only.
"""

import argparse
import os
import sys


def render(files):
    return {name: make() for name, make in files.items()}


def write(files, folder):
    os.makedirs(folder, exist_ok=True)
    for name, text in render(files).items():
        with open(os.path.join(folder, name), "w", encoding="ascii", newline="\n") as f:
            f.write(text)


def check(files, folder, script):
    different = []
    for name, text in render(files).items():
        path = os.path.join(folder, name)
        try:
            with open(path, encoding="ascii", newline="") as f:
                if f.read() != text:
                    different.append(name)
        except OSError:
            different.append(name)
    for name in different:
        print(f"{script} --check: {os.path.join(folder, name)} differs from what the generator writes",
              file=sys.stderr)
    return not different


def main(files, script, description):
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser = argparse.ArgumentParser(description=description, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--out", default=os.path.join(root, "data", "fx"), help="folder to write into")
    parser.add_argument("--check", action="store_true", help="compare the folder with a fresh run")
    args = parser.parse_args()
    if args.check:
        return 0 if check(files, args.out, script) else 1
    write(files, args.out)
    return 0
