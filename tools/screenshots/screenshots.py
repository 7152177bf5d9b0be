#!/usr/bin/env python3
"""Takes the README's screenshots of the real program under a private X server.

    screenshots.py --vistrel BUILD/src/app/vistrel --photos BUILD/tools/screenshots/make_photos \
                   --out docs/screenshots

The program runs in a private mount namespace whose root holds only the
system's own folders and a demonstration home with the painted photographs,
so that the folder tree in the pictures shows nothing of the machine that
took them. Needs root (for the namespace), Xvfb, xdotool and xwd."""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "walkthrough"))
from xsession import XServer, poll  # noqa: E402

WINDOW_TWIPS = (16500, 10500)  # 1100 x 700 pixels
HOME = "/home/demo"
FOLDER = HOME + "/Pictures/Landscapes"
WINDOW_FACE = (239, 239, 239)

# Builds the private root and starts the program in it; run by unshare.
NAMESPACE_SCRIPT = r"""
set -e
mount --make-rprivate /
root="$1"; app="$2"; home="$3"; shift 3
mount -t tmpfs vistrel-root "$root"
mkdir -p "$root/usr" "$root/etc" "$root/dev" "$root/proc" "$root/tmp/.X11-unix" "$root/home"
mount --rbind /usr "$root/usr"
mount -t tmpfs vistrel-local "$root/usr/local"
mkdir -p "$root/usr/local/bin"
mount --bind "$app" "$root/usr/local/bin"
mount --rbind /etc "$root/etc"
mount --rbind /dev "$root/dev"
mount -t proc proc "$root/proc"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
for link in bin sbin lib lib64; do [ -e "/usr/$link" ] && ln -s "usr/$link" "$root/$link"; done
mkdir -p "$root/home/demo"
mount --rbind "$home" "$root/home/demo"
exec chroot "$root" "$@"
"""


def encode_setup(last_path):
    """A settings file: start in the last folder, report view, the window size,
    splitters at 50 %, then LastPath."""
    fixed = struct.pack("<7h2Bh", -1, 0, 0, -1, 1, *WINDOW_TWIPS, 40, 50, 0)
    return fixed + struct.pack("<H", len(last_path)) + last_path


class Session:
    def __init__(self, x, args, work):
        self.x, self.args, self.work = x, args, work
        self.app = os.path.join(work, "app")
        self.home = os.path.join(work, "home")
        self.process = None
        self.window = None

    def prepare(self):
        os.makedirs(self.app)
        for name in ("vistrel", "vistrel-decoder"):
            source = os.path.join(os.path.dirname(self.args.vistrel), name)
            if os.path.exists(source):
                shutil.copy2(source, os.path.join(self.app, name))
        with open(os.path.join(self.app, "ztsetup.dat"), "wb") as file:
            file.write(encode_setup(FOLDER.encode()))
        pictures = os.path.join(self.home, "Pictures")
        subprocess.run([self.args.photos, os.path.join(pictures, "Landscapes")], check=True)
        for other in ("Holidays", "Wallpapers"):
            os.makedirs(os.path.join(pictures, other))
        for other in ("Documents", "Music"):
            os.makedirs(os.path.join(self.home, other))

    def start(self):
        root = os.path.join(self.work, "root")
        os.makedirs(root)
        env = {"PATH": "/usr/bin:/bin", "DISPLAY": self.x.display, "HOME": HOME,
               "XDG_RUNTIME_DIR": "/tmp", "QT_QPA_PLATFORM": "xcb", "LANG": "C.UTF-8"}
        command = ["unshare", "--mount", "--fork", "sh", "-c", NAMESPACE_SCRIPT, "namespace",
                   root, self.app, self.home, "/usr/bin/env", "-i",
                   *[f"{k}={v}" for k, v in env.items()], "/usr/local/bin/vistrel", FOLDER]
        self.process = subprocess.Popen(command, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        self.window = poll("the main window", lambda: [
            w for w in self.x.visible_windows("Vistrel")
            if self.x.geometry(w) and self.x.geometry(w)[2] > 900])[0]

    def shot(self):
        return self.x.screenshot().crop(*self.x.geometry(self.window))

    def settle(self, left_only=False):
        """Waits until two screenshots a poll apart are the same (only the left
        pane's where the preview plays an animation): the picture, the
        thumbnails and the tree have arrived. Returns the whole window."""
        last = [None]

        def steady():
            now = self.shot()
            part = now.crop(0, 0, now.width // 2, now.height) if left_only else now
            same = last[0] is not None and not part.differs_from(last[0])
            last[0] = part
            return same and now
        return poll("the window to settle", steady, timeout=60, interval=0.5)

    def key(self, *keys):
        self.x.xdotool("windowfocus", "--sync", self.window)
        self.x.key(*keys)

    def run(self):
        out = self.args.out
        os.makedirs(out, exist_ok=True)
        gx, gy, gw, gh = self.x.geometry(self.window)
        # A click into the list (lower left pane), then the keyboard.
        self.x.click(gx + gw // 4, gy + int(gh * 0.62))
        self.key("Home", "Down")
        self.settle().save_png(os.path.join(out, "main-still.png"))
        self.key("Return")
        before = {self.window}
        view = poll("the full view", lambda: sorted(
            set(self.x.program_windows("vistrel")) - before))[0]
        width, height = self.x.size
        self.x.xdotool("windowsize", "--sync", view, width, height)
        self.x.xdotool("windowmove", "--sync", view, 0, 0)
        poll("the full view to draw", lambda: (
            s := self.x.screenshot()).share_of(WINDOW_FACE, tolerance=4) < 0.02 and s,
             timeout=30).save_png(os.path.join(out, "fullview.png"))
        self.x.xdotool("windowfocus", "--sync", view)
        self.x.key("Escape")
        poll("the full view to close", lambda: view not in self.x.program_windows("vistrel"))
        self.key("End")
        first = self.shot()
        poll("the animation to play", lambda: (s := self.shot()).differs_from(first) and s,
             timeout=30).save_png(os.path.join(out, "main-gif.png"))
        # The View button switches to large icons (fourth button of the toolbar),
        # seen from the top of the folder.
        self.key("Home")
        self.x.click(gx + 190, gy + 28)
        self.settle(left_only=True).save_png(os.path.join(out, "main-icons.png"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--vistrel", required=True)
    parser.add_argument("--photos", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    if os.geteuid() != 0:
        print("screenshots.py needs root for its private mount namespace", file=sys.stderr)
        return 2
    args.vistrel, args.photos, args.out = map(os.path.abspath,
                                              (args.vistrel, args.photos, args.out))
    x = XServer(1280, 800)
    work = tempfile.mkdtemp(prefix="vistrel-shots-")
    session = Session(x, args, work)
    try:
        session.prepare()
        session.start()
        session.run()
    finally:
        if session.process and session.process.poll() is None:
            os.killpg(session.process.pid, 9)
            session.process.wait()
        x.close()
        shutil.rmtree(work, ignore_errors=True)
    print(f"screenshots written to {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
