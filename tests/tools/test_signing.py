"""tools/sign_exe.sh with a throwaway CA and code-signing certificate made here: a signed file
verifies against the CA, a changed byte in its embedded data does not, signing twice gives the
same bytes, and a wrong password or an expired certificate leaves no signed file behind.

usage: test_signing.py SIGN_SCRIPT
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from test_ca import make_ca  # noqa: E402

SIGN = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "tools", "sign_exe.sh")
CC = "x86_64-w64-mingw32-gcc"
MARKER = b"KITWARDEN-TEST-PAYLOAD-"
# The signing time: just after the test CA comes into being.
EPOCH = str(int(time.time()) + 5)


def run(*args, **kw):
    return subprocess.run(list(args), stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)


class Signing(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        for tool in ("openssl", "osslsigncode", CC):
            if shutil.which(tool) is None:
                raise unittest.SkipTest(tool + " is missing (tools/setup.sh installs it)")
        cls.dir = tempfile.mkdtemp(prefix="kitwarden-signing-")
        d = cls.dir
        make_ca(d)

        # A small Windows program carrying a payload, as the installer carries its archives.
        src = os.path.join(d, "app.c")
        with open(src, "w") as f:
            f.write('const char payload[] = "%s0123456789abcdef0123456789abcdef";\n'
                    "int main(void) { return payload[3]; }\n" % MARKER.decode())
        r = run(CC, "-O1", "-s", "-Wl,--no-insert-timestamp", "-o", os.path.join(d, "app.exe"), src)
        assert r.returncode == 0, r.stdout

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    def sign(self, out, p12="maker.p12", password="password"):
        env = dict(os.environ, KW_SIGN_PKCS12=os.path.join(self.dir, p12),
                   KW_SIGN_PASSWORD_FILE=os.path.join(self.dir, password),
                   KW_SIGN_CA_FILE=os.path.join(self.dir, "ca.pem"), SOURCE_DATE_EPOCH=EPOCH)
        env.pop("KW_SIGN_TIMESTAMP_URL", None)
        return run("bash", SIGN, os.path.join(self.dir, "app.exe"), os.path.join(self.dir, out),
                   "Tidal Echo", "https://www.brackwater.example/plugins/tidal-echo", env=env)

    def verify(self, path):
        return run("osslsigncode", "verify", "-CAfile", os.path.join(self.dir, "ca.pem"), "-time", EPOCH, "-in", path)

    def test_signed_verifies_and_a_changed_payload_byte_does_not(self):
        r = self.sign("signed.exe")
        self.assertEqual(r.returncode, 0, r.stdout)
        signed = os.path.join(self.dir, "signed.exe")
        self.assertEqual(self.verify(signed).returncode, 0)
        info = run("osslsigncode", "extract-signature", "-in", signed, "-out", os.path.join(self.dir, "sig.der"))
        self.assertEqual(info.returncode, 0, info.stdout)

        with open(signed, "rb") as f:
            data = bytearray(f.read())
        at = data.find(MARKER)
        self.assertGreater(at, 0)
        data[at + len(MARKER) + 4] ^= 0x01
        tampered = os.path.join(self.dir, "tampered.exe")
        with open(tampered, "wb") as f:
            f.write(data)
        self.assertNotEqual(self.verify(tampered).returncode, 0)

    def test_signing_twice_gives_the_same_bytes(self):
        self.assertEqual(self.sign("one.exe").returncode, 0)
        self.assertEqual(self.sign("two.exe").returncode, 0)
        with open(os.path.join(self.dir, "one.exe"), "rb") as a, open(os.path.join(self.dir, "two.exe"), "rb") as b:
            self.assertEqual(a.read(), b.read())

    def test_failures_say_why_and_leave_no_file(self):
        cases = [("a wrong password", "maker.p12", "wrong", "wrong password"),
                 ("an expired certificate", "expired.p12", "password", "has expired")]
        for name, p12, password, said in cases:
            with self.subTest(name):
                out = "failed-" + p12 + ".exe"
                r = self.sign(out, p12, password)
                self.assertNotEqual(r.returncode, 0)
                self.assertIn(said, r.stdout)
                self.assertFalse(os.path.exists(os.path.join(self.dir, out)))
                # The password never shows in what the script says.
                self.assertNotIn("correct horse", r.stdout)
                self.assertNotIn("battery staple", r.stdout)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
