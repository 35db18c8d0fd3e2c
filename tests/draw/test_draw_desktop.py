"""Draws on the real program, driven from outside through the X server.

The prize label's text is read back from the screen by its width: the lists use
entries whose widths fall into classes far apart ("i" narrow, "MM" middle,
"MMMMM" wide), so a screenshot tells which list a drawn entry came from.
"""

import time
import unittest

from board import Board
from desktop import Desktop, onset_seconds, read_wav_channel

DRAW_SECONDS = 1.4


def width_class(box):
    if box is None:
        return "empty"
    w, _ = box
    if w <= 12:
        return "narrow"
    if w <= 45:
        return "middle"
    return "wide"


class DrawTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop()
        cls.desktop.__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.desktop.__exit__(None, None, None)

    def setUp(self):
        self.proc = self.desktop.eggdraw()
        self.board = Board(self.desktop, self.proc)
        self.desktop.activate(self.board.wid)

    def tearDown(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()

    def relaunch(self):
        self.tearDown()
        self.setUp()

    def type_lists(self, entries=None, preset=None):
        """Types into the entry list, then Tab into the hidden preset list."""
        self.board.focus_entry_list()
        if entries:
            self.desktop.type_text(entries)
        if preset is not None:
            self.desktop.key("Tab")
            self.desktop.type_text(preset)

    def draw(self, slot):
        self.board.press_egg(slot)
        self.board.wait_until(lambda: not self.board.card_shows_egg(slot), 5,
                              f"card {slot} to open")
        time.sleep(0.15)
        return width_class(self.board.label_text_box(slot))


class WhichList(DrawTest):
    # name, entry list typed, preset list typed (None: left alone), classes allowed
    cases = [
        ("entry list only", "i\nMMMMM", None, {"narrow", "wide"}),
        ("preset overrides the entry list", "i\nMMMMM", "MM", {"middle"}),
        ("one line without a break", "MM", None, {"middle"}),
        ("one line with a final break", "MM\n", None, {"middle"}),
        ("only line breaks give an empty label", "\n\n\n", None, {"empty"}),
        ("only spaces are entries too", "   ", None, {"empty"}),
    ]

    def test_cases(self):
        for i, (name, entries, preset, allowed) in enumerate(self.cases):
            with self.subTest(name):
                if i:
                    self.relaunch()
                self.type_lists(entries, preset)
                for slot in (1, 5):
                    self.assertIn(self.draw(slot), allowed, f"card {slot}")

    def test_six_draws_over_two_entries_repeat_and_preset_is_never_used_up(self):
        self.type_lists("i\nMMMMM", "MM\nMM")
        got = [self.draw(slot) for slot in range(1, 7)]
        self.assertEqual(got, ["middle"] * 6)
        self.relaunch()
        self.type_lists("i\nMMMMM")
        got = [self.draw(slot) for slot in range(1, 7)]
        self.assertTrue(set(got) <= {"narrow", "wide"}, got)


class EmptyEntryList(DrawTest):
    def test_message_box_and_no_card_changes(self):
        self.type_lists(None, "MM")  # the preset alone does not make a draw possible
        self.board.press_egg(2)
        box = self.desktop.wait_window(pid=self.proc.pid, name="^信息：$", timeout=5)
        time.sleep(DRAW_SECONDS + 0.3)
        shot = self.board.shot()
        for slot in range(1, 7):
            self.assertTrue(self.board.card_shows_egg(slot, shot), f"card {slot}")
        self.desktop.activate(box)
        self.desktop.key("Return")
        self.board.wait_until(lambda: not self.desktop.windows(self.proc.pid, "^信息：$"), 5,
                              "the message box to close")
        self.assertIsNone(self.proc.poll())


class Timing(DrawTest):
    def test_sound_after_200ms_and_egg_gone_after_1400ms(self):
        self.type_lists("MM")
        with self.desktop.record() as rec:
            time.sleep(0.5)
            pressed = time.monotonic()
            self.board.press_egg(3)
            opened = self.board.wait_until(lambda: not self.board.card_shows_egg(3), 5,
                                           "card 3 to open", interval=0.01)
            time.sleep(0.5)
            recording_started = rec_started(rec)
        self.assertGreaterEqual(opened - pressed, DRAW_SECONDS - 0.02)
        self.assertLess(opened - pressed, DRAW_SECONDS + 0.6)
        # The sound's first loud hit lies 0.125 s into it.
        hit = onset_seconds(rec.path, threshold_db=-40)
        self.assertIsNotNone(hit, "the smash must be heard")
        since_press = recording_started + hit - pressed
        self.assertGreater(since_press, 0.2 + 0.125 - 0.1)
        self.assertLess(since_press, 0.2 + 0.125 + 0.2)


def rec_started(rec):
    """When the recording's first sample was taken, by the monotonic clock."""
    samples, rate = read_wav_channel(rec.path)
    return time.monotonic() - len(samples) / rate


class Nesting(DrawTest):
    def test_second_egg_opens_before_the_first(self):
        self.type_lists("MM")
        self.board.press_egg(1)
        time.sleep(0.3)
        self.board.press_egg(2)
        opened = {}
        deadline = time.monotonic() + 6
        while len(opened) < 2 and time.monotonic() < deadline:
            shot = self.board.shot()
            for slot in (1, 2):
                if slot not in opened and not self.board.card_shows_egg(slot, shot):
                    opened[slot] = time.monotonic()
            time.sleep(0.02)
        self.assertEqual(set(opened), {1, 2})
        self.assertLess(opened[2], opened[1], "the later press opens first")
        self.assertEqual(width_class(self.board.label_text_box(1)), "middle")
        self.assertEqual(width_class(self.board.label_text_box(2)), "middle")

    def test_same_egg_twice_plays_two_sounds(self):
        self.type_lists("MM")
        with self.desktop.record() as rec:
            time.sleep(0.3)
            self.board.press_egg(4)
            time.sleep(0.3)
            self.board.press_egg(4)
            time.sleep(3.5)
        samples, rate = read_wav_channel(rec.path)
        peaks = strongest_hits(samples, rate)
        self.assertEqual(len(peaks), 2, peaks)
        self.assertAlmostEqual(peaks[1] - peaks[0], 0.3, delta=0.12)
        self.assertFalse(self.board.card_shows_egg(4))
        self.assertEqual(width_class(self.board.label_text_box(4)), "middle")

    def test_restart_during_smash_brings_every_egg_back_then_that_egg_opens(self):
        self.type_lists("i")
        self.draw(1)
        self.board.press_egg(6)
        time.sleep(0.5)
        self.board.restart()
        time.sleep(0.2)
        shot = self.board.shot()
        for slot in range(1, 7):
            self.assertTrue(self.board.card_shows_egg(slot, shot), f"card {slot} is back")
        self.board.wait_until(lambda: not self.board.card_shows_egg(6), 4, "card 6 to open")
        time.sleep(0.15)
        self.assertEqual(width_class(self.board.label_text_box(6)), "narrow")
        self.assertTrue(self.board.card_shows_egg(1))

    def test_open_card_ignores_presses(self):
        self.type_lists("MM")
        self.draw(5)
        with self.desktop.record() as rec:
            time.sleep(0.2)
            self.board.press_egg(5)
            time.sleep(1.0)
        samples, _ = read_wav_channel(rec.path)
        self.assertLess(max((abs(s) for s in samples), default=0), 50, "no second smash")
        self.assertFalse(self.board.card_shows_egg(5))

    def test_closing_during_a_wait_ends_with_zero(self):
        self.type_lists("MM")
        self.board.press_egg(1)
        time.sleep(0.5)
        self.desktop.key("Escape")
        self.assertEqual(self.proc.wait(timeout=5), 0)


def strongest_hits(samples, rate, gap=0.1):
    """Each smash holds one full-scale sample in its strongest hit: the times of
    the clusters of near-full-scale samples, one per smash heard."""
    loud = [i / rate for i, s in enumerate(samples) if abs(s) > 0.7 * 32768]
    clusters = []
    for t in loud:
        if not clusters or t - clusters[-1][-1] > gap:
            clusters.append([t])
        else:
            clusters[-1].append(t)
    return [c[0] for c in clusters]


if __name__ == "__main__":
    unittest.main()
