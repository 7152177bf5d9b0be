#!/usr/bin/env python3
"""Walks through Vistrel as a user would: starts the real executable under a
private X server with a prepared settings file and folder of pictures, then
drives it with the mouse and the keyboard and checks the screen and, at the
end, the settings file's bytes.

Exit status: 0 passed, 1 failed, 77 skipped (no X server can start here).

The full view and the animated GIF preview are walked through with
--display-steps (CMake option VISTREL_WALKTHROUGH_DISPLAY_STEPS, on by default)."""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import Skip, XServer, poll  # noqa: E402

# The stored window: 12000 x 9000 twips, 800 x 600 pixels at 15 twips a pixel.
WIDTH_TWIPS, HEIGHT_TWIPS = 12000, 9000
WINDOW = (800, 600)
SPLASH = (400, 250)

# Places in the main window at its stored size, splitters at 50 % (the tree
# above the list on the left, the preview on the right), in window pixels.
TREE = (12, 70, 370, 232)
LIST_EMPTY = (200, 515)         # below the last row of the list
LIST = (12, 345, 384, 190)      # x, y, width, height
LIST_PROBE_X = 170              # a column of the list where no text is drawn
COMBO = (200, 325)
OPTIONS_BUTTON = (246, 28)
PREVIEW = (410, 80, 370, 450)
PANELS = [(14, 584, 500, 13), (526, 584, 124, 13), (662, 584, 124, 13)]

# The pictures' colours (see make_pictures.cpp) and their rows in the list
# under "All Supported Formats" (natural name order, the hidden file first).
COLOURS = {"red": (220, 40, 40), "green": (40, 180, 60), "blue": (40, 60, 220),
           "yellow": (230, 210, 40), "grey": (120, 120, 120), "magenta": (230, 40, 230),
           "cyan": (40, 220, 230)}
ROWS = [".hidden.png", "anim.gif", "blue.bmp", "broken.png", "green.jpg", "red.png",
        "yellow.tiff"]
PNG_FILTER_INDEX = 17   # "Portable Network Graphics(*.png)"
HIGHLIGHT = (48, 140, 198)
WINDOW_FACE = (239, 239, 239)


def encode_setup(last_path, thumbnail=0):
    """A settings file: the fixed 20 bytes, then LastPath's length and bytes."""
    fixed = struct.pack("<7h2Bh", -1, thumbnail, 0, -1, 1, WIDTH_TWIPS, HEIGHT_TWIPS, 50, 50, 0)
    return fixed + struct.pack("<H", len(last_path)) + last_path


class Walkthrough:
    def __init__(self, x, args, work):
        self.x, self.args, self.work = x, args, work
        self.shots = args.screenshots
        self.app = os.path.join(work, "app")
        self.pictures = os.path.join(work, "pics")
        self.settings = os.path.join(self.app, "ztsetup.dat")
        self.process = None
        self.window = None
        self.log = os.path.join(work, "vistrel.log")

    # -- helpers -----------------------------------------------------------

    def step(self, text):
        print(f"-- {text}", flush=True)

    def alive(self):
        if self.process.poll() is not None:
            raise AssertionError(f"vistrel ended with status {self.process.returncode}:\n"
                                 + self.output())

    def output(self):
        with open(self.log, errors="replace") as file:
            return file.read()

    def at(self, point):
        gx, gy, _, _ = self.x.geometry(self.window)
        return gx + point[0], gy + point[1]

    def click(self, point):
        self.alive()
        self.x.click(*self.at(point))

    def keys(self, window, *keys, point=True):
        """Types into `window` with the pointer over it, as a user's focus would
        be - but where hovering would pick an item (`point` false), the pointer
        stays where it is."""
        self.alive()
        if point:
            gx, gy, gw, gh = self.x.geometry(window)
            self.x.xdotool("mousemove", "--sync", gx + gw // 2, gy + gh - 8)
        self.x.xdotool("windowfocus", "--sync", window)
        self.x.key(*keys)

    def window_shot(self, window=None):
        return self.x.screenshot().crop(*self.x.geometry(window or self.window))

    def painted_shot(self, window, nudge=False):
        """A screenshot of `window` once it is in place and has drawn its face
        (the window colour) and its text.

        Without a window manager, Qt's X11 backend leaves a newly shown window
        that has an owner (a dialog) undrawn until it is moved well away; with
        `nudge` the window is first dragged to the top left of the screen, as a
        user drags a dialog aside."""
        if nudge:
            self.x.xdotool("windowmove", "--sync", window, 40, 40)

        def drawn():
            shot = self.window_shot(window)
            return shot.share_of(WINDOW_FACE, tolerance=6) > 0.3 and shot.dark_pixels() > 100 \
                and shot
        return poll("the window to be drawn", drawn)

    def region(self, rect):
        gx, gy, _, _ = self.x.geometry(self.window)
        return self.x.screenshot().crop(gx + rect[0], gy + rect[1], rect[2], rect[3])

    def save(self, picture, name):
        if self.shots:
            picture.save_png(os.path.join(self.shots, name))

    def wait_preview(self, colour, what, share=0.05):
        """Waits until the preview pane shows `colour` over at least `share` of it."""
        poll(f"the preview to show {what}",
             lambda: self.region(PREVIEW).share_of(COLOURS[colour]) >= share)

    def highlighted_row_top(self):
        """Top and height of the selected row of the list, from its highlight."""
        band = self.region((LIST_PROBE_X, LIST[1], 1, LIST[3]))
        ys = [y for y in range(band.height)
              if all(abs(a - b) <= 8 for a, b in zip(band.pixel(0, y), HIGHLIGHT))]
        if not ys:
            return None
        return LIST[1] + ys[0], ys[-1] - ys[0] + 1

    def choose_filter(self, keys):
        """Opens the filter box with the mouse and picks an entry with the keys."""
        before = self.region(LIST)
        self.click(COMBO)
        popup = poll("the filter's list to open",
                     lambda: [w for w in self.x.program_windows("vistrel")
                              if w != self.window and self.x.geometry(w)
                              and self.x.geometry(w)[3] > 200])[0]
        self.keys(popup, *keys, "Return", point=False)
        poll("the list to follow the filter", lambda: self.region(LIST).differs_from(before))

    # -- the walk ------------------------------------------------------------

    def prepare(self):
        os.makedirs(self.app)
        os.makedirs(self.pictures)
        home = os.path.join(self.work, "home")
        os.makedirs(home, mode=0o700)
        elsewhere = os.path.join(self.work, "elsewhere")
        os.makedirs(elsewhere)
        # A copy in a folder of its own, so that the settings file beside it is ours.
        shutil.copy2(self.args.vistrel, os.path.join(self.app, "vistrel"))
        # Still pictures are decoded by the worker, which the program looks
        # for beside itself.
        shutil.copy2(os.path.join(os.path.dirname(self.args.vistrel), "vistrel-decoder"),
                     os.path.join(self.app, "vistrel-decoder"))
        subprocess.run([self.args.pictures, self.pictures], check=True, timeout=60)
        with open(self.settings, "wb") as file:
            file.write(encode_setup(elsewhere.encode()))
        if self.shots:
            os.makedirs(self.shots, exist_ok=True)
            for old in os.listdir(self.shots):
                os.remove(os.path.join(self.shots, old))
        return home

    def start(self, home):
        self.step("start with a folder given relative to the working folder")
        env = dict(os.environ, DISPLAY=self.x.display, HOME=home, XDG_RUNTIME_DIR=home,
                   XDG_CONFIG_HOME=os.path.join(home, ".config"), QT_QPA_PLATFORM="xcb")
        env.pop("WAYLAND_DISPLAY", None)
        with open(self.log, "wb") as log:
            self.process = subprocess.Popen([os.path.join(self.app, "vistrel"), "pics"],
                                            cwd=self.work, env=env, stdout=log,
                                            stderr=subprocess.STDOUT)

        self.step("the splash comes first, then the main window at the stored size")
        splash = poll("the splash", lambda: [w for w in self.x.visible_windows("Vistrel")
                                             if self.x.geometry(w)[2:] == SPLASH])[0]
        self.save(self.painted_shot(splash), "splash.png")
        self.window = poll("the main window",
                           lambda: [w for w in self.x.visible_windows("Vistrel")
                                    if w != splash and self.x.geometry(w)
                                    and self.x.geometry(w)[2] > SPLASH[0]])[0]
        poll("the splash to go", lambda: splash not in self.x.visible_windows("Vistrel"))
        size = self.x.geometry(self.window)[2:]
        assert size == WINDOW, f"the main window is {size}, stored {WINDOW}"
        self.step("the tree shows the folder selected")
        poll("the selected folder in sight in the tree",
             lambda: self.region(TREE).share_of(HIGHLIGHT, tolerance=8) > 0.01)

    def browse(self):
        self.step("the list holds the folder's pictures: the last one is yellow.tiff")
        self.click(LIST_EMPTY)
        self.keys(self.window, "End")
        self.wait_preview("yellow", "yellow.tiff", share=0.2)
        last = poll("the highlight of the last row", self.highlighted_row_top)
        self.keys(self.window, "Home")
        self.wait_preview("grey", "the hidden file, first in the list", share=0.2)
        first = poll("the highlight of the first row",
                     lambda: (top := self.highlighted_row_top()) and top != last and top)
        pitch = (last[0] - first[0]) / (len(ROWS) - 1)

        def row(name):
            return LIST_PROBE_X, round(first[0] + ROWS.index(name) * pitch + first[1] / 2)

        self.step("a filter change: PNG only, where the last one is red.png")
        self.choose_filter(["Down"] * PNG_FILTER_INDEX)
        self.click(LIST_EMPTY)
        self.keys(self.window, "End")
        self.wait_preview("red", "red.png", share=0.2)
        self.step("the corrupt file and the hidden file, with the keyboard")
        self.keys(self.window, "Up")            # broken.png
        self.keys(self.window, "Up")            # .hidden.png
        self.wait_preview("grey", "the hidden file", share=0.2)
        self.step("back to all supported formats")
        self.choose_filter(["Home"])

        self.step("a click on a still image: the preview and the status bar")
        empty_panels = [self.region(p).dark_pixels() for p in PANELS]
        self.click(row("green.jpg"))
        self.wait_preview("green", "green.jpg", share=0.2)
        panels = [self.region(p).dark_pixels() for p in PANELS]
        assert panels[0] > 0 and panels[1] > 0, f"name and size panels empty: {panels}"
        assert panels[2] == 0, "the frames panel shows text for a still image"
        self.click(row("blue.bmp"))
        self.wait_preview("blue", "blue.bmp", share=0.2)
        poll("the status bar to name the new file",
             lambda: [self.region(p).dark_pixels() for p in PANELS] != panels)
        self.save(self.window_shot(), "main-still.png")
        assert empty_panels != panels, "the status bar did not change"
        if self.args.display_steps:
            self.full_view()

        self.step("a click on the GIF")
        self.click(row("anim.gif"))
        self.wait_preview("magenta", "the GIF's first frame")
        if self.args.display_steps:
            self.step("the GIF plays: both frames show, and the status bar counts frames")
            self.wait_preview("cyan", "the GIF's second frame")
            self.wait_preview("magenta", "the GIF's first frame again")
            poll("the frame count in the status bar",
                 lambda: self.region(PANELS[2]).dark_pixels() > 0)
        self.save(self.window_shot(), "main-gif.png")

    def full_view(self):
        self.step("Enter opens the full view")
        before = set(self.x.program_windows("vistrel"))
        self.keys(self.window, "Return")
        view = poll("the full view",
                    lambda: sorted(set(self.x.program_windows("vistrel")) - before))[0]
        # The program asks for a full-screen window; with no window manager here
        # nobody acts on that, so the walkthrough does what one would, and moves
        # it about as painted_shot explains.
        width, height = self.x.size
        self.x.xdotool("windowsize", "--sync", view, width, height)
        self.x.xdotool("windowmove", "--sync", view, 40, 40)
        self.x.xdotool("windowmove", "--sync", view, 0, 0)

        def shown():
            shot = self.window_shot(view)
            # Drawn over the whole screen (no trace of the main window's face
            # left), with the picture in it.
            return (shot.share_of(WINDOW_FACE, tolerance=4) < 0.02
                    and shot.share_of(COLOURS["blue"]) > 0.03 and shot)
        shot = poll("the full view to show blue.bmp", shown)
        self.save(shot, "fullview.png")
        self.step("Right, Right in the full view: past broken.png to green.jpg")
        self.keys(view, "Right")
        self.keys(view, "Right")
        shot = poll("the full view to show green.jpg",
                    lambda: (shot := self.window_shot(view)).share_of(COLOURS["green"]) > 0.03
                    and shot.share_of(COLOURS["blue"]) < 0.01 and shot)
        self.save(shot, "fullview-stepped.png")
        self.step("Left goes back, Space forward again; Esc leaves the list on green.jpg")
        self.keys(view, "Left")
        self.keys(view, "Left")
        poll("the full view to show blue.bmp again",
             lambda: self.window_shot(view).share_of(COLOURS["blue"]) > 0.03)
        self.keys(view, "space")
        self.keys(view, "space")
        poll("the full view to show green.jpg again",
             lambda: self.window_shot(view).share_of(COLOURS["green"]) > 0.03)
        self.keys(view, "Escape")
        poll("the full view to close", lambda: view not in self.x.program_windows("vistrel"))
        self.wait_preview("green", "green.jpg, where the full view was left", share=0.2)
        self.alive()

    def options(self):
        self.step("Options: tick 'Start browser in Thumbnail View' and Apply")
        with open(self.settings, "rb") as file:
            before = file.read()
        self.click(OPTIONS_BUTTON)
        dialog = poll("the Options dialog", lambda: self.x.visible_windows("Options"))[0]
        self.save(self.painted_shot(dialog, nudge=True), "options.png")
        self.keys(dialog, "alt+t", "alt+a")
        applied = poll("Apply to write the settings",
                       lambda: (data := open(self.settings, "rb").read()) != before and data)
        assert struct.unpack_from("<h", applied, 2)[0] == -1, "Apply did not store the choice"
        self.keys(dialog, "Escape")
        poll("the Options dialog to close", lambda: not self.x.visible_windows("Options"))

    def exit(self):
        self.step("Esc asks before quitting; Yes ends the program")
        self.keys(self.window, "Escape")
        box = poll("the question", lambda: self.x.visible_windows("Confirm Exit"))[0]
        self.keys(box, "y")
        status = poll("the program to end", lambda: self.process.poll() is not None
                      and (self.process.returncode,), timeout=60)[0]
        output = self.output()
        assert status == 0, f"vistrel ended with status {status}:\n{output}"
        for sign in ("AddressSanitizer", "LeakSanitizer", "runtime error:"):
            assert sign not in output, f"the sanitizers reported:\n{output}"

    def check_settings(self):
        self.step("the settings file: size, state, choices and the folder browsed")
        with open(self.settings, "rb") as file:
            data = file.read()
        fields = struct.unpack_from("<7h2Bh", data)
        assert fields[0] == -1 and fields[1] == -1, f"start choices {fields[:2]}"
        assert fields[5:7] == (WIDTH_TWIPS, HEIGHT_TWIPS), f"size {fields[5:7]}"
        assert fields[9] == 0, f"window state {fields[9]}"
        (length,) = struct.unpack_from("<H", data, 18)
        assert len(data) == 20 + length, f"{len(data)} bytes for a path of {length}"
        last_path = data[20:]
        folder = last_path.split(b"\0")[0]
        assert folder.rstrip(b"/") == os.fsencode(self.pictures), f"LastPath {folder!r}"
        if len(folder) < 259:
            assert length == 260 and last_path[len(folder) + 1:] == b" " * (259 - len(folder)), \
                "LastPath is not the folder, a NUL and spaces to 260"

    def run(self):
        home = self.prepare()
        try:
            self.start(home)
            self.browse()
            self.options()
            self.exit()
        except AssertionError:
            if self.shots:  # what the screen showed, for the one who reads the failure
                self.x.screenshot().save_png(os.path.join(self.shots, "failure.png"))
            raise
        finally:
            if self.process is not None and self.process.poll() is None:
                self.process.kill()
                self.process.wait()
        self.check_settings()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--vistrel", required=True, help="the vistrel executable")
    parser.add_argument("--pictures", required=True, help="the walkthrough_pictures tool")
    parser.add_argument("--screenshots", help="folder for the screenshots taken")
    parser.add_argument("--display-steps", action="store_true",
                        help="walk through the full view and the GIF animation too")
    args = parser.parse_args()
    try:
        x = XServer()
    except Skip as why:
        print(f"SKIP: the walkthrough needs an X server: {why}")
        return 77
    work = tempfile.mkdtemp(prefix="vistrel-walkthrough-")
    try:
        Walkthrough(x, args, work).run()
    except AssertionError as failure:
        print(f"FAIL: {failure}")
        return 1
    finally:
        x.close()
        shutil.rmtree(work, ignore_errors=True)
    print("walkthrough passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
