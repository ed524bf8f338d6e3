"""The extras in a real window: panels open, close with their X, reopen and cover the view, and the
links reach the system. A stub xdg-open first on PATH records what the program hands over.

usage: test_panels.py FH_INSTALLER ARTEFACT_DIR
"""
import os
import shutil
import sys
import tempfile
import unittest
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import XSession, settle  # noqa: E402

EXE, ARTEFACTS = (sys.argv[1:3] + [None] * 2)[:2]

PRODUCT_PAGE = "https://www.fernhollow.example/collections/software/products/fh002-quernfield-reverb"
DISCORD = "https://discord.gg/fernhollow-example"

CENTRE = {"EULA": (54, 471), "MANUAL": (123, 471), "WEBSITE": (192, 471), "SUPPORT": (261, 471),
          "CHANGES": (330, 471), "X": (552, 33), "DISCORD": (90, 120), "MAIL": (90, 240)}
BLUE = (0x00, 0x94, 0xD8)


def cpu_model():
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return ""


class PanelsWindowTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="kitwarden-panels-")
        self.prefix = os.path.join(self.root, "prefix")
        os.makedirs(os.path.join(self.prefix, "drive_c", "ProgramData", "Fernhollow"))
        stubs = os.path.join(self.root, "bin")
        os.makedirs(stubs)
        self.record = os.path.join(self.root, "opened.txt")
        with open(os.path.join(stubs, "xdg-open"), "w") as f:
            f.write('#!/bin/sh\nprintf "%s\\n" "$1" >> "$KW_OPENED"\n')
        os.chmod(os.path.join(stubs, "xdg-open"), 0o755)
        self.env = {"WINEPREFIX": self.prefix, "TMPDIR": self.root, "KW_OPENED": self.record,
                    "PATH": stubs + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin")}
        os.makedirs(ARTEFACTS, exist_ok=True)
        self.session = XSession()

    def tearDown(self):
        self.session.stop()
        shutil.rmtree(self.root, ignore_errors=True)

    def start(self):
        self.session.start(EXE, self.env)
        self.window = self.session.find_window("fh_installer")
        settle(0.8)
        self.origin = self.session.geometry(self.window)[:2]

    def click(self, name):
        x, y = CENTRE[name]
        self.session.xdotool("mousemove", str(self.origin[0] + x), str(self.origin[1] + y))
        settle(0.2)
        self.session.xdotool("click", "1")
        settle(0.5)
        # Off every control again, so hover colours do not stay behind.
        self.session.xdotool("mousemove", str(self.origin[0] + 300), str(self.origin[1] + 590))
        settle(0.3)

    def pixels(self, x, y, w, h):
        data = self.session.dpy.screen().root.get_image(self.origin[0] + x, self.origin[1] + y, w, h, 2, 0xFFFFFFFF).data
        return [(data[i + 2], data[i + 1], data[i]) for i in range(0, len(data), 4)]

    def main_view_showing(self):
        return self.pixels(300, 2, 1, 1)[0] == BLUE

    def support_on_top(self):
        # A patch of the Discord button's face, away from its icon.
        patch = set(self.pixels(62, 93, 8, 6))
        return len(patch) == 1 and patch.pop() != (0x11, 0x11, 0x11)

    def opened(self):
        if not os.path.exists(self.record):
            return []
        with open(self.record) as f:
            return f.read().splitlines()

    def test_panels_open_close_reopen_and_stack(self):
        self.start()
        self.assertTrue(self.main_view_showing())

        for name in ("EULA", "CHANGES", "SUPPORT"):
            with self.subTest(panel=name):
                self.click(name)
                self.assertFalse(self.main_view_showing(), name + " did not cover the view")
                self.session.screenshot(os.path.join(ARTEFACTS, f"panel-{name.lower()}.png"))
                self.click("X")
                self.assertTrue(self.main_view_showing(), name + " did not close")
                self.click(name)
                self.assertFalse(self.main_view_showing(), name + " did not reopen")
                self.click("X")

        # An open panel takes every click over the view: SUPPORT cannot be reached through the
        # licence panel (stacking panels is covered in-process), and nothing else opens.
        self.click("EULA")
        self.click("SUPPORT")
        self.assertFalse(self.support_on_top())
        self.assertFalse(self.main_view_showing())
        self.session.screenshot(os.path.join(ARTEFACTS, "panel-eula-takes-clicks.png"))
        self.click("X")
        self.assertTrue(self.main_view_showing())
        self.click("SUPPORT")
        self.assertTrue(self.support_on_top())
        self.click("X")
        self.assertTrue(self.main_view_showing())
        self.assertEqual(self.opened(), [])

        self.session.close(self.window)
        self.assertEqual(self.session.wait_exit(), 0)

    def test_links_reach_the_system(self):
        self.start()
        self.click("MANUAL")
        self.click("WEBSITE")
        self.click("SUPPORT")
        self.click("DISCORD")
        self.click("MAIL")
        settle(0.5)

        opened = self.opened()
        self.assertEqual(len(opened), 4, opened)
        self.assertEqual(opened[:3], [PRODUCT_PAGE, PRODUCT_PAGE, DISCORD])

        mail = opened[3]
        head = "mailto:support@fernhollow.example?subject=QuernfieldReverb3%20help&body="
        self.assertTrue(mail.startswith(head), mail)
        body = mail[len(head):]
        # Escaped as parameters: only letters, digits and _ - . ~ ( ) are left as they are.
        self.assertTrue(all(c.isalnum() or c in "_-.~()%" for c in body), body)
        lines = urllib.parse.unquote(body).split("\n")
        self.assertEqual(lines[0], "Product: QuernfieldReverb3 3.2.1")
        self.assertEqual(lines[1], "Operating System: Linux")
        self.assertTrue(lines[2].startswith("Device: "))
        self.assertEqual(lines[3], "CPU: " + cpu_model())
        self.assertEqual(lines[4:], ["", "Your problem, and the steps to recreate it, if possible:", ""])

        self.session.close(self.window)
        self.assertEqual(self.session.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
