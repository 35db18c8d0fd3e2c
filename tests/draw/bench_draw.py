"""Prints what draws cost the program: CPU time against wall time for a lone
draw, and for six draws fired faster than they finish (so they nest).

    PYTHONPATH=tests/harness EGGDRAW_BUILD_DIR=build python3 tests/draw/bench_draw.py
"""

import os
import statistics
import time

from board import Board
from desktop import Desktop

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def measure(board, slots, spacing):
    pid = board.proc.pid
    cpu0, wall0 = cpu_seconds(pid), time.monotonic()
    for slot in slots:
        board.press_egg(slot)
        time.sleep(spacing)
    board.wait_until(lambda: not any(board.card_shows_egg(s) for s in slots), 15, "cards to open")
    time.sleep(0.1)
    return cpu_seconds(pid) - cpu0, time.monotonic() - wall0


def main():
    with Desktop() as d:
        lone, six = [], []
        for _ in range(3):
            proc = d.eggdraw()
            board = Board(d, proc)
            board.focus_entry_list()
            d.type_text("one\ntwo\nthree")
            time.sleep(0.5)
            lone.append(measure(board, [1], 0))
            board.restart()
            time.sleep(0.5)
            six.append(measure(board, [1, 2, 3, 4, 5, 6], 0.2))
            proc.kill()
            proc.wait()
        for name, runs in (("lone draw", lone), ("six nested draws", six)):
            cpu = statistics.median(r[0] for r in runs)
            wall = statistics.median(r[1] for r in runs)
            print(f"{name}: cpu {cpu * 1000:.0f} ms over wall {wall * 1000:.0f} ms "
                  f"({100 * cpu / wall:.1f} % of one core), median of {len(runs)}")


if __name__ == "__main__":
    main()
