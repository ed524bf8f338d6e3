"""A second product's installer in a real window: another maker, a "_" in the name, another
version and two formats only. It shows two rows, installs exactly its bundles, writes its
maker's settings file and mails its maker's support address.

usage: test_second_product.py FH_INSTALLER ARTEFACT_DIR KIT_DIR
"""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import InstallerWindowTest, bundle_matches_archive, close_to, settle  # noqa: E402

EXE, ARTEFACTS, KIT = (sys.argv[1:4] + [None] * 3)[:3]

BLACK = (0x11, 0x11, 0x11)
GREEN = (0x86, 0xCF, 0x7A)
YELLOW = (0xD3, 0xC5, 0x5F)


class SecondProductWindowTest(InstallerWindowTest):
    exe = EXE
    artefacts = ARTEFACTS
    centres = {"VST3": (159, 210), "CLAP": (441, 210), "AAX slot": (159, 282), "SELECT_ALL": (519, 147),
               "INSTALL": (546, 471), "SUPPORT": (261, 471), "MAIL": (90, 240), "nowhere": (300, 380)}

    def setUp(self):
        super().setUp()
        # The maker's own settings folder, where its installers share one file.
        self.settings = os.path.join(self.prefix, "drive_c", "ProgramData", "Brackwater")
        os.makedirs(self.settings)
        self.record_opened_links()

    def test_two_rows_its_bundles_its_maker(self):
        self.start()
        self.shot("second-product-start.png")
        # Two rows; where AAX would be, only the background.
        self.assertNotEqual(self.pixel(self.centres["VST3"]), BLACK)
        self.assertNotEqual(self.pixel(self.centres["CLAP"]), BLACK)
        self.assertEqual(self.pixel(self.centres["AAX slot"]), BLACK)

        with open(os.path.join(self.settings, "KitwardenSettings.txt"), encoding="utf-8") as f:
            settings = f.read()
        self.assertIn('Important_Note:="The folders every Brackwater installer uses. Edit them with care."', settings)

        self.click("SELECT_ALL")
        # SELECT ALL selects what the product carries: nothing appears in the empty slot.
        self.assertTrue(self.eventually(lambda: close_to(self.pixel((24, 210)), YELLOW)))
        self.assertEqual(self.pixel(self.centres["AAX slot"]), BLACK)
        self.click("INSTALL")
        self.assertTrue(self.eventually(lambda: any(close_to(p, GREEN) for p in self.pixels(24, 168, 552, 228))),
                        "no success")
        self.shot("second-product-success.png")

        for fmt in ("VST3", "CLAP"):
            self.assertTrue(bundle_matches_archive(self.common, KIT, fmt, compare_content=True), fmt)
        self.assertTrue(os.path.isfile(os.path.join(self.common, "VST3", "Tidal Echo.vst3", "Contents", "x86_64-win",
                                                    "Tidal Echo.vst3")))
        self.assertTrue(os.path.isfile(os.path.join(self.common, "CLAP", "Tidal Echo.clap")))
        self.assertFalse(os.path.exists(os.path.join(self.common, "Avid")))

        self.click("SUPPORT")
        settle(0.5)
        self.click("MAIL")
        self.assertTrue(self.eventually(lambda: len(self.opened()) >= 1), self.opened())
        self.assertTrue(self.opened()[0].startswith("mailto:help@brackwater.example?subject=Tidal%20Echo%20help&body="),
                        self.opened())
        self.close_and_expect_clean_exit()


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
