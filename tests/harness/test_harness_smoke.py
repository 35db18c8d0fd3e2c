"""The harness itself: a real X client is found, clicked and seen; a real tone
played into the null sink comes back in the recording."""

import math
import os
import subprocess
import tempfile
import time
import unittest

from desktop import Desktop, read_wav_channel, rms_db, onset_seconds


class HarnessSmoke(unittest.TestCase):
    def test_window_click_and_screenshot(self):
        with Desktop(sound=False) as d:
            xev = d.launch(["xev", "-geometry", "300x200+100+100", "-event", "button",
                            "-rv"], stdout=subprocess.PIPE, text=True)
            wid = d.wait_window(name="^Event Tester$")  # xev sets no _NET_WM_PID
            self.assertEqual(d.geometry(wid)[2:], (300, 200))
            self.assertEqual(len(d.frame_extents(wid)), 4, "openbox manages the window")
            d.click_in(wid, 150, 100)
            time.sleep(0.3)
            x, y, _, _ = d.geometry(wid)
            shot = d.screenshot()
            self.assertEqual((shot.width, shot.height), (1920, 1080))
            # In reverse video xev's window is black, with a small white-framed
            # square at its top left; openbox's title bar above it is not black.
            self.assertEqual(shot.pixel(x + 250, y + 150), (0, 0, 0))
            self.assertNotEqual(shot.pixel(x + 150, y - 10), (0, 0, 0))
            if os.environ.get("EGGDRAW_KEEP_SHOTS"):
                shot.save_png(os.environ["EGGDRAW_KEEP_SHOTS"])
            xev.terminate()
            out, _ = xev.communicate(timeout=5)
            self.assertIn("ButtonPress", out)
            self.assertIn("button 1", out)

    def test_tone_is_recorded_from_the_null_sink(self):
        with Desktop(wm=False) as d, tempfile.TemporaryDirectory() as tmp:
            tone = os.path.join(tmp, "tone.wav")
            subprocess.run(["sox", "-n", "-r", "24000", "-c", "2", "-b", "16", tone,
                            "synth", "0.5", "sine", "1000", "vol", "0.5"], check=True)
            with d.record() as rec:
                time.sleep(0.3)
                d.run(["paplay", tone])
                time.sleep(0.3)
            samples, rate = read_wav_channel(rec.path)
            self.assertEqual(rate, 24000)
            onset = onset_seconds(rec.path, threshold_db=-40)
            self.assertIsNotNone(onset, "the tone must be heard")
            start = int((onset + 0.1) * rate)
            body = samples[start : start + rate // 4]
            # A sine of amplitude 0.5 has an RMS of 0.5/sqrt(2): -9 dBFS.
            self.assertAlmostEqual(rms_db(body), 20 * math.log10(0.5 / math.sqrt(2)), delta=1.0)
            crossings = sum(1 for a, b in zip(body, body[1:]) if a < 0 <= b)
            self.assertAlmostEqual(crossings / (len(body) / rate), 1000, delta=20)


if __name__ == "__main__":
    unittest.main()
