#!/usr/bin/env python3
"""The include-graph check: the real tree passes, and small trees with a fault fail naming it."""
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "include_graph.py")


def run(files=None):
    if files is None:
        args = [sys.executable, SCRIPT]
        return subprocess.run(args, capture_output=True, text=True)
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as f:
                f.write(text)
        return subprocess.run([sys.executable, SCRIPT, "--root", root], capture_output=True, text=True)


class IncludeGraph(unittest.TestCase):
    def test_the_source_tree_points_down_only(self):
        result = run()
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("OK:", result.stdout)

    def test_faults_are_found(self):
        cases = [
            ("an include up a layer", {
                "install/A.cpp": '#include "main_view/V.h"\n',
                "main_view/V.h": "#pragma once\n"}, "main_view is not below install"),
            ("a sideways include", {
                "install/A.cpp": '#include "../settings/S.h"\n',
                "settings/S.h": "#pragma once\n"}, "settings is not below install"),
            ("a circle inside one layer", {
                "look/A.h": '#include "B.h"\n',
                "look/B.h": '#include "A.h"\n'}, "circle: look/A.h -> look/B.h -> look/A.h"),
            ("a folder that is no layer", {
                "extra/X.cpp": "\n"}, "folder 'extra' is no known layer"),
        ]
        for name, files, expected in cases:
            with self.subTest(name):
                result = run(files)
                self.assertEqual(result.returncode, 1, result.stdout)
                self.assertIn(expected, result.stdout)

    def test_includes_down_and_generated_headers_pass(self):
        result = run({
            "main_view/V.cpp": '#include "install/I.h"\n#include "BinaryData.h"\n#include <vector>\n',
            "install/I.h": '#include "platform/P.h"\n',
            "platform/P.h": "#pragma once\n"})
        self.assertEqual(result.returncode, 0, result.stdout)


if __name__ == "__main__":
    unittest.main()
