"""The real binary in a private Xvfb: settings file, window shape and title, clean close.

usage: test_shell.py FH_INSTALLER ARTEFACT_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import XSession, settle  # noqa: E402

EXE = sys.argv[1] if len(sys.argv) > 1 else None
ARTEFACTS = sys.argv[2] if len(sys.argv) > 2 else tempfile.gettempdir()

NOTE = ("These are the paths that all Fernhollow installers will use for their respective formats. "
        "Edit them to personal taste, but keep in mind that some formats have specific homes. Use this "
        "feature at your own risk; follow the naming and separator conventions exactly as you see them, "
        "or you could end up with unintended consequences. If you delete this file, the next time you run "
        "the Kitwarden for any FH product, a new one with the default locations will be written.")

EXPECTED_SETTINGS = (
    '<?xml version="1.0" encoding="UTF-8"?>\r\n'
    "\r\n"
    f'<Kitwarden_Settings Important_Note:="{NOTE}"\r\n'
    + " " * 20 + 'CLAP_Path="C:\\Program Files\\Common Files\\CLAP" VST3_Path="C:\\Program Files\\Common Files\\VST3"\r\n'
    + " " * 20 + 'AAX_Path="C:\\Program Files\\Common Files\\Avid\\Audio\\Plug-Ins"/>\r\n').encode("utf-8")


class ShellWindowTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="kitwarden-window-")
        self.prefix = os.path.join(self.root, "prefix")
        self.tmp = os.path.join(self.root, "tmp")
        self.settings_dir = os.path.join(self.prefix, "drive_c", "ProgramData", "Fernhollow")
        os.makedirs(self.settings_dir)
        os.makedirs(self.tmp)
        os.makedirs(ARTEFACTS, exist_ok=True)
        self.session = XSession()

    def tearDown(self):
        self.session.stop()
        shutil.rmtree(self.root, ignore_errors=True)

    def start(self, *args):
        self.session.start(EXE, {"WINEPREFIX": self.prefix, "TMPDIR": self.tmp}, args)
        return self.session.find_window("fh_installer")

    def test_opens_square_writes_settings_and_closes_cleanly(self):
        script = os.path.join(self.tmp, "script.sh")
        with open(script, "w") as f:
            f.write("#!/bin/sh\n")

        window = self.start("--ignored", "arguments")
        settle(1.0)
        x, y, width, height = self.session.geometry(window)
        self.assertEqual((width, height), (600, 600))
        # Centred on the 1280 x 1024 screen.
        self.assertLessEqual(abs(x - (1280 - 600) // 2), 1)
        self.assertLessEqual(abs(y - (1024 - 600) // 2), 1)
        self.session.screenshot(os.path.join(ARTEFACTS, "shell-start.png"))

        with open(os.path.join(self.settings_dir, "KitwardenSettings.txt"), "rb") as f:
            self.assertEqual(f.read(), EXPECTED_SETTINGS)

        self.assertTrue(os.path.isfile(script), "the file is removed at exit, not before")
        self.session.close(window)
        self.assertEqual(self.session.wait_exit(), 0)
        self.assertFalse(os.path.exists(script))

    def test_a_second_copy_runs_alongside_the_first(self):
        first = self.start()
        second = subprocess.Popen([EXE], env=self.session.env({"WINEPREFIX": self.prefix, "TMPDIR": self.tmp}))
        try:
            settle(2.0)
            titled = [w for w in self.session.dpy.screen().root.query_tree().children
                      if self.session.title_of(w) == "fh_installer"]
            self.assertEqual(len(titled), 2)
            self.assertIsNone(self.session.proc.poll())
        finally:
            second.kill()
            second.wait()
        self.session.close(first)
        self.assertEqual(self.session.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
