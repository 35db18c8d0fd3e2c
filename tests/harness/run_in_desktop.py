"""Runs a test program inside a fresh Desktop and passes on its exit status.

Usage: run_in_desktop.py [--no-sound] [--no-wm] PROGRAM [ARGS...]
"""

import sys

from desktop import Desktop


def main(argv):
    sound, wm = True, True
    while argv and argv[0].startswith("--no-"):
        flag = argv.pop(0)
        sound = sound and flag != "--no-sound"
        wm = wm and flag != "--no-wm"
    with Desktop(sound=sound, wm=wm) as d:
        proc = d.launch(argv, stdout=None, stderr=None)
        return proc.wait()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
