"""A private X server and the user's hands and eyes on it: xdotool for the
mouse and the keyboard, xwd for screenshots. Every wait polls with a deadline;
nothing waits for a fixed time."""

import os
import shutil
import struct
import subprocess
import time
import zlib


class Skip(Exception):
    """The X server cannot run here; the walkthrough is skipped."""


def poll(what, probe, timeout=20.0, interval=0.05):
    """Calls probe() until it gives something true and returns that; raises
    AssertionError naming `what` once `timeout` seconds have passed."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


class XServer:
    """Xvfb on a display number it picks itself, with one 24-bit screen."""

    def __init__(self, width=1280, height=1024):
        for tool in ("Xvfb", "xdotool", "xwd"):
            if shutil.which(tool) is None:
                raise Skip(f"{tool} is not installed")
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()  # ends when Xvfb is ready, or gone
        if not number:
            error = self.process.stderr.read().decode(errors="replace")
            self.process.wait()
            raise Skip(f"Xvfb could not start: {error.strip()[-300:]}")
        self.display = f":{number}"
        self.size = (width, height)

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()

    # -- xdotool -----------------------------------------------------------

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *map(str, args)], env={**os.environ,
                                "DISPLAY": self.display}, capture_output=True, text=True,
                                timeout=30)
        if check and result.returncode != 0:
            raise AssertionError(f"xdotool {' '.join(map(str, args))}: {result.stderr.strip()}")
        return result.stdout

    def visible_windows(self, name):
        """Ids of the visible windows whose title is exactly `name`."""
        out = self.xdotool("search", "--onlyvisible", "--name", f"^{name}$", check=False)
        return [int(line) for line in out.split()]

    def program_windows(self, program):
        """Ids of the visible windows of a program, found by the class name
        that Qt gives them (the executable's name)."""
        out = self.xdotool("search", "--onlyvisible", "--classname", f"^{program}$",
                           check=False)
        return [int(line) for line in out.split()]

    def geometry(self, window):
        """(x, y, width, height) of a window, or None when it is gone."""
        out = self.xdotool("getwindowgeometry", "--shell", window, check=False)
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        if not {"X", "Y", "WIDTH", "HEIGHT"} <= values.keys():
            return None
        return tuple(int(values[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))

    def click(self, x, y, button=1, repeat=1):
        self.xdotool("mousemove", "--sync", x, y)
        self.xdotool("click", "--repeat", repeat, button)

    def key(self, *keys):
        self.xdotool("key", "--delay", 40, *keys)

    # -- screenshots -------------------------------------------------------

    def screenshot(self):
        """The whole screen as a Picture."""
        data = subprocess.run(["xwd", "-root", "-silent"], env={**os.environ,
                              "DISPLAY": self.display}, capture_output=True, check=True,
                              timeout=30).stdout
        return Picture.from_xwd(data)


class Picture:
    """RGB pixels, row by row, with the few checks the walkthrough makes."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    @staticmethod
    def from_xwd(data):
        fields = struct.unpack(">25I", data[:100])
        header_size, depth, width, height = fields[0], fields[3], fields[4], fields[5]
        byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
        ncolors = fields[19]
        if bits_per_pixel not in (24, 32) or depth != 24:
            raise AssertionError(f"xwd gave {bits_per_pixel} bits per pixel, depth {depth}")
        step = bits_per_pixel // 8
        start = header_size + 12 * ncolors
        rgb = bytearray(width * height * 3)
        # Pixels are 0x(00)RRGGBB, least significant byte first when byte_order is 0.
        order = (2, 1, 0) if byte_order == 0 else (step - 3, step - 2, step - 1)
        for y in range(height):
            row = data[start + y * bytes_per_line: start + y * bytes_per_line + width * step]
            out = y * width * 3
            for channel, offset in enumerate(order):
                rgb[out + channel: out + width * 3: 3] = row[offset::step]
        return Picture(width, height, bytes(rgb))

    def crop(self, x, y, width, height):
        x, y = max(0, x), max(0, y)
        width, height = min(width, self.width - x), min(height, self.height - y)
        rows = [self.rgb[((y + r) * self.width + x) * 3: ((y + r) * self.width + x + width) * 3]
                for r in range(height)]
        return Picture(width, height, b"".join(rows))

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def share_of(self, colour, tolerance=40):
        """The share (0..1) of pixels within `tolerance` of `colour` on every channel,
        sampled on a grid of every fourth pixel."""
        hits = total = 0
        for y in range(0, self.height, 4):
            for x in range(0, self.width, 4):
                total += 1
                p = self.pixel(x, y)
                if all(abs(p[c] - colour[c]) <= tolerance for c in range(3)):
                    hits += 1
        return hits / total if total else 0.0

    def differs_from(self, other):
        return (self.width, self.height, self.rgb) != (other.width, other.height, other.rgb)

    def dark_pixels(self, threshold=96):
        """How many pixels are dark on every channel (text, lines)."""
        count = 0
        for i in range(0, len(self.rgb), 3):
            if max(self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]) < threshold:
                count += 1
        return count

    def save_png(self, path):
        raw = b"".join(b"\x00" + self.rgb[y * self.width * 3:(y + 1) * self.width * 3]
                       for y in range(self.height))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body +
                    struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

        with open(path, "wb") as file:
            file.write(b"\x89PNG\r\n\x1a\n")
            file.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2,
                                                  0, 0, 0)))
            file.write(chunk(b"IDAT", zlib.compress(raw, 9)))
            file.write(chunk(b"IEND", b""))
