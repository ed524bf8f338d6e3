"""The extras in a real window: panels open, close with their X, reopen and cover the view, and
the links reach the system. A stub xdg-open first on PATH records what the program hands over.

usage: test_panels.py FH_INSTALLER ARTEFACT_DIR
"""
import os
import sys
import unittest
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import InstallerWindowTest, settle  # noqa: E402

EXE, ARTEFACTS = (sys.argv[1:3] + [None] * 2)[:2]

PRODUCT_PAGE = "https://www.fernhollow.example/collections/software/products/fh002-quernfield-reverb"
DISCORD = "https://discord.gg/fernhollow-example"
BLUE = (0x00, 0x94, 0xD8)
BLACK = (0x11, 0x11, 0x11)


def cpu_model():
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return ""


class PanelsWindowTest(InstallerWindowTest):
    exe = EXE
    artefacts = ARTEFACTS
    centres = {"EULA": (54, 471), "MANUAL": (123, 471), "WEBSITE": (192, 471), "SUPPORT": (261, 471),
               "CHANGES": (330, 471), "X": (552, 33), "DISCORD": (90, 120), "MAIL": (90, 240),
               "nowhere": (300, 590)}

    def setUp(self):
        super().setUp()
        self.record_opened_links()

    def press(self, name):
        """A click, then the pointer off every control, so no hover colour stays behind."""
        self.click(name)
        self.move_to("nowhere")

    def main_view_showing(self):
        return self.pixel((300, 2)) == BLUE

    def support_on_top(self):
        # A patch of the Discord button's face, away from its icon.
        patch = set(self.pixels(62, 93, 8, 6))
        return len(patch) == 1 and patch.pop() != BLACK

    def test_panels_open_close_reopen_and_cover_the_view(self):
        self.start()
        self.assertTrue(self.main_view_showing())

        for name in ("EULA", "CHANGES", "SUPPORT"):
            with self.subTest(panel=name):
                self.press(name)
                self.assertTrue(self.eventually(lambda: not self.main_view_showing()), name + " did not cover the view")
                self.shot(f"panel-{name.lower()}.png")
                self.press("X")
                self.assertTrue(self.eventually(self.main_view_showing), name + " did not close")
                self.press(name)
                self.assertTrue(self.eventually(lambda: not self.main_view_showing()), name + " did not reopen")
                self.press("X")
                self.assertTrue(self.eventually(self.main_view_showing))

        # An open panel takes every click over the view: SUPPORT cannot be reached through the
        # licence panel (stacking panels is covered in-process), and nothing else opens.
        self.press("EULA")
        self.assertTrue(self.eventually(lambda: not self.main_view_showing()))
        self.press("SUPPORT")
        settle(0.5)
        self.assertFalse(self.support_on_top())
        self.assertFalse(self.main_view_showing())
        self.shot("panel-eula-takes-clicks.png")
        self.press("X")
        self.assertTrue(self.eventually(self.main_view_showing))
        self.press("SUPPORT")
        self.assertTrue(self.eventually(self.support_on_top))
        self.press("X")
        self.assertTrue(self.eventually(self.main_view_showing))
        self.assertEqual(self.opened(), [])
        self.close_and_expect_clean_exit()

    def test_links_reach_the_system(self):
        self.start()
        for name in ("MANUAL", "WEBSITE", "SUPPORT", "DISCORD", "MAIL"):
            self.press(name)
            if name == "SUPPORT":
                self.assertTrue(self.eventually(self.support_on_top))

        self.assertTrue(self.eventually(lambda: len(self.opened()) >= 4), self.opened())
        settle(0.3)
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
        self.close_and_expect_clean_exit()


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
