"""The window stays square when a window manager resizes its frame: the size hints carry an
aspect ratio of 1:1, after start and after every resize, and openbox honours them.

usage: test_window_shape.py FH_INSTALLER ARTEFACT_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import XSession, settle  # noqa: E402
from Xlib import X, protocol  # noqa: E402

EXE = sys.argv[1] if len(sys.argv) > 1 else None
ARTEFACTS = sys.argv[2] if len(sys.argv) > 2 else tempfile.gettempdir()
P_ASPECT = 1 << 7


class WindowShapeTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="kitwarden-window-")
        os.makedirs(os.path.join(self.root, "prefix", "drive_c", "ProgramData", "Fernhollow"))
        os.makedirs(ARTEFACTS, exist_ok=True)
        self.env = {"WINEPREFIX": os.path.join(self.root, "prefix"), "TMPDIR": self.root}
        self.session = XSession()
        self.wm = None

    def tearDown(self):
        if self.wm is not None:
            self.wm.terminate()
            self.wm.wait()
        self.session.stop()
        shutil.rmtree(self.root, ignore_errors=True)

    def square_hints(self, window):
        hints = window.get_wm_normal_hints()
        return (hints is not None and hints.flags & P_ASPECT != 0
                and (hints.min_aspect["num"], hints.min_aspect["denum"]) == (1, 1)
                and (hints.max_aspect["num"], hints.max_aspect["denum"]) == (1, 1))

    def eventually(self, predicate, timeout=15.0):
        """Whether predicate comes true within timeout: a loaded machine answers late."""
        deadline = time.time() + timeout
        while not predicate():
            if time.time() > deadline:
                return False
            settle(0.1)
        return True

    def test_the_hints_carry_the_aspect_after_start_and_after_a_resize(self):
        self.session.start(EXE, self.env)
        window = self.session.find_window("fh_installer")
        self.assertTrue(self.eventually(lambda: self.square_hints(window)), "no aspect after start")

        # The framework rewrites the whole property on every bounds change; the aspect comes back.
        self.session.xdotool("windowsize", str(window.id), "700", "500")
        settle(0.5)
        self.assertTrue(self.eventually(lambda: self.square_hints(window)), "no aspect after a resize")
        self.session.close(window)
        self.assertEqual(self.session.wait_exit(), 0)

    def test_a_resize_by_openbox_ends_square(self):
        if shutil.which("openbox") is None:
            self.skipTest("openbox is not installed")
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.session.env({}),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        check = self.session.dpy.intern_atom("_NET_SUPPORTING_WM_CHECK")
        root = self.session.dpy.screen().root
        self.assertTrue(self.eventually(lambda: root.get_full_property(check, X.AnyPropertyType) is not None),
                        "openbox did not start")

        self.session.start(EXE, self.env)
        window = self.session.find_window("fh_installer")
        self.assertTrue(self.eventually(lambda: self.square_hints(window)))
        # A request reaches only a window openbox manages: wait until it has framed this one.
        extents = self.session.dpy.intern_atom("_NET_FRAME_EXTENTS")
        self.assertTrue(self.eventually(lambda: window.get_full_property(extents, X.AnyPropertyType) is not None),
                        "openbox did not frame the window")
        settle(0.3)

        # The window manager is asked for 800 x 500, as a pager would; it applies the hints itself.
        flags = 1 | (1 << 10) | (1 << 11) | (2 << 12)   # gravity, width, height, from a pager
        request = protocol.event.ClientMessage(
            window=window, client_type=self.session.dpy.intern_atom("_NET_MOVERESIZE_WINDOW"),
            data=(32, [flags, 0, 0, 800, 500]))
        root.send_event(request, event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
        self.session.dpy.sync()

        def resized_square():
            g = window.get_geometry()
            return g.width != 600 and g.width == g.height
        self.assertTrue(self.eventually(resized_square), "size now %r" % (window.get_geometry()._data,))

        # And the view follows: its bottom-right corner dots are drawn at the new size.
        size = window.get_geometry().width
        x, y = window.translate_coords(root, 0, 0).x, window.translate_coords(root, 0, 0).y
        def corner_drawn():
            data = root.get_image(-x + size - 20, -y + size - 20, 20, 20, X.ZPixmap, 0xFFFFFFFF).data
            return all(data[i:i + 3] != b"\xff\xff\xff" for i in range(0, len(data), 4))
        self.assertTrue(self.eventually(corner_drawn), "the view was not laid out at the new size")
        self.session.screenshot(os.path.join(ARTEFACTS, "window-openbox-resized.png"))
        self.session.close(window)
        self.assertEqual(self.session.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
