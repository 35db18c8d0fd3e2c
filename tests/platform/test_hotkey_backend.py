"""The X11 hot-key backend on a real X server under openbox, driven through XTEST.

hotkey_probe links the real backend with a send_feedback of its own that prints
each notification; key_grabber plays a rival client holding a key combination.
"""
import os
import queue
import subprocess
import threading
import time
import unittest

from desktop import Desktop

PROBE_DIR = os.path.join(os.environ["EGGDRAW_BUILD_DIR"], "tests", "platform")
PROBE = os.path.join(PROBE_DIR, "hotkey_probe")
GRABBER = os.path.join(PROBE_DIR, "key_grabber")
XK_F1 = "ffbe"
LOCK_MASK, MOD2_MASK = 0x02, 0x10


class LineReader:
    """Collects a child's stdout lines on a thread so a test can wait for them."""

    def __init__(self, proc):
        self.proc = proc
        self.lines = queue.Queue()
        threading.Thread(target=self._pump, daemon=True).start()

    def _pump(self):
        for raw in self.proc.stdout:
            self.lines.put(raw.decode().rstrip("\n"))

    def until(self, last, timeout=10):
        """Every line up to and including the first equal to last."""
        got, deadline = [], time.monotonic() + timeout
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                raise AssertionError(f"no {last!r} within {timeout}s; saw {got}")
            try:
                line = self.lines.get(timeout=left)
            except queue.Empty:
                continue
            got.append(line)
            if line == last:
                return got

    def drain(self, settle=0.4):
        """The lines that arrive until the child has been quiet for settle seconds."""
        got = []
        while True:
            try:
                got.append(self.lines.get(timeout=settle))
            except queue.Empty:
                return got


class HotKeyBackend(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desk = Desktop(width=1024, height=768, sound=False, wm=True).__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.desk.__exit__(None, None, None)

    def probe(self, *keys, env=None):
        proc = self.desk.launch([PROBE, *keys], env=env, stderr=subprocess.DEVNULL)
        self.addCleanup(self.stop, proc)
        reader = LineReader(proc)
        lines = reader.until("ready")
        return reader, [int(l.split()[1]) for l in lines if l.startswith("registered ")]

    def grabber(self, keysym, mask):
        proc = self.desk.launch([GRABBER, keysym, hex(mask)], stderr=subprocess.DEVNULL)
        self.addCleanup(self.stop, proc)
        self.assertEqual(LineReader(proc).until("grabbed")[-1], "grabbed")
        return proc

    @staticmethod
    def stop(proc):
        if proc.poll() is None:
            proc.terminate()
            proc.wait(timeout=5)

    def press(self, *keys):
        self.desk.key(*keys)

    def fired(self, reader):
        return [int(l.split()[2]) for l in reader.drain() if l.startswith("feedback ")]

    def test_modifier_codes_and_keys(self):
        # (name, MODIFIER:KEY, identifier, chord that fires it, chord that must not)
        rows = [
            ("F1 alone", "0:112", 33001, "F1", "shift+F1"),
            ("code 1 is Ctrl", "1:113", 33002, "ctrl+F2", "F2"),
            ("code 2 is Shift", "2:114", 33003, "shift+F3", "ctrl+F3"),
            ("code 3 is Ctrl+Shift", "3:115", 33004, "ctrl+shift+F4", "ctrl+F4"),
            ("code 4 is Alt", "4:116", 33005, "alt+F5", "F5"),
            # Ctrl+Alt+F-keys switch virtual terminals inside the server: a letter here.
            ("code 5 is Ctrl+Alt", "5:71", 33006, "ctrl+alt+g", "alt+g"),
            ("code 6 is Shift+Alt", "6:118", 33007, "shift+alt+F7", "shift+F7"),
            ("code 7: system flags Alt|Ctrl|Shift", "7:119", 33008, "ctrl+shift+alt+F8",
             "ctrl+shift+F8"),
            ("code 8: system flag Win", "8:120", 33009, "super+F9", "F9"),
            ("F12 is 123", "0:123", 33010, "F12", "ctrl+F12"),
            ("letter A is 65", "1:65", 33011, "ctrl+a", "a"),
            ("digit 1 is 49", "4:49", 33012, "alt+1", "1"),
        ]
        # Refusals still raise the counter, so the next identifier skips theirs.
        refused = [
            ("key code with no key", "0:7"),
            ("Alt+F4, held by the window manager", "4:115"),
        ]
        keys = [r[1] for r in rows] + [r[1] for r in refused] + ["0:122"]
        reader, ids = self.probe(*keys)
        self.assertEqual(ids, [r[2] for r in rows] + [0, 0] + [33015])
        for name, _, ident, fires, quiet in rows:
            with self.subTest(name):
                self.press(fires)
                self.assertEqual(self.fired(reader), [ident], fires)
                self.press(quiet)
                self.assertEqual(self.fired(reader), [], quiet)

    def test_lock_keys_do_not_stop_the_key(self):
        reader, ids = self.probe("0:112")
        self.assertEqual(ids, [33001])
        # Each toggle is undone by the next row, ending with both off.
        for name, toggle in [("Num Lock on", ["Num_Lock"]), ("Num and Caps Lock on", ["Caps_Lock"]),
                             ("Caps Lock on", ["Num_Lock"]), ("both off", ["Caps_Lock"])]:
            with self.subTest(name):
                self.press(*toggle)
                self.press("F1")
                self.assertEqual(self.fired(reader), [33001])

    def test_num_lock_found_where_the_keymap_puts_it(self):
        # Keymaps differ: move Num Lock from Mod2 to Mod3 before registering.
        self.desk.run(["xmodmap", "-e", "remove mod2 = Num_Lock", "-e", "add mod3 = Num_Lock"])
        self.addCleanup(self.desk.run, ["xmodmap", "-e", "remove mod3 = Num_Lock",
                                        "-e", "add mod2 = Num_Lock"])
        reader, ids = self.probe("0:112")
        self.assertEqual(ids, [33001])
        self.press("Num_Lock")
        self.addCleanup(self.press, "Num_Lock")
        self.press("F1")
        self.assertEqual(self.fired(reader), [33001])

    def test_focused_client_never_sees_the_key(self):
        reader, _ = self.probe("0:112")
        xev = self.desk.launch(["xev", "-event", "keyboard", "-name", "keylog"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.addCleanup(self.stop, xev)
        self.desk.activate(self.desk.wait_window(name="^keylog$"))
        log = LineReader(xev)
        self.press("F1")
        self.assertEqual(self.fired(reader), [33001])
        self.press("b")  # xev does get ordinary keys: it is the focused client
        seen = " ".join(log.drain())
        self.assertIn("(keysym 0x62, b)", seen)
        self.assertNotIn("F1", seen)

    def test_held_key_repeats_and_stops_on_release(self):
        reader, _ = self.probe("0:112")
        self.desk.run(["xdotool", "keydown", "F1"])
        time.sleep(1.5)
        self.desk.run(["xdotool", "keyup", "F1"])
        self.assertGreater(len(self.fired(reader)), 1)
        self.assertEqual(self.fired(reader), [])

    def test_rival_holding_the_plain_key_wins(self):
        self.grabber(XK_F1, 0)
        reader, ids = self.probe("0:112")
        self.assertEqual(ids, [0])
        self.press("F1")
        self.assertEqual(self.fired(reader), [])

    def test_refusal_of_one_lock_variant_releases_the_others(self):
        rival = self.grabber(XK_F1, LOCK_MASK | MOD2_MASK)
        first, ids = self.probe("0:112")
        self.assertEqual(ids, [0])
        self.stop(rival)
        # Had the refused probe kept F1 with no locks, this second client would be refused.
        second, ids = self.probe("0:112")
        self.assertEqual(ids, [33001])
        self.press("F1")
        self.assertEqual(self.fired(second), [33001])
        self.assertEqual(self.fired(first), [])

    def test_only_the_first_copy_gets_the_key(self):
        first, ids_first = self.probe("0:112")
        second, ids_second = self.probe("0:112")
        self.assertEqual((ids_first, ids_second), ([33001], [0]))
        self.press("F1")
        self.assertEqual(self.fired(first), [33001])
        self.assertEqual(self.fired(second), [])

    def test_no_x_connection_is_a_refusal(self):
        _, ids = self.probe("0:112", "0:113", env={"QT_QPA_PLATFORM": "offscreen"})
        self.assertEqual(ids, [0, 0])


if __name__ == "__main__":
    unittest.main(verbosity=2)
