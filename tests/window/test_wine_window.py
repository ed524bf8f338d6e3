"""The Windows edition in a real window under Wine: installs the three formats with clicks,
uninstalls one with Shift held, shows INSTALL again after Shift went up in another X window,
and closes cleanly.

usage: test_wine_window.py FH_INSTALLER_EXE ARTEFACT_DIR WINE_RUN RESOURCES_DIR

The program runs in a Wine prefix of its own below a temporary folder (a copy of the suite's
throwaway prefix when there is one, which saves making a new one).
"""
import os
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import FORMAT_FOLDERS as FOLDERS, InstallerWindowTest, bundle_matches_archive, close_to, settle  # noqa: E402

EXE, ARTEFACTS, WINE_RUN, RESOURCES = (sys.argv[1:5] + [None] * 4)[:4]

BUNDLES = {"VST3": "QuernfieldReverb3.vst3", "CLAP": "QuernfieldReverb3.clap", "AAX": "QuernfieldReverb3.aaxplugin"}
YELLOW = (0xD3, 0xC5, 0x5F)
GREEN = (0x86, 0xCF, 0x7A)
INSTALL_LABEL = (480, 486, 120, 40)


class WineWindowTest(InstallerWindowTest):
    exe = EXE
    artefacts = ARTEFACTS
    # The same view as on Linux: its layout follows the window's width.
    centres = {"VST3": (159, 210), "CLAP": (441, 210), "AAX": (159, 282), "SELECT_ALL": (519, 147),
               "INSTALL": (546, 471), "nowhere": (300, 380)}

    def setUp(self):
        super().setUp()
        self.prefix = os.path.join(self.root, "wine-prefix")
        suite_prefix = os.environ.get("KW_WINEPREFIX")
        if suite_prefix and os.path.isfile(os.path.join(suite_prefix, "system.reg")):
            shutil.copytree(suite_prefix, self.prefix, symlinks=True)
        self.common = os.path.join(self.prefix, "drive_c", "Program Files", "Common Files")
        self.env = {"KW_WINEPREFIX": self.prefix}

    def tearDown(self):
        self.session.stop()
        # The prefix's own server goes before the prefix does.
        subprocess.run(["wineserver", "-k"], env={**os.environ, "WINEPREFIX": self.prefix},
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(self.root, ignore_errors=True)

    def start(self):
        self.session.start(WINE_RUN, self.env, args=(EXE,))
        self.window = self.session.find_window("fh_installer", timeout=90.0)
        settle(1.5)
        # Under Wine the X window is the client area; place the view by the root.
        geometry = self.window.translate_coords(self.session.dpy.screen().root, 0, 0)
        self.origin = (-geometry.x, -geometry.y)

    def bundle_matches_archive(self, fmt):
        return bundle_matches_archive(self.common, RESOURCES, fmt, compare_content=True)

    def test_install_all_then_uninstall_one_with_shift(self):
        self.start()
        # The view is 600 x 600: the native frame comes round it, not out of it.
        self.assertEqual(tuple(self.session.geometry(self.window)[2:]), (600, 600))
        self.shot("wine-view-start.png")
        for fmt in ("VST3", "CLAP", "AAX"):
            self.assertFalse(os.path.exists(os.path.join(self.common, FOLDERS[fmt], BUNDLES[fmt])), fmt)
            self.click(fmt)
            x, y = self.centres[fmt]
            self.assertTrue(self.eventually(lambda: close_to(self.pixel((x - 135, y)), YELLOW), timeout=15.0),
                            f"{fmt} not selected: {self.pixel((x - 135, y))}")

        self.move_to("nowhere")
        self.click("INSTALL")
        self.assertTrue(self.eventually(lambda: any(close_to(p, GREEN) for p in self.pixels(24, 168, 552, 228)),
                                        timeout=30.0), "no green install icon")
        for fmt in ("VST3", "CLAP", "AAX"):
            self.assertTrue(self.eventually(lambda: self.bundle_matches_archive(fmt)), fmt)
        self.shot("wine-view-success.png")
        self.close_and_expect_clean_exit()

        # Again: the bundles found start selected. Keep CLAP and AAX, uninstall VST3 with Shift.
        self.start()
        self.click("CLAP")
        self.click("AAX")
        self.move_to("INSTALL")
        label_before = self.pixels(*INSTALL_LABEL)
        self.session.xdotool("keydown", "shift")
        self.assertTrue(self.eventually(lambda: label_before != self.pixels(*INSTALL_LABEL), timeout=15.0),
                        "UNINSTALL label did not appear")
        self.shot("wine-view-shift-held.png")
        self.session.xdotool("click", "1")
        vst3 = os.path.join(self.common, "VST3", BUNDLES["VST3"])
        self.assertTrue(self.eventually(lambda: not os.path.exists(vst3), timeout=30.0), "VST3 still installed")
        self.session.xdotool("keyup", "shift")
        settle(0.5)
        self.assertTrue(self.bundle_matches_archive("CLAP"))
        self.assertTrue(self.bundle_matches_archive("AAX"))
        self.shot("wine-view-uninstalled.png")
        self.close_and_expect_clean_exit()

    def test_a_shift_released_in_another_window_shows_install_and_installs(self):
        self.start()
        self.click("VST3")
        self.move_to("INSTALL")
        label_install = self.pixels(*INSTALL_LABEL)
        # The words below the box only: the box's shade follows the hover, not Shift.
        words = (INSTALL_LABEL[0], 503, INSTALL_LABEL[2], 22)
        label_words = self.pixels(*words)
        self.session.xdotool("keydown", "shift")
        self.assertTrue(self.eventually(lambda: label_install != self.pixels(*INSTALL_LABEL), timeout=15.0),
                        "UNINSTALL label did not appear")

        # Shift goes up while an X window outside Wine has the keyboard: Wine never hears of it.
        root = self.session.dpy.screen().root
        other = root.create_window(0, 0, 100, 100, 0, self.session.dpy.screen().root_depth)
        other.map()
        self.session.dpy.sync()
        self.session.xdotool("mousemove", "50", "50")
        self.session.xdotool("windowfocus", "--sync", str(other.id))
        self.session.xdotool("keyup", "shift")
        settle(0.5)

        # Back over INSTALL, the other window still focused, the label tells the truth again,
        # and a click installs.
        # Right where it left: Windows sends no move for a pointer that has not moved.
        self.move_to("INSTALL")
        self.assertTrue(self.eventually(lambda: self.pixels(*words) == label_words, timeout=15.0),
                        "the label still says UNINSTALL")
        self.shot("wine-view-stale-shift.png")
        self.session.xdotool("click", "1")
        self.assertTrue(self.eventually(lambda: self.bundle_matches_archive("VST3"), timeout=30.0),
                        "the click did not install")
        self.close_and_expect_clean_exit()

    def close_and_expect_clean_exit(self):
        self.session.close(self.window)
        self.assertEqual(self.session.wait_exit(timeout=60.0), 0)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
