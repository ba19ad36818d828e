"""Writing and checking a generator's text files: what make_templates.py and make_tutorial.py share.

A generator builds a table of file names (relative to its output folder) and their texts. Without
`--check` the files are written (folders made); with it nothing is written, every file that
differs from the committed one (or is missing) is named, and the exit code is 1. Python 3
standard library only.
"""
import os
import sys


def write_or_check(files, out, script):
    """Writes or checks the files under out as the command line asks; the exit code."""
    check = "--check" in sys.argv[1:]
    bad = []
    for name, text in sorted(files.items()):
        path = os.path.join(out, name)
        if check:
            try:
                with open(path, encoding="utf-8") as handle:
                    if handle.read() != text:
                        bad.append(name)
            except OSError:
                bad.append(name)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8", newline="\n") as handle:
                handle.write(text)
    if check:
        if bad:
            print("%s: these files differ from what the script writes: %s" % (script, ", ".join(bad)))
            return 1
        print("%s: %d files match" % (script, len(files)))
    else:
        print("%s: wrote %d files under %s" % (script, len(files), out))
    return 0
