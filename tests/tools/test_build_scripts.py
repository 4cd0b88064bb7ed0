"""Tests of scripts/lib/build.sh: a checkout that was copied or moved, build
folder and all, still configures (scripts/run.sh, test.sh and
screenshots.sh configure through it).

Run from the repository root: python3 -m unittest discover -s tests/tools -v
"""

import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD_LIB = ROOT / "scripts" / "lib" / "build.sh"

# A project as small as CMake allows, with a preset laid out like the real ones.
PRESETS = """{
  "version": 6,
  "configurePresets": [{"name": "plain", "generator": "Ninja", "binaryDir": "${sourceDir}/build/${presetName}"}]
}
"""
PROJECT = "cmake_minimum_required(VERSION 3.25)\nproject(Tiny NONE)\n"


def configure(checkout):
    """configure_preset plain in checkout, as the scripts call it."""
    return subprocess.run(
        ["bash", "-c", f'set -euo pipefail; TOLVARAN_ROOT="$1"; cd "$1"; source "{BUILD_LIB}"; configure_preset plain',
         "bash", str(checkout)],
        capture_output=True, text=True, timeout=120)


def cache_value(checkout, name):
    for line in (checkout / "build" / "plain" / "CMakeCache.txt").read_text().splitlines():
        if line.startswith(name + ":"):
            return line.split("=", 1)[1]
    return None


class CopiedCheckoutTest(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.first = Path(self.scratch.name) / "first"
        self.first.mkdir()
        (self.first / "CMakePresets.json").write_text(PRESETS)
        (self.first / "CMakeLists.txt").write_text(PROJECT)
        done = configure(self.first)
        self.assertEqual(done.returncode, 0, done.stderr)

    def tearDown(self):
        self.scratch.cleanup()

    def test_a_copied_checkout_configures_its_own_build_folder(self):
        copy = Path(self.scratch.name) / "copy"
        shutil.copytree(self.first, copy, symlinks=True)
        # The failure the scripts must get past: CMake refuses the copied cache.
        plain = subprocess.run(["cmake", "--preset", "plain"], cwd=copy, capture_output=True, text=True, timeout=120)
        self.assertNotEqual(plain.returncode, 0)

        done = configure(copy)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("making it anew", done.stdout)
        self.assertEqual(cache_value(copy, "CMAKE_HOME_DIRECTORY"), str(copy.resolve()))
        # The original is left as it was, and a second run keeps the new folder.
        self.assertEqual(cache_value(self.first, "CMAKE_HOME_DIRECTORY"), str(self.first.resolve()))
        again = configure(copy)
        self.assertEqual(again.returncode, 0, again.stderr)
        self.assertNotIn("making it anew", again.stdout)

    def test_a_moved_checkout_configures_too(self):
        moved = Path(self.scratch.name) / "moved"
        self.first.rename(moved)
        done = configure(moved)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(cache_value(moved, "CMAKE_CACHEFILE_DIR"), str((moved / "build" / "plain").resolve()))


if __name__ == "__main__":
    unittest.main()
