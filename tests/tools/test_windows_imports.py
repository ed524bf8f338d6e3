"""The Windows executable needs no DLL that Windows itself lacks: a library linked as a DLL by
mistake (zlib1.dll once) runs under Wine, which finds Debian's mingw DLLs, and fails on Windows.

usage: test_windows_imports.py FH_INSTALLER_EXE
"""
import subprocess
import sys

# DLLs of every Windows 10 installation that the installer may import.
SYSTEM = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "d2d1.dll", "d3d11.dll", "dbghelp.dll", "dcomp.dll",
    "dwmapi.dll", "dwrite.dll", "dxgi.dll", "gdi32.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll",
    "ole32.dll", "oleaut32.dll", "opengl32.dll", "glu32.dll", "rpcrt4.dll", "rstrtmgr.dll", "setupapi.dll",
    "shell32.dll", "shlwapi.dll", "user32.dll", "uxtheme.dll", "version.dll", "wininet.dll", "winmm.dll",
    "ws2_32.dll", "sapi.dll", "msvfw32.dll", "avifil32.dll", "avicap32.dll",
}


def imports(exe):
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", exe], check=True, stdout=subprocess.PIPE, text=True).stdout
    return sorted({line.split("DLL Name:")[1].strip().lower() for line in out.splitlines() if "DLL Name:" in line})


def main():
    names = imports(sys.argv[1])
    foreign = [n for n in names if n not in SYSTEM]
    print("imports:", ", ".join(names))
    if not names:
        print("no import table read")
        return 1
    if foreign:
        print("not part of Windows:", ", ".join(foreign))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
