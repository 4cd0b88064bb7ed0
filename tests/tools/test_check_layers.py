"""Tests of tools/check_layers.py on small trees of its own.

Run from the repository root: python3 -m unittest discover -s tests/tools -v
"""

import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
TOOL = ROOT / "tools" / "check_layers.py"


class CheckLayers(unittest.TestCase):
    def run_on(self, files, core=None, links=""):
        with tempfile.TemporaryDirectory() as folder:
            src = Path(folder) / "src"
            for name, text in files.items():
                path = src / name
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_text(text)
            args = [sys.executable, str(TOOL), str(src)]
            if core is not None:
                (Path(folder) / "sources").write_text(";".join(str(src / name) for name in core))
                (Path(folder) / "links").write_text(links)
                args += [str(Path(folder) / "sources"), str(Path(folder) / "links")]
            result = subprocess.run(args, capture_output=True, text=True)
            return result.returncode, result.stdout

    def test_downward_and_shared_includes_pass(self):
        code, out = self.run_on({
            "base/A.h": "#include <cstdint>\n",
            "clip/B.h": '#include "base/A.h"\n#include "res/resource.h"\n',
            "tray/C.cpp": '#include "clip/B.h"\n#include "tray/D.h"\n',
            "app/E.cpp": '#include "tray/C.h"\n#include "ui/F.h"\n#include "net/G.h"\n',
        })
        self.assertEqual((code, out), (0, ""))

    def test_upward_and_sideways_includes_fail(self):
        code, out = self.run_on({
            "clip/B.h": '#include "tray/TrayButton.h"\n',
            "base/A.cpp": '#include "app/MainDialog.h"\n',
            "tray/C.cpp": '#include "ui/Dialog.h"\n',
            "net/N.cpp": '#include "tray/C.h"\n',
        })
        self.assertEqual(code, 1)
        for where in ("clip/B.h", "base/A.cpp", "tray/C.cpp", "net/N.cpp"):
            self.assertIn(where, out)

    def test_windows_reached_through_a_header_fails_the_core(self):
        files = {
            "base/Clean.cpp": '#include "base/Clean.h"\n',
            "base/Clean.h": "#include <cstddef>\n",
            "clip/Dirty.cpp": '#include "clip/Middle.h"\n',
            "clip/Middle.h": '#include "base/Handles.h"\n',
            "base/Handles.h": "#include <windows.h>\n",
        }
        self.assertEqual(self.run_on(files, core=["base/Clean.cpp"])[0], 0)
        code, out = self.run_on(files, core=["base/Clean.cpp", "clip/Dirty.cpp"])
        self.assertEqual(code, 1)
        self.assertIn("clip/Middle.h -> base/Handles.h -> windows.h", out)

    def test_a_core_that_links_anything_fails(self):
        code, out = self.run_on({"base/A.cpp": ""}, core=["base/A.cpp"], links="user32;")
        self.assertEqual(code, 1)
        self.assertIn("user32", out)


if __name__ == "__main__":
    unittest.main()
