"""A throwaway certificate authority for the signing tests, made with openssl in a folder:
ca.pem, and maker.p12 (valid) and expired.p12 (expired), both code-signing certificates it issued,
with the password in "password" ("wrong" holds another).
"""
import os
import subprocess


def run(*args, **kw):
    return subprocess.run(list(args), stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)


def issue(d, name, start, end):
    """The CA signs the request with these dates (openssl 3.0's x509 command cannot set them)."""
    for f, text in (("index.txt", ""), ("serial", "1000\n")):
        with open(os.path.join(d, f), "w") as out:
            out.write(text)
    with open(os.path.join(d, "ca.cnf"), "w") as f:
        f.write("[ca]\ndefault_ca=test\n[test]\ndir=.\ndatabase=index.txt\nserial=serial\nnew_certs_dir=.\n"
                "default_md=sha256\npolicy=any\nunique_subject=no\n[any]\ncommonName=supplied\n")
    r = run("openssl", "ca", "-batch", "-config", "ca.cnf", "-cert", "ca.pem", "-keyfile", "ca.key",
            "-startdate", start, "-enddate", end, "-extfile", "ext.cnf", "-in", name + ".csr",
            "-out", name + ".pem", "-notext", cwd=d)
    assert r.returncode == 0, r.stdout


def make_ca(d):
    def ssl(*args):
        r = run("openssl", *args, cwd=d)
        assert r.returncode == 0, r.stdout

    ssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem", "-days", "3650",
        "-subj", "/CN=Kitwarden Test CA", "-addext", "basicConstraints=critical,CA:TRUE",
        "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    with open(os.path.join(d, "ext.cnf"), "w") as f:
        f.write("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n")
    with open(os.path.join(d, "password"), "w") as f:
        f.write("correct horse\n")
    with open(os.path.join(d, "wrong"), "w") as f:
        f.write("battery staple\n")
    for name, start, end in (("maker", "20250101000000Z", "20350101000000Z"),
                             ("expired", "20200101000000Z", "20210101000000Z")):
        ssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", name + ".key", "-out", name + ".csr",
            "-subj", "/CN=Brackwater Sound")
        issue(d, name, start, end)
        ssl("pkcs12", "-export", "-in", name + ".pem", "-inkey", name + ".key", "-certfile", "ca.pem",
            "-out", name + ".p12", "-passout", "file:password")
