"""Writes a second product for the tests, beside the default one: another maker, a "_" in its
name, another version, and two formats only (VST3 and CLAP). Its plug-in binaries are small
Windows DLLs built with mingw-w64, with a version resource and their format's entry point.

usage: make_test_product.py OUT_FOLDER
Writes OUT_FOLDER/makers/brackwater and OUT_FOLDER/products/tidal-echo.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

CC = "x86_64-w64-mingw32-gcc"
WINDRES = "x86_64-w64-mingw32-windres"

PRODUCT = {"name": "Tidal_Echo", "version": "1.4.0", "pageUrl": "https://www.brackwater.example/plugins/tidal-echo",
           "maker": "../../makers/brackwater"}
MAKER = {
    "name": "Brackwater",
    "settingsFolder": "Brackwater",
    "settingsNote": "The folders every Brackwater installer uses. Edit them with care.",
    "supportEmail": "help@brackwater.example",
    "communityUrl": "https://forum.brackwater.example/invite",
    "communityText": "The Brackwater forum is where users share presets and questions.",
    "copyright": "\u00a9 2026 Brackwater Sound",
}
LOGO = ('<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 200 28">'
        '<rect x="0" y="4" width="20" height="20" rx="4"/><rect x="28" y="10" width="160" height="8"/></svg>\n')

ENTRY = {
    "vst3": "__declspec(dllexport) void* GetPluginFactory(void) { return (void*) 0; }\n",
    "clap": ("typedef struct { unsigned major, minor, revision; int (*init) (const char*); void (*deinit) (void);"
             " const void* (*get_factory) (const char*); } entry_t;\n"
             "static int init(const char* p) { (void) p; return 0; }\nstatic void deinit(void) {}\n"
             "static const void* factory(const char* id) { (void) id; return (const void*) 0; }\n"
             "__declspec(dllexport) const entry_t clap_entry = { 1, 2, 2, init, deinit, factory };\n"),
}


def version_rc(version):
    a, b, c = version.split(".")
    return """1 VERSIONINFO
FILEVERSION %s,%s,%s,0
PRODUCTVERSION %s,%s,%s,0
FILEOS 0x40004
FILETYPE 2
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904b0"
    BEGIN
      VALUE "CompanyName", "Brackwater"
      VALUE "FileVersion", "%s.0"
      VALUE "ProductName", "Tidal Echo"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x409, 1200
  END
END
""" % (a, b, c, a, b, c, version)


def build_dll(kind, out_path, work):
    src = os.path.join(work, kind + ".c")
    rc = os.path.join(work, kind + ".rc")
    res = os.path.join(work, kind + ".res.o")
    with open(src, "w") as f:
        f.write("#include <windows.h>\nBOOL WINAPI DllMain(HINSTANCE h, DWORD r, LPVOID p)"
                " { (void) h; (void) r; (void) p; return TRUE; }\n" + ENTRY[kind])
    with open(rc, "w") as f:
        f.write(version_rc(PRODUCT["version"]))
    subprocess.run([WINDRES, rc, "-O", "coff", "-o", res], check=True)
    os.makedirs(os.path.dirname(out_path), exist_ok=True)
    subprocess.run([CC, "-shared", "-O1", "-s", "-Wl,--no-insert-timestamp", "-o", out_path, src, res], check=True)


def main(out):
    for tool in (CC, WINDRES):
        if shutil.which(tool) is None:
            sys.exit("make_test_product: %s not found (tools/setup.sh installs it)" % tool)
    maker = os.path.join(out, "makers", "brackwater")
    product = os.path.join(out, "products", "tidal-echo")
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(maker)
    os.makedirs(os.path.join(product, "bundles"))
    with open(os.path.join(maker, "maker.json"), "w", encoding="utf-8") as f:
        json.dump(MAKER, f, indent=2, ensure_ascii=False)
    with open(os.path.join(maker, "logo.svg"), "w") as f:
        f.write(LOGO)
    with open(os.path.join(product, "product.json"), "w") as f:
        json.dump(PRODUCT, f, indent=2)
    with open(os.path.join(product, "CHANGELOG.md"), "w") as f:
        f.write("# Tidal Echo\n\n## v1.4.0\n\n- **New:** a tape mode.\n- **Fix:** the feedback knob no longer jumps.\n")
    with open(os.path.join(product, "LICENCE.txt"), "w") as f:
        f.write("TIDAL ECHO LICENCE\n\nBrackwater Sound grants you the right to use Tidal Echo on your own computers.\n")
    bundles = os.path.join(product, "bundles")
    with tempfile.TemporaryDirectory() as work:
        build_dll("vst3", os.path.join(bundles, "Tidal Echo.vst3", "Contents", "x86_64-win", "Tidal Echo.vst3"), work)
        build_dll("clap", os.path.join(bundles, "Tidal Echo.clap"), work)
    print("make_test_product: %s" % product)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
