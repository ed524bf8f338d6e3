"""The installer doing its job in a real window, driven as a user would with xdotool.

usage: test_main_view.py FH_INSTALLER ARTEFACT_DIR INSTALL_TOOL RESOURCES_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import XSession, settle  # noqa: E402

EXE, ARTEFACTS, TOOL, RESOURCES = (sys.argv[1:5] + [None] * 4)[:4]

FOLDERS = {"VST3": "VST3", "CLAP": "CLAP", "AAX": "Avid/Audio/Plug-Ins"}
ARCHIVES = {"VST3": "vst3.zip", "CLAP": "clap.zip", "AAX": "aax.zip"}
INDEX = {"VST3": 0, "CLAP": 1, "AAX": 2}

# Centres of the controls at 600 x 600, in window coordinates.
CENTRE = {"VST3": (159, 210), "CLAP": (441, 210), "AAX": (159, 282), "SELECT_ALL": (519, 147),
          "INSTALL": (546, 471), "EULA": (54, 471)}

BLACK = (0x11, 0x11, 0x11)
YELLOW = (0xD3, 0xC5, 0x5F)
GREEN = (0x86, 0xCF, 0x7A)


def over_black(rgb, alpha):
    return tuple(round(c * alpha + b * (1 - alpha)) for c, b in zip(rgb, BLACK))


GREY = (0xAA, 0xA6, 0xA6)


def close_to(a, b, tolerance=3):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


class MainViewWindowTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="kitwarden-view-")
        self.prefix = os.path.join(self.root, "prefix")
        self.common = os.path.join(self.prefix, "drive_c", "Program Files", "Common Files")
        os.makedirs(os.path.join(self.prefix, "drive_c", "ProgramData", "Fernhollow"))
        os.makedirs(ARTEFACTS, exist_ok=True)
        self.session = XSession()

    def tearDown(self):
        self.session.stop()
        shutil.rmtree(self.root, ignore_errors=True)

    def start(self):
        self.session.start(EXE, {"WINEPREFIX": self.prefix, "TMPDIR": self.root})
        self.window = self.session.find_window("fh_installer")
        settle(0.8)
        self.origin = self.session.geometry(self.window)[:2]

    def at(self, point):
        return self.origin[0] + point[0], self.origin[1] + point[1]

    def move_to(self, name_or_point):
        x, y = self.at(CENTRE[name_or_point] if isinstance(name_or_point, str) else name_or_point)
        self.session.xdotool("mousemove", str(x), str(y))
        settle(0.3)

    def click(self, name):
        self.move_to(name)
        self.session.xdotool("click", "1")
        settle(0.4)

    def pixel(self, point):
        x, y = self.at(point)
        image = self.session.dpy.screen().root.get_image(x, y, 1, 1, 2, 0xFFFFFFFF)  # ZPixmap
        b, g, r = image.data[0], image.data[1], image.data[2]
        return r, g, b

    def region(self, x, y, w, h):
        rx, ry = self.at((x, y))
        return self.session.dpy.screen().root.get_image(rx, ry, w, h, 2, 0xFFFFFFFF).data

    def shot(self, name):
        self.session.screenshot(os.path.join(ARTEFACTS, name))

    def bundle_matches_archive(self, fmt):
        folder = os.path.join(self.common, FOLDERS[fmt])
        with zipfile.ZipFile(os.path.join(RESOURCES, ARCHIVES[fmt])) as z:
            for info in z.infolist():
                path = os.path.join(folder, *[p for p in info.filename.split("\\") if p])
                if info.filename.endswith("\\"):
                    if not os.path.isdir(path):
                        return False
                elif not os.path.isfile(path) or os.path.getsize(path) != info.file_size:
                    return False
        return True

    def test_select_and_install_all_formats(self):
        self.start()
        self.shot("view-start.png")
        help_before = self.region(24, 540, 552, 18)

        # The CLAP row's outline comes and goes with its clicks.
        edge = (306, 210)
        self.assertFalse(close_to(self.pixel(edge), YELLOW))
        self.click("CLAP")
        self.assertTrue(close_to(self.pixel(edge), YELLOW), self.pixel(edge))
        self.click("CLAP")
        self.assertFalse(close_to(self.pixel(edge), YELLOW))

        # Hovering a row brightens it and changes the help line; leaving empties the line.
        self.move_to("VST3")
        self.assertTrue(close_to(self.pixel((87, 210)), over_black(GREY, 0.5)), self.pixel((87, 210)))
        help_hovered = self.region(24, 540, 552, 18)
        self.assertNotEqual(help_hovered, help_before)
        self.move_to((300, 380))
        self.assertTrue(close_to(self.pixel((87, 210)), over_black(GREY, 0.35)))
        blank = self.region(24, 540, 552, 18)
        self.assertEqual(len(set(blank[i:i + 3] for i in range(0, len(blank), 4))), 1, "help line not empty")

        # Hovered and pressed extras boxes.
        self.move_to("EULA")
        self.assertTrue(close_to(self.pixel((30, 471)), over_black(GREY, 0.75)), self.pixel((30, 471)))
        self.session.xdotool("mousedown", "1")
        settle(0.3)
        self.assertTrue(close_to(self.pixel((30, 471)), GREEN), self.pixel((30, 471)))
        self.shot("view-eula-pressed.png")
        self.move_to((300, 380))
        self.session.xdotool("mouseup", "1")
        settle(0.3)

        self.click("SELECT_ALL")
        for fmt in ("VST3", "CLAP", "AAX"):
            x, y = CENTRE[fmt]
            self.assertTrue(close_to(self.pixel((x - 135, y)), YELLOW), fmt)
        self.shot("view-all-selected.png")

        self.click("INSTALL")
        settle(0.5)
        for fmt in ("VST3", "CLAP", "AAX"):
            self.assertTrue(self.bundle_matches_archive(fmt), fmt)

        self.shot("view-success.png")
        message = self.region(24, 168, 552, 228)
        pixels = {message[i:i + 3] for i in range(0, len(message), 4)}
        self.assertTrue(any(close_to((p[2], p[1], p[0]), GREEN) for p in pixels), "no green install icon")

        # The rows and their click areas are gone: a click where CLAP was changes nothing.
        self.click("CLAP")
        self.assertTrue(close_to(self.pixel(edge), BLACK))

        self.session.close(self.window)
        self.assertEqual(self.session.wait_exit(), 0)

    def test_shift_click_uninstalls_the_selected_formats(self):
        for fmt in ("VST3", "AAX"):
            subprocess.run([TOOL, "install", os.path.join(self.common, FOLDERS[fmt]), str(INDEX[fmt])],
                           check=True, stdout=subprocess.DEVNULL)
        self.start()
        # Present bundles start selected; AAX is deselected to keep it.
        self.click("AAX")
        self.move_to("INSTALL")
        label_before = self.region(480, 486, 120, 40)
        self.session.xdotool("keydown", "shift")
        settle(0.4)
        label_shift = self.region(480, 486, 120, 40)
        self.shot("view-shift-held.png")
        self.assertNotEqual(label_before, label_shift, "UNINSTALL label did not appear")

        self.session.xdotool("click", "1")
        settle(0.5)
        self.session.xdotool("keyup", "shift")
        settle(0.3)

        self.assertFalse(os.path.exists(os.path.join(self.common, "VST3", "QuernfieldReverb3.vst3")))
        self.assertTrue(self.bundle_matches_archive("AAX"))
        self.shot("view-uninstalled.png")
        self.session.close(self.window)
        self.assertEqual(self.session.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
