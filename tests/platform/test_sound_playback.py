"""play_sound through a real PulseAudio null sink: what is heard, and when.

Each case runs sound_probe (play_sound alone) on a fresh desktop, records the
sink's monitor and compares the recording's loudness, 50 ms a window, with the
file that was played.
"""

import math
import os
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import wave

from desktop import Desktop, read_wav_channel, rms_db

BUILD = os.environ["EGGDRAW_BUILD_DIR"]
PROBE = os.path.join(BUILD, "tests", "platform", "sound_probe")
RATE = 24000
WINDOW = RATE // 20  # 50 ms
HEARD_DB = -60.0  # louder than this counts as heard
SILENT_DB = -80.0


def write_wav(path, samples):
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<hh", s, s) for s in samples))


def tone(ms, db, hz=1000):
    amp = 32767 * 10 ** (db / 20) * math.sqrt(2)
    return [int(amp * math.sin(2 * math.pi * hz * i / RATE)) for i in range(RATE * ms // 1000)]


def silence(ms):
    return [0] * (RATE * ms // 1000)


# A small sound with a course of its own: 100 ms silent, 250 ms loud, 250 ms
# silent (where a second copy 300 ms later begins), 250 ms quieter, 100 ms
# quieter still.
FIXTURE = silence(100) + tone(250, -12) + silence(250) + tone(250, -24, 1500) + tone(100, -36, 700)


def envelope(samples):
    return [rms_db(samples[i : i + WINDOW]) for i in range(0, len(samples) - WINDOW + 1, WINDOW)]


def first_heard(samples, after=0):
    """The first sample above -50 dBFS: exact to the sample, since playback through
    the null sink at its own rate leaves the samples as they were."""
    for i in range(after, len(samples)):
        if abs(samples[i]) > 100:
            return i
    return None


def last_heard(samples, step=RATE // 1000):
    for i in range(len(samples) - step, 0, -step):
        if rms_db(samples[i : i + step]) > HEARD_DB:
            return i + step
    return None


def mix(a, b, offset):
    out = a + [0] * max(0, offset + len(b) - len(a))
    for i, s in enumerate(b):
        out[offset + i] = max(-32768, min(32767, out[offset + i] + s))
    return out


class SoundPlayback(unittest.TestCase):
    def run_probe(self, desk, args, timeout=20):
        proc = desk.launch([PROBE] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        out, err = proc.communicate(timeout=timeout)
        self.assertEqual(proc.returncode, 0, err)
        plays = [line.split() for line in out.splitlines() if line.startswith("play ")]
        return plays, out, err

    def record_probe(self, args, extra_ms=300):
        with Desktop(width=640, height=480, sound=True, wm=False) as desk:
            with desk.record() as rec:
                time.sleep(0.2)
                plays, out, err = self.run_probe(desk, args)
                time.sleep(extra_ms / 1000)
            samples, rate = read_wav_channel(rec.path)
        self.assertEqual(rate, RATE)
        return plays, out, err, samples

    def assert_course(self, recorded, expected, what):
        """The recording holds expected from its first heard sample, window by window."""
        start_rec, start_exp = first_heard(recorded), first_heard(expected)
        self.assertIsNotNone(start_rec, f"{what}: nothing heard")
        got = envelope(recorded[start_rec - start_exp :])
        want = envelope(expected)
        self.assertGreaterEqual(len(got), len(want) - 1, f"{what}: recording too short")
        for i, w in enumerate(want[:-1]):
            if w > HEARD_DB:
                self.assertAlmostEqual(got[i], w, delta=3.0, msg=f"{what}: window {i} ({i * 50} ms)")
            elif w < SILENT_DB:
                self.assertLess(got[i], HEARD_DB, f"{what}: window {i} should be quiet")
        heard_for = (last_heard(recorded) - start_rec) / RATE
        want_for = (last_heard(expected) - start_exp) / RATE
        self.assertAlmostEqual(heard_for, want_for, delta=0.03, msg=f"{what}: duration")

    def fixture_path(self, samples, name="fixture.wav"):
        path = os.path.join(self.tmp.name, name)
        write_wav(path, samples)
        return path

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.tmp.cleanup()

    def test_one_playback_is_heard_as_the_file(self):
        plays, _, _, rec = self.record_probe(["--stop-after", "1300", self.fixture_path(FIXTURE)])
        self.assertEqual(plays[0][1], "true")
        self.assertLess(int(plays[0][2]), 50_000, "play_sound returns at once")
        self.assert_course(rec, FIXTURE, "fixture")

    def test_two_playbacks_300_ms_apart_are_both_heard_to_their_ends(self):
        plays, _, _, rec = self.record_probe(
            ["--at", "0", "--at", "300", "--stop-after", "1600", self.fixture_path(FIXTURE)])
        self.assertEqual([p[1] for p in plays], ["true", "true"])
        called = (int(plays[1][3]) - int(plays[0][3])) / 1e9
        # Each stream has latency of its own: take the second one's start from the
        # recording, inside the first one's gap, and hold it to the call.
        first = first_heard(rec)
        second = first_heard(rec, first + RATE * 260 // 1000)
        offset = second - first
        self.assertAlmostEqual(offset / RATE, called, delta=0.06)
        self.assert_course(rec, mix(FIXTURE, FIXTURE, offset), "two overlapping")

    def test_the_smash_sound(self):
        asset = os.path.join(self.tmp.name, "smash.wav")
        if subprocess.run([PROBE, "--dump-asset", asset]).returncode == 2:
            self.skipTest("built without the media")
        expected, _ = read_wav_channel(asset)
        plays, _, _, rec = self.record_probe(["--asset", "--stop-after", "4700"])
        self.assertEqual(plays[0][1], "true")
        self.assert_course(rec, expected, "smash_sound")

    def test_broken_files_give_false_and_silence(self):
        good = open(self.fixture_path(FIXTURE), "rb").read()
        broken = {
            "cut inside the samples": good[: len(good) // 2],
            "no WAVE": good[:8] + b"WAVX" + good[12:],
            "data size past the file": good[:40] + struct.pack("<I", len(good)) + good[44:],
        }
        for name, data in broken.items():
            path = os.path.join(self.tmp.name, "broken.wav")
            open(path, "wb").write(data)
            plays, _, err, rec = self.record_probe(["--stop-after", "300", path])
            self.assertEqual(plays[0][1], "false", name)
            self.assertEqual(err, "", name)
            self.assertIsNone(first_heard(rec), f"{name}: something was heard")

    def test_a_looping_sound_goes_on_until_stopped(self):
        short = tone(200, -12) + silence(100)
        plays, out, _, rec = self.record_probe(
            ["--loop", "--stop-after", "1000", self.fixture_path(short)])
        self.assertEqual(plays[0][1], "true")
        start, end = first_heard(rec), last_heard(rec)
        self.assertGreater((end - start) / RATE, 0.85, "still looping after three passes")
        self.assertLess((end - start) / RATE, 1.25, "cut off by stop_all_sounds")
        stopped_ms = int(out.split("stopped ")[1])
        self.assertLess(stopped_ms, 500)

    def test_without_a_sound_server_nothing_hangs_or_prints(self):
        with Desktop(width=640, height=480, sound=False, wm=False) as desk:
            env = dict(desk.env, PULSE_SERVER="unix:/nonexistent/pulse/native")
            began = time.monotonic()
            proc = subprocess.run([PROBE, "--at", "0", "--at", "50", self.fixture_path(FIXTURE)],
                                  env=env, capture_output=True, text=True, timeout=20)
            took = time.monotonic() - began
        self.assertEqual(proc.returncode, 0)
        self.assertEqual(proc.stderr, "")
        for line in proc.stdout.splitlines():
            if line.startswith("play "):
                self.assertIn(line.split()[1], ("true", "false"))
                self.assertLess(int(line.split()[2]), 50_000)
        self.assertLess(took, 5.0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
