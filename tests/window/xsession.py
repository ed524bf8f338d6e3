"""Runs the installer in a private Xvfb and drives it as a user would.

Xvfb has no window manager, so closing a window means sending the WM_DELETE_WINDOW client
message ourselves. JUCE only looks up the window manager's atoms, never creates them: without
them it ignores the close message, and some of its requests carry atom 0, which the X server
answers with a fatal error. So they are interned before the program starts.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

from Xlib import X, Xatom, display as xdisplay, protocol

# Shared with the in-process tests' main.
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support", "wm_atoms.txt")) as _atoms:
    WM_ATOMS = [line.strip() for line in _atoms if line.strip()]


class XSession:
    def __init__(self, width=1280, height=1024):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        with os.fdopen(read_fd, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise RuntimeError("Xvfb did not start")
                number += chunk
        self.name = ":" + number.decode().strip()
        self.dpy = xdisplay.Display(self.name)
        for name in WM_ATOMS:
            self.dpy.intern_atom(name)
        self.wm_protocols = self.dpy.intern_atom("WM_PROTOCOLS")
        self.wm_delete = self.dpy.intern_atom("WM_DELETE_WINDOW")
        self.dpy.sync()
        self.proc = None

    def env(self, extra):
        env = dict(os.environ)
        env["DISPLAY"] = self.name
        env.update(extra)
        return env

    def start(self, exe, extra_env=None, args=()):
        self.proc = subprocess.Popen([exe, *args], env=self.env(extra_env or {}))
        return self.proc

    def title_of(self, window):
        """WM_NAME as text; JUCE writes it as UTF8_STRING, which python-xlib does not decode."""
        prop = window.get_full_property(Xatom.WM_NAME, X.AnyPropertyType)
        if prop is None:
            return None
        value = prop.value
        return value.decode("utf-8", "replace") if isinstance(value, bytes) else value

    def find_window(self, title, timeout=20.0):
        """The top-level window whose WM_NAME is title, once it is mapped."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.proc is not None and self.proc.poll() is not None:
                raise RuntimeError(f"program exited early with {self.proc.returncode}")
            # Top-level windows, and under a window manager the clients inside its frames.
            for top in self.dpy.screen().root.query_tree().children:
                try:
                    candidates = [top] + list(top.query_tree().children)
                except Exception:
                    continue
                for w in candidates:
                    try:
                        if self.title_of(w) == title and w.get_attributes().map_state == X.IsViewable:
                            return w
                    except Exception:
                        pass
            time.sleep(0.1)
        raise RuntimeError(f"no window titled {title!r} appeared")

    def geometry(self, window):
        g = window.get_geometry()
        return g.x, g.y, g.width, g.height

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.name, "-window", "root", path], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env({}), check=True,
                              stdout=subprocess.PIPE, text=True).stdout

    def close(self, window):
        event = protocol.event.ClientMessage(window=window, client_type=self.wm_protocols,
                                             data=(32, [self.wm_delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event, event_mask=X.NoEventMask)
        self.dpy.sync()

    def wait_exit(self, timeout=20.0):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            return None

    def stop(self):
        if self.proc is not None and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.dpy.close()
        self.xvfb.terminate()
        self.xvfb.wait()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def settle(seconds=0.5):
    time.sleep(seconds)


# Where each format installs below Common Files, and the archive it comes from.
FORMAT_FOLDERS = {"VST3": "VST3", "CLAP": "CLAP", "AAX": "Avid/Audio/Plug-Ins"}
FORMAT_ARCHIVES = {"VST3": "vst3.zip", "CLAP": "clap.zip", "AAX": "aax.zip"}


def close_to(a, b, tolerance=3):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def bundle_matches_archive(common_files, resources, fmt, compare_content=False):
    """Whether every entry of the format's archive is on disk below common_files: folders as
    folders, files of the same size (and the same bytes, when asked)."""
    folder = os.path.join(common_files, FORMAT_FOLDERS[fmt])
    with zipfile.ZipFile(os.path.join(resources, FORMAT_ARCHIVES[fmt])) as z:
        for info in z.infolist():
            # Either separator: the kit writes "/", older archives "\\".
            path = os.path.join(folder, *[p for p in info.filename.replace("\\", "/").split("/") if p])
            if info.filename.endswith(("\\", "/")):
                if not os.path.isdir(path):
                    return False
            elif not os.path.isfile(path) or os.path.getsize(path) != info.file_size:
                return False
            elif compare_content:
                with open(path, "rb") as f:
                    if f.read() != z.read(info):
                        return False
    return True


class InstallerWindowTest(unittest.TestCase):
    """The installer started in a fresh Wine-style prefix of its own, with helpers to point,
    click and read pixels in window coordinates (the window is the 600 x 600 view)."""

    exe = None
    artefacts = None
    centres = {}

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="kitwarden-window-")
        self.prefix = os.path.join(self.root, "prefix")
        self.common = os.path.join(self.prefix, "drive_c", "Program Files", "Common Files")
        os.makedirs(os.path.join(self.prefix, "drive_c", "ProgramData", "Fernhollow"))
        os.makedirs(self.artefacts, exist_ok=True)
        self.env = {"WINEPREFIX": self.prefix, "TMPDIR": self.root}
        self.session = XSession()

    def tearDown(self):
        self.session.stop()
        shutil.rmtree(self.root, ignore_errors=True)

    def record_opened_links(self):
        """A stub xdg-open first on PATH, recording what the program hands the system."""
        stubs = os.path.join(self.root, "bin")
        os.makedirs(stubs)
        self.record = os.path.join(self.root, "opened.txt")
        with open(os.path.join(stubs, "xdg-open"), "w") as f:
            f.write('#!/bin/sh\nprintf "%s\\n" "$1" >> "$KW_OPENED"\n')
        os.chmod(os.path.join(stubs, "xdg-open"), 0o755)
        self.env.update({"KW_OPENED": self.record,
                         "PATH": stubs + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin")})

    def opened(self):
        if not os.path.exists(self.record):
            return []
        with open(self.record) as f:
            return f.read().splitlines()

    def start(self):
        self.session.start(self.exe, self.env)
        self.window = self.session.find_window("fh_installer")
        settle(0.8)
        self.origin = self.session.geometry(self.window)[:2]

    def at(self, point):
        return self.origin[0] + point[0], self.origin[1] + point[1]

    def move_to(self, name_or_point):
        x, y = self.at(self.centres[name_or_point] if isinstance(name_or_point, str) else name_or_point)
        self.session.xdotool("mousemove", str(x), str(y))
        settle(0.3)

    def click(self, name_or_point):
        self.move_to(name_or_point)
        self.session.xdotool("click", "1")
        settle(0.4)

    def pixels(self, x, y, w, h):
        """RGB tuples of a window region, row by row."""
        rx, ry = self.at((x, y))
        data = self.session.dpy.screen().root.get_image(rx, ry, w, h, X.ZPixmap, 0xFFFFFFFF).data
        return [(data[i + 2], data[i + 1], data[i]) for i in range(0, len(data), 4)]

    def pixel(self, point):
        return self.pixels(point[0], point[1], 1, 1)[0]

    def eventually(self, predicate, timeout=10.0):
        """Whether predicate comes true within timeout: the window answers at its own pace,
        slower on a loaded machine."""
        deadline = time.time() + timeout
        while True:
            if predicate():
                return True
            if time.time() > deadline:
                return False
            time.sleep(0.05)

    def shot(self, name):
        self.session.screenshot(os.path.join(self.artefacts, name))

    def close_and_expect_clean_exit(self):
        self.session.close(self.window)
        self.assertEqual(self.session.wait_exit(), 0)


if __name__ == "__main__" and len(sys.argv) == 4 and sys.argv[1] == "screenshot":
    # tools/start on a machine without a display: show the window, save what it looks like, close it.
    exe, shot = sys.argv[2], sys.argv[3]
    with XSession() as session:
        session.start(exe)
        window = session.find_window("fh_installer")
        settle(1.0)
        session.screenshot(shot)
        session.close(window)
        code = session.wait_exit()
    sys.exit(0 if code == 0 else 1)
