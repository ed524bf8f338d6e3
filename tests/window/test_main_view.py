"""The installer doing its job in a real window, driven as a user would with xdotool.

usage: test_main_view.py FH_INSTALLER ARTEFACT_DIR INSTALL_TOOL RESOURCES_DIR
"""
import os
import pwd
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import FORMAT_FOLDERS as FOLDERS, InstallerWindowTest, bundle_matches_archive, close_to, settle  # noqa: E402

EXE, ARTEFACTS, TOOL, RESOURCES = (sys.argv[1:5] + [None] * 4)[:4]

INDEX = {"VST3": 0, "CLAP": 1, "AAX": 2}

BLACK = (0x11, 0x11, 0x11)
GREY = (0xAA, 0xA6, 0xA6)
YELLOW = (0xD3, 0xC5, 0x5F)
GREEN = (0x86, 0xCF, 0x7A)
HELP_LINE = (24, 540, 552, 18)
INSTALL_LABEL = (480, 486, 120, 40)


def over_black(rgb, alpha):
    return tuple(round(c * alpha + b * (1 - alpha)) for c, b in zip(rgb, BLACK))


class MainViewWindowTest(InstallerWindowTest):
    exe = EXE
    artefacts = ARTEFACTS
    # Centres of the controls at 600 x 600.
    centres = {"VST3": (159, 210), "CLAP": (441, 210), "AAX": (159, 282), "SELECT_ALL": (519, 147),
               "INSTALL": (546, 471), "EULA": (54, 471), "nowhere": (300, 380)}

    def bundle_matches_archive(self, fmt):
        return bundle_matches_archive(self.common, RESOURCES, fmt)

    def test_select_and_install_all_formats(self):
        self.start()
        self.shot("view-start.png")
        help_before = self.pixels(*HELP_LINE)

        # The CLAP row's outline comes and goes with its clicks.
        edge = (306, 210)
        self.assertFalse(close_to(self.pixel(edge), YELLOW))
        self.click("CLAP")
        self.assertTrue(self.eventually(lambda: close_to(self.pixel(edge), YELLOW)), self.pixel(edge))
        self.click("CLAP")
        self.assertTrue(self.eventually(lambda: not close_to(self.pixel(edge), YELLOW)))

        # Hovering a row brightens it and changes the help line; leaving empties the line.
        self.move_to("VST3")
        self.assertTrue(self.eventually(lambda: close_to(self.pixel((87, 210)), over_black(GREY, 0.5))),
                        self.pixel((87, 210)))
        self.assertTrue(self.eventually(lambda: self.pixels(*HELP_LINE) != help_before))
        self.move_to("nowhere")
        self.assertTrue(self.eventually(lambda: close_to(self.pixel((87, 210)), over_black(GREY, 0.35))))
        self.assertTrue(self.eventually(lambda: set(self.pixels(*HELP_LINE)) == {BLACK}), "help line not empty")

        # Hovered and pressed extras boxes.
        self.move_to("EULA")
        self.assertTrue(self.eventually(lambda: close_to(self.pixel((30, 471)), over_black(GREY, 0.75))),
                        self.pixel((30, 471)))
        self.session.xdotool("mousedown", "1")
        self.assertTrue(self.eventually(lambda: close_to(self.pixel((30, 471)), GREEN)), self.pixel((30, 471)))
        self.shot("view-eula-pressed.png")
        self.move_to("nowhere")
        self.session.xdotool("mouseup", "1")
        settle(0.3)

        self.click("SELECT_ALL")
        for fmt in ("VST3", "CLAP", "AAX"):
            x, y = self.centres[fmt]
            self.assertTrue(self.eventually(lambda: close_to(self.pixel((x - 135, y)), YELLOW)), fmt)
        self.shot("view-all-selected.png")

        self.click("INSTALL")
        self.assertTrue(self.eventually(lambda: any(close_to(p, GREEN) for p in self.pixels(24, 168, 552, 228))),
                        "no green install icon")
        for fmt in ("VST3", "CLAP", "AAX"):
            self.assertTrue(self.bundle_matches_archive(fmt), fmt)
        self.shot("view-success.png")

        # The rows and their click areas are gone: a click where CLAP was changes nothing.
        self.click("CLAP")
        self.assertTrue(close_to(self.pixel(edge), BLACK))
        self.close_and_expect_clean_exit()

    def test_shift_click_uninstalls_the_selected_formats(self):
        for fmt in ("VST3", "AAX"):
            subprocess.run([TOOL, "install", os.path.join(self.common, FOLDERS[fmt]), str(INDEX[fmt])],
                           check=True, stdout=subprocess.DEVNULL)
        self.start()
        # Present bundles start selected; AAX is deselected to keep it.
        self.click("AAX")
        self.move_to("INSTALL")
        label_before = self.pixels(*INSTALL_LABEL)
        self.session.xdotool("keydown", "shift")
        self.assertTrue(self.eventually(lambda: label_before != self.pixels(*INSTALL_LABEL)),
                        "UNINSTALL label did not appear")
        self.shot("view-shift-held.png")

        self.session.xdotool("click", "1")
        vst3 = os.path.join(self.common, "VST3", "QuernfieldReverb3.vst3")
        self.assertTrue(self.eventually(lambda: not os.path.exists(vst3)))
        self.session.xdotool("keyup", "shift")
        settle(0.3)
        self.assertTrue(self.bundle_matches_archive("AAX"))
        self.shot("view-uninstalled.png")
        self.close_and_expect_clean_exit()

    def test_a_shift_released_in_another_window_does_not_uninstall(self):
        subprocess.run([TOOL, "install", os.path.join(self.common, "VST3"), "0"], check=True, stdout=subprocess.DEVNULL)
        self.start()
        self.move_to("INSTALL")
        label_install = self.pixels(*INSTALL_LABEL)
        label_words = self.pixels(INSTALL_LABEL[0], 503, INSTALL_LABEL[2], 22)
        self.session.xdotool("keydown", "shift")
        self.assertTrue(self.eventually(lambda: label_install != self.pixels(*INSTALL_LABEL)),
                        "UNINSTALL label did not appear")

        # Shift goes up while another window has the keyboard: the installer never hears of it.
        other = self.session.dpy.screen().root.create_window(
            0, 0, 100, 100, 0, self.session.dpy.screen().root_depth)
        other.map()
        self.session.dpy.sync()
        self.session.xdotool("mousemove", "50", "50")
        self.session.xdotool("windowfocus", "--sync", str(other.id))
        self.session.xdotool("keyup", "shift")
        settle(0.3)

        # Back over INSTALL the label tells the truth again, and a click installs.
        self.session.xdotool("windowfocus", "--sync", str(self.window.id))
        self.move_to("INSTALL")
        x, y = self.at((self.centres["INSTALL"][0] + 2, self.centres["INSTALL"][1] + 2))
        self.session.xdotool("mousemove", str(x), str(y))
        # The words below the box only: the box's shade follows the hover, not Shift.
        words = (INSTALL_LABEL[0], 503, INSTALL_LABEL[2], 22)
        self.assertTrue(self.eventually(lambda: self.pixels(*words) == label_words),
                        "the label still says UNINSTALL")
        self.session.xdotool("click", "1")
        settle(0.5)
        vst3 = os.path.join(self.common, "VST3", "QuernfieldReverb3.vst3")
        self.assertTrue(os.path.isdir(vst3), "the click uninstalled")
        self.assertTrue(self.bundle_matches_archive("VST3"))
        self.shot("view-stale-shift-installed.png")
        self.close_and_expect_clean_exit()

    def test_install_with_nothing_selected_starts_no_run(self):
        self.start()
        self.move_to("INSTALL")
        hover_help = self.pixels(*HELP_LINE)
        row = self.pixel(self.centres["VST3"])
        for shift in (False, True):
            if shift:
                self.session.xdotool("keydown", "shift")
                settle(0.3)
            self.session.xdotool("click", "1")
            settle(0.4)
            # The help line says what to do instead; the rows are still there and nothing was written.
            self.assertTrue(self.eventually(lambda: self.pixels(*HELP_LINE) != hover_help))
            self.assertEqual(self.pixel(self.centres["VST3"]), row)
            self.assertFalse(os.path.exists(self.common))
            self.shot("view-nothing-selected-shift.png" if shift else "view-nothing-selected.png")
            if shift:
                self.session.xdotool("keyup", "shift")
            hover_help = self.pixels(*HELP_LINE)
        self.close_and_expect_clean_exit()

    def test_without_drive_c_nothing_is_written_anywhere(self):
        # Run as root this would land at the top of the file system if the view ever took
        # the empty drive's children for folders; what was there before is left alone.
        at_root = [os.path.join("/", name) for name in ("VST3", "CLAP", "Avid")]
        before = {path: os.path.lexists(path) for path in at_root}
        cases = [("a prefix not made yet", {"WINEPREFIX": os.path.join(self.root, "not-made")}),
                 ("a relative prefix", {"WINEPREFIX": "relative/prefix"})]
        # An empty home falls back to the user database's, which must hold no prefix either.
        if not os.path.lexists(os.path.join(pwd.getpwuid(os.getuid()).pw_dir, ".wine")):
            cases.append(("no prefix and an empty home", {"WINEPREFIX": "", "HOME": ""}))
        try:
            for name, env in cases:
                with self.subTest(name):
                    self.env.update(env)
                    self.start()
                    self.click("SELECT_ALL")
                    self.click("INSTALL")
                    # The failure screen: no green mark, and nothing written at the root.
                    self.assertTrue(self.eventually(lambda: close_to(self.pixel(self.centres["VST3"]), BLACK)))
                    self.assertFalse(any(close_to(p, GREEN) for p in self.pixels(24, 168, 552, 228)))
                    self.shot("view-no-drive-c.png")
                    for path in at_root:
                        self.assertEqual(os.path.lexists(path), before[path], path)
                    self.close_and_expect_clean_exit()
        finally:
            for path in at_root:
                if not before[path] and os.path.lexists(path):
                    shutil.rmtree(path, ignore_errors=True)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
