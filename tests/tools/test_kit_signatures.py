"""The kit and Authenticode: an unsigned plug-in binary ships with a warning, a signed one
without, and one changed after signing stops the build.

usage: test_kit_signatures.py KW_KIT SOURCE_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from test_ca import make_ca, run  # noqa: E402

KIT, SOURCE = (sys.argv[1:3] + [None] * 2)[:2]


class KitSignatures(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="kitwarden-kit-signatures-")
        make_ca(self.dir)
        r = run("/usr/bin/python3", os.path.join(SOURCE, "tools", "make_test_product.py"), os.path.join(self.dir, "p"))
        self.assertEqual(r.returncode, 0, r.stdout)
        self.product = os.path.join(self.dir, "p", "products", "tidal-echo")
        bundles = os.path.join(self.product, "bundles")
        self.binaries = [os.path.join(bundles, "Tidal Echo.vst3", "Contents", "x86_64-win", "Tidal Echo.vst3"),
                         os.path.join(bundles, "Tidal Echo.clap")]

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def kit(self):
        return subprocess.run([KIT, self.product, os.path.join(self.dir, "out")], stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True)

    def sign_all(self):
        for path in self.binaries:
            r = run("osslsigncode", "sign", "-pkcs12", os.path.join(self.dir, "maker.p12"),
                    "-readpass", os.path.join(self.dir, "password"), "-h", "sha256", "-in", path, "-out", path + ".signed")
            self.assertEqual(r.returncode, 0, r.stdout)
            os.replace(path + ".signed", path)

    def test_unsigned_binaries_are_warned_about_and_still_ship(self):
        r = self.kit()
        self.assertEqual(r.returncode, 0, r.stderr)
        warnings = [line for line in r.stderr.splitlines() if line.startswith("kit: warning: ")]
        self.assertEqual(len(warnings), 2, r.stderr)
        self.assertTrue(all("carries no Authenticode signature" in w for w in warnings), warnings)

    def test_signed_binaries_pass_and_a_changed_one_stops_the_build(self):
        self.sign_all()
        r = self.kit()
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertNotIn("warning", r.stderr)

        # One byte of the code changed after signing.
        with open(self.binaries[1], "r+b") as f:
            f.seek(0x400)
            byte = f.read(1)
            f.seek(0x400)
            f.write(bytes([byte[0] ^ 0xff]))
        r = self.kit()
        self.assertEqual(r.returncode, 1)
        self.assertIn("has an Authenticode signature that does not match it: the file was changed after signing. "
                      "Sign it again.", r.stderr)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
