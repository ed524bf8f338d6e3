"""Start-up: time from process start to the first painted pixels of the window, for the
installer and for two yardsticks, in turn: a minimal JUCE program opening a 600 x 600 window,
and the same drawing one line in a typeface embedded in it (JUCE's own cost of text).

usage: startup.py FH_INSTALLER MINIMAL_WINDOW TEXT_WINDOW [REPETITIONS]
Prints name: value lines.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "window"))
from xsession import XSession  # noqa: E402

BLUE = (0x00, 0x94, 0xD8)


def time_to_first_paint(session, exe, env, probe):
    """Seconds until the probe pixel (window coordinates) shows the blue both programs paint."""
    root = session.dpy.screen().root
    start = time.perf_counter()
    proc = subprocess.Popen([exe], env=session.env(env), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        # Both windows are centred on the 1280 x 1024 screen.
        x, y = (1280 - 600) // 2 + probe[0], (1024 - 600) // 2 + probe[1]
        while time.perf_counter() - start < 20:
            data = root.get_image(x, y, 1, 1, 2, 0xFFFFFFFF).data
            if abs(data[2] - BLUE[0]) <= 2 and abs(data[1] - BLUE[1]) <= 2 and abs(data[0] - BLUE[2]) <= 2:
                return time.perf_counter() - start
            time.sleep(0.0005)
        raise RuntimeError(f"{exe} never painted")
    finally:
        proc.kill()
        proc.wait()
        # Let the window go before the next start.
        time.sleep(0.2)


def main():
    exe, minimal, text = sys.argv[1], sys.argv[2], sys.argv[3]
    repetitions = int(sys.argv[4]) if len(sys.argv) > 4 else 10
    work = tempfile.mkdtemp(prefix="kitwarden-startup-")
    prefix = os.path.join(work, "prefix")
    os.makedirs(os.path.join(prefix, "drive_c", "ProgramData", "Fernhollow"))
    ours, theirs, texts = [], [], []
    try:
        with XSession() as session:
            for _ in range(repetitions):
                # The installer's top strip; the minimal program's whole face.
                ours.append(time_to_first_paint(session, exe, {"WINEPREFIX": prefix, "TMPDIR": work}, (300, 2)))
                theirs.append(time_to_first_paint(session, minimal, {}, (300, 2)))
                texts.append(time_to_first_paint(session, text, {}, (300, 2)))
    finally:
        shutil.rmtree(work, ignore_errors=True)

    print(f"startup_repetitions: {repetitions}")
    print(f"startup_installer_median_ms: {statistics.median(ours) * 1000:.1f}")
    print(f"startup_minimal_window_median_ms: {statistics.median(theirs) * 1000:.1f}")
    print(f"startup_text_window_median_ms: {statistics.median(texts) * 1000:.1f}")
    print(f"startup_ratio: {statistics.median(ours) / statistics.median(theirs):.3f}")
    print(f"startup_ratio_to_text_window: {statistics.median(ours) / statistics.median(texts):.3f}")


if __name__ == "__main__":
    main()
