"""The board as a test sees it from outside: where its cards are, and what a
card shows in a screenshot."""

import time

from desktop import HarnessError

# Face boxes on the board's client area, by card slot.
SLOTS = {1: (0, 40), 2: (378, 40), 3: (756, 40), 4: (0, 256), 5: (378, 256), 6: (756, 256)}
CARD_W, CARD_H = 378, 216
# The prize label inside a face box.
LABEL = (133, 95, 100, 49)
ENTRY_LIST = (1136, 0, 88, 496)
RESTART = (0, 0, 1136, 40)
FORUM_LINK = (512, 483, 96, 24)


def card_point(slot, x, y):
    left, top = SLOTS[slot]
    return left + x, top + y


def egg_point(slot):
    """A point on the whole egg (off its crack), where the face picture has its gift box."""
    return card_point(slot, 215, 170)


def is_gold(rgb):
    r, g, b = rgb
    return r > 180 and 110 < g < 235 and b < 110


def is_yellow(rgb):
    r, g, b = rgb
    return r > 240 and g > 240 and b < 30


def is_blue_text(rgb):
    r, g, b = rgb
    return b > 150 and r < 120 and g < 120


class Board:
    """The running program's board window on a Desktop."""

    def __init__(self, desktop, proc, timeout=15):
        self.d = desktop
        self.proc = proc
        self.wid = desktop.wait_window(pid=proc.pid, timeout=timeout)
        self.origin = desktop.geometry(self.wid)[:2]
        self.settle()

    def settle(self, seconds=0.3):
        time.sleep(seconds)

    def root(self, x, y):
        return self.origin[0] + x, self.origin[1] + y

    def click(self, x, y):
        self.d.click(*self.root(x, y))

    def press_egg(self, slot):
        self.click(*egg_point(slot))

    def restart(self):
        self.click(568, 20)

    def focus_entry_list(self):
        self.click(ENTRY_LIST[0] + 40, ENTRY_LIST[1] + 200)

    def shot(self):
        return self.d.screenshot()

    def card_shows_egg(self, slot, shot=None):
        """The cover box is up: its whole egg stands where the face picture's gift box is."""
        shot = shot or self.shot()
        x, y = self.root(*egg_point(slot))
        return is_gold(shot.pixel(x, y))

    def label_text_box(self, slot, shot=None):
        """The bounding box (w, h) of the blue text in a card's prize label, or None."""
        shot = shot or self.shot()
        lx, ly, lw, lh = LABEL
        x, y = self.root(*card_point(slot, lx, ly))
        region = shot.region(x, y, lw, lh)
        xs, ys = [], []
        for yy in range(region.height):
            for xx in range(region.width):
                if is_blue_text(region.pixel(xx, yy)):
                    xs.append(xx)
                    ys.append(yy)
        if not xs:
            return None
        return max(xs) - min(xs) + 1, max(ys) - min(ys) + 1

    def wait_until(self, predicate, timeout, what, interval=0.03):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if predicate():
                return time.monotonic()
            time.sleep(interval)
        raise HarnessError(f"timed out after {timeout}s waiting for {what}")

    def close_with_escape(self):
        self.focus_entry_list()
        self.d.key("Escape")

    def exit_code(self, timeout=10):
        return self.proc.wait(timeout=timeout)
