"""A real desktop for tests: Xvfb, openbox and a PulseAudio null sink.

Each Desktop is private to the test that makes it: its own X display (picked by
Xvfb itself), its own runtime folder and sound server, its own HOME. Everything
it starts is ended when the `with` block is left, also when the test fails.
"""

import contextlib
import math
import os
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import wave

BUILD_DIR = os.environ.get("EGGDRAW_BUILD_DIR", os.path.join(os.getcwd(), "build"))
SOURCE_DIR = os.environ.get(
    "EGGDRAW_SOURCE_DIR", os.path.dirname(os.path.dirname(os.path.dirname(__file__)))
)

SINK = "cap"
SINK_RATE = 24000


class HarnessError(RuntimeError):
    pass


def _wait_for(predicate, timeout, interval=0.02, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        result = predicate()
        if result:
            return result
        if time.monotonic() > deadline:
            raise HarnessError(f"timed out after {timeout}s waiting for {what}")
        time.sleep(interval)


class Shot:
    """A screenshot as RGB rows, read from xwd's ZPixmap output."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    @classmethod
    def from_xwd(cls, data):
        header_size, _version, _format, depth, width, height = struct.unpack(">6I", data[:24])
        fields = struct.unpack(">25I", data[:100])
        byte_order = fields[7]
        bits_per_pixel = fields[11]
        bytes_per_line = fields[12]
        ncolors = fields[19]
        if bits_per_pixel not in (24, 32) or depth != 24:
            raise HarnessError(f"unexpected xwd format: depth {depth}, {bits_per_pixel} bpp")
        step = bits_per_pixel // 8
        offset = header_size + ncolors * 12
        pixels = data[offset:]
        rgb = bytearray(width * height * 3)
        # ZPixmap: B G R (x) in LSB-first order, (x) R G B in MSB-first.
        order = (2, 1, 0) if byte_order == 0 else tuple(i + step - 3 for i in (0, 1, 2))
        for y in range(height):
            row = pixels[y * bytes_per_line : y * bytes_per_line + width * step]
            out = y * width * 3
            rgb[out : out + width * 3 : 3] = row[order[0] :: step]
            rgb[out + 1 : out + width * 3 : 3] = row[order[1] :: step]
            rgb[out + 2 : out + width * 3 : 3] = row[order[2] :: step]
        return cls(width, height, bytes(rgb))

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"pixel {x},{y} outside {self.width}x{self.height}")
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i : i + 3])

    def region(self, x, y, w, h):
        rows = [self.rgb[((y + r) * self.width + x) * 3 : ((y + r) * self.width + x + w) * 3]
                for r in range(h)]
        return Shot(w, h, b"".join(rows))

    def count(self, predicate):
        """How many pixels satisfy predicate((r, g, b))."""
        n = 0
        for i in range(0, len(self.rgb), 3):
            if predicate((self.rgb[i], self.rgb[i + 1], self.rgb[i + 2])):
                n += 1
        return n

    def save_png(self, path):
        ppm = b"P6 %d %d 255\n" % (self.width, self.height) + self.rgb
        subprocess.run(["convert", "ppm:-", "png:" + path], input=ppm, check=True)


class Recording:
    def __init__(self, path):
        self.path = path


class Desktop:
    def __init__(self, width=1920, height=1080, sound=True, wm=True):
        self.width, self.height = width, height
        self.sound, self.wm = sound, wm
        self._procs = []
        self._tmp = None
        self.env = {}

    # -- lifecycle -------------------------------------------------------------

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _start(self):
        self._tmp = tempfile.mkdtemp(prefix="eggdraw-desktop-")
        runtime = os.path.join(self._tmp, "runtime")
        home = os.path.join(self._tmp, "home")
        os.makedirs(runtime, mode=0o700)
        os.makedirs(home)
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("XDG_", "PULSE_", "DBUS_", "WAYLAND", "QT_"))}
        env.pop("DISPLAY", None)
        env.update(HOME=home, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"), LANG="C.UTF-8")
        self.env = env
        self._start_x()
        if self.wm:
            self._start_wm()
        if self.sound:
            self._start_sound()

    def _start_x(self):
        read_fd, write_fd = os.pipe()
        proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
             f"{self.width}x{self.height}x24", "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), env=self.env, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True)
        self._procs.append(proc)
        os.close(write_fd)
        number = b""
        deadline = time.monotonic() + 15
        with os.fdopen(read_fd, "rb") as pipe:
            while not number.endswith(b"\n"):
                if time.monotonic() > deadline or proc.poll() is not None:
                    raise HarnessError("Xvfb did not start")
                chunk = pipe.read(1)
                if not chunk:
                    raise HarnessError("Xvfb closed its display pipe")
                number += chunk
        self.env["DISPLAY"] = ":" + number.decode().strip()

    def _start_wm(self):
        self._procs.append(subprocess.Popen(
            ["openbox", "--sm-disable"], env=self.env, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True))

        def wm_ready():
            out = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                                 capture_output=True, text=True).stdout
            return "window id" in out

        _wait_for(wm_ready, 15, 0.05, "openbox")

    def _start_sound(self):
        env = dict(self.env)
        subprocess.run(
            ["pulseaudio", "--start", "-n", "--exit-idle-time=-1", "--daemonize=yes",
             "--disallow-exit", "--use-pid-file=yes",
             "--load=module-native-protocol-unix",
             f"--load=module-null-sink sink_name={SINK} rate={SINK_RATE} channels=2 format=s16le",
             f"--load=module-always-sink"],
            env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=20)
        socket = os.path.join(self.env["XDG_RUNTIME_DIR"], "pulse", "native")
        _wait_for(lambda: os.path.exists(socket), 10, 0.05, "pulseaudio socket")
        self.env["PULSE_SERVER"] = "unix:" + socket
        self.run(["pactl", "set-default-sink", SINK])

    def close(self):
        for proc in reversed(self._procs):
            if proc.poll() is None:
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(proc.pid, signal.SIGTERM)
        for proc in reversed(self._procs):
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
        self._procs = []
        if self.sound and self.env.get("PULSE_SERVER"):
            subprocess.run(["pulseaudio", "--kill"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=10)
            pidfile = os.path.join(self.env["XDG_RUNTIME_DIR"], "pulse", "pid")
            with contextlib.suppress(Exception):
                pid = int(open(pidfile).read().split()[0])
                _wait_for(lambda: not os.path.exists(f"/proc/{pid}"), 5, 0.05, "pulseaudio exit")
        if self._tmp:
            shutil.rmtree(self._tmp, ignore_errors=True)
            self._tmp = None

    # -- processes --------------------------------------------------------------

    def launch(self, argv, env=None, **kwargs):
        """Starts a program on this desktop; it is killed at teardown if still running."""
        full_env = dict(self.env)
        if env:
            full_env.update(env)
        kwargs.setdefault("stdout", subprocess.PIPE)
        kwargs.setdefault("stderr", subprocess.PIPE)
        proc = subprocess.Popen(argv, env=full_env, start_new_session=True, **kwargs)
        self._procs.append(proc)
        return proc

    def eggdraw(self, env=None, **kwargs):
        return self.launch([os.path.join(BUILD_DIR, "eggdraw")], env=env, **kwargs)

    def run(self, argv, check=True, timeout=30, input=None):
        result = subprocess.run(argv, env=self.env, capture_output=True, text=True,
                                timeout=timeout, input=input)
        if check and result.returncode != 0:
            raise HarnessError(f"{argv} failed ({result.returncode}): {result.stderr.strip()}")
        return result.stdout

    # -- windows ---------------------------------------------------------------

    def windows(self, pid=None, name=None):
        argv = ["xdotool", "search", "--onlyvisible"]
        if pid is not None:
            argv += ["--pid", str(pid)]
        if name is not None:
            argv += ["--name", name]
        else:
            argv += ["--name", ".*"] if pid is None else []
        out = self.run(argv, check=False)
        ids = [int(w) for w in out.split()]
        # xdotool also lists child windows of a client; keep the managed ones.
        return [w for w in ids if self._is_top_level(w)]

    def _is_top_level(self, wid):
        out = self.run(["xprop", "-id", str(wid), "WM_STATE"], check=False)
        return "WM_STATE" in out and "not found" not in out

    def wait_window(self, pid=None, name=None, timeout=10):
        found = _wait_for(lambda: self.windows(pid, name), timeout, 0.02,
                          f"a window of pid {pid} name {name}")
        return found[0]

    def geometry(self, wid):
        """The client area (x, y, w, h) in root coordinates."""
        out = self.run(["xwininfo", "-id", str(wid)])
        x = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", out).group(1))
        y = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", out).group(1))
        w = int(re.search(r"Width:\s+(\d+)", out).group(1))
        h = int(re.search(r"Height:\s+(\d+)", out).group(1))
        return x, y, w, h

    def frame_extents(self, wid):
        out = self.run(["xprop", "-id", str(wid), "_NET_FRAME_EXTENTS"])
        nums = re.findall(r"-?\d+", out.split("=", 1)[-1])
        if len(nums) != 4:
            raise HarnessError(f"no frame extents on {wid}: {out.strip()}")
        return tuple(int(n) for n in nums)

    def outer_geometry(self, wid):
        x, y, w, h = self.geometry(wid)
        left, right, top, bottom = self.frame_extents(wid)
        return x - left, y - top, w + left + right, h + top + bottom

    def activate(self, wid):
        self.run(["xdotool", "windowactivate", "--sync", str(wid)], check=False)

    def click(self, x, y, button=1):
        self.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", str(button)])

    def click_in(self, wid, x, y, button=1):
        cx, cy, _, _ = self.geometry(wid)
        self.click(cx + x, cy + y, button)

    def move_pointer(self, x, y):
        self.run(["xdotool", "mousemove", "--sync", str(x), str(y)])

    def key(self, *keys, delay_ms=30):
        self.run(["xdotool", "key", "--delay", str(delay_ms), *keys])

    def type_text(self, text, delay_ms=20):
        self.run(["xdotool", "type", "--delay", str(delay_ms), "--", text])

    def screenshot(self):
        data = subprocess.run(["xwd", "-root", "-silent"], env=self.env, capture_output=True,
                              check=True).stdout
        return Shot.from_xwd(data)

    # -- sound -----------------------------------------------------------------

    @contextlib.contextmanager
    def record(self, path=None):
        """Records the null sink's monitor into a WAV for the length of the block."""
        if not self.sound:
            raise HarnessError("this desktop has no sound server")
        if path is None:
            path = os.path.join(self._tmp, f"rec-{time.monotonic_ns()}.wav")
        proc = subprocess.Popen(
            ["parecord", f"--device={SINK}.monitor", f"--rate={SINK_RATE}", "--channels=2",
             "--format=s16le", "--file-format=wav", "--latency-msec=10", path],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        rec = Recording(path)
        try:
            _wait_for(lambda: os.path.exists(path) and os.path.getsize(path) > 44, 5, 0.01,
                      "parecord to start")
            yield rec
        finally:
            # SIGINT lets parecord finish the WAV header; SIGKILL would break it.
            proc.send_signal(signal.SIGINT)
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()


def read_wav_channel(path, channel=0):
    """One channel of a 16-bit WAV as a list of ints, with its sample rate."""
    with wave.open(path, "rb") as w:
        nch, width, rate, frames = w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes()
        if width != 2:
            raise HarnessError(f"{path}: {width * 8}-bit samples")
        data = w.readframes(frames)
    samples = struct.unpack("<%dh" % (len(data) // 2), data)
    return list(samples[channel::nch]), rate


def rms_db(samples):
    if not samples:
        return -math.inf
    power = sum(s * s for s in samples) / len(samples)
    return -math.inf if power == 0 else 10 * math.log10(power / (32768.0 * 32768.0))


def wav_rms_windows(path, ms=50, channel=0):
    """RMS in dBFS of each consecutive window of one channel."""
    samples, rate = read_wav_channel(path, channel)
    step = rate * ms // 1000
    return [rms_db(samples[i : i + step]) for i in range(0, len(samples), step)]


def onset_seconds(path, threshold_db=-50, ms=5, channel=0):
    """Where the sound first rises above threshold_db, in seconds (None if never)."""
    for i, db in enumerate(wav_rms_windows(path, ms, channel)):
        if db > threshold_db:
            return i * ms / 1000.0
    return None
