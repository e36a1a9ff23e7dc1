#!/usr/bin/python3
"""What `cmake --install` puts under a fresh prefix: each file where a Linux
desktop looks for it, accepted by the desktop's own validators, and naming
the others correctly, so that the menu entry starts the program and shows
its icon, and a software centre finds both.

Usage: test_install.py CMAKE BUILD_DIR SOURCE_SVG VERSION
"""

import configparser
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib
from xml.etree import ElementTree

APP_ID = "io.github.quorvex.Quorvex"
ICON_SIZES = [16, 32, 48, 64, 128, 256]
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
RGBA_8_BIT = (8, 6)  # bit depth, colour type


def png_chunks(data):
    position = len(PNG_SIGNATURE)
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        yield kind, data[position + 8:position + 8 + length]
        position += 12 + length


def png_facts(path):
    """Width, height, bit depth and colour type of a PNG file, and whether
    any pixel is other than fully transparent black."""
    with open(path, "rb") as file:
        data = file.read()
    if not data.startswith(PNG_SIGNATURE):
        raise AssertionError(f"{path} is not a PNG file")
    chunks = list(png_chunks(data))
    width, height, depth, colour = struct.unpack(">IIBB", chunks[0][1][:10])
    pixels = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
    # Each row starts with its filter byte. Whatever the filter, an image of
    # nothing but zero bytes filters to zeros, so any other byte is a mark.
    row = len(pixels) // height
    drawn = any(any(pixels[start + 1:start + row]) for start in range(0, len(pixels), row))
    return width, height, (depth, colour), drawn


def run_validator(*command):
    """Runs a validator on the installed files; a machine without it fails,
    since the check it stands for would otherwise silently not happen."""
    if shutil.which(command[0]) is None:
        raise AssertionError(f"{command[0]} is missing: run scripts/install-dependencies")
    return subprocess.run(command, capture_output=True, text=True, check=False)


class InstallTest(unittest.TestCase):
    cmake = build_dir = source_svg = version = None

    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.prefix = cls.folder.name
        done = subprocess.run([cls.cmake, "--install", cls.build_dir, "--prefix", cls.prefix],
                              capture_output=True, text=True, check=False)
        if done.returncode != 0:
            cls.folder.cleanup()
            raise AssertionError(f"cmake --install failed:\n{done.stdout}{done.stderr}")

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def installed(self, *parts):
        path = os.path.join(self.prefix, *parts)
        self.assertTrue(os.path.isfile(path), f"{os.path.join(*parts)} is not installed")
        return path

    def desktop_entry(self):
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str  # keys are case sensitive
        parser.read(self.installed("share", "applications", f"{APP_ID}.desktop"))
        return parser["Desktop Entry"]

    def test_the_program_is_installed_runnable(self):
        self.assertTrue(os.access(self.installed("bin", "quorvex"), os.X_OK))

    def test_the_icon_is_in_the_hicolor_theme_at_every_size(self):
        svg = self.installed("share", "icons", "hicolor", "scalable", "apps", f"{APP_ID}.svg")
        with open(svg, "rb") as installed, open(self.source_svg, "rb") as source:
            self.assertEqual(installed.read(), source.read())
        for size in ICON_SIZES:
            with self.subTest(size=size):
                folder = f"{size}x{size}"
                png = self.installed("share", "icons", "hicolor", folder, "apps", f"{APP_ID}.png")
                width, height, format_, drawn = png_facts(png)
                self.assertEqual((width, height), (size, size))
                self.assertEqual(format_, RGBA_8_BIT)
                self.assertTrue(drawn, f"the {folder} icon is empty")

    def test_the_desktop_entry_is_valid_and_starts_the_installed_program(self):
        path = self.installed("share", "applications", f"{APP_ID}.desktop")
        checked = run_validator("desktop-file-validate", path)
        self.assertEqual((checked.returncode, checked.stdout + checked.stderr), (0, ""))

        entry = self.desktop_entry()
        self.assertEqual(entry["Type"], "Application")
        self.assertEqual(entry["Name"], "Zell Quorvex")
        self.assertTrue(entry["Comment"])
        # The program takes no arguments: no field codes and no document types.
        self.assertEqual(entry["Exec"], "quorvex")
        self.assertNotIn("MimeType", entry)
        self.installed("bin", entry["Exec"])
        self.assertEqual(entry["Icon"], APP_ID)
        self.assertEqual(entry["Terminal"], "false")
        self.assertEqual(entry["StartupNotify"], "true")
        self.assertLessEqual({"Utility", "Qt"}, set(entry["Categories"].split(";")))

    def test_the_metainfo_is_valid_and_names_the_installed_entry_and_program(self):
        path = self.installed("share", "metainfo", f"{APP_ID}.metainfo.xml")
        checked = run_validator("appstreamcli", "validate", "--no-net", path)
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)

        component = ElementTree.parse(path).getroot()
        self.assertEqual(component.get("type"), "desktop-application")
        self.assertEqual(component.findtext("id"), APP_ID)
        self.assertEqual(component.findtext("name"), self.desktop_entry()["Name"])
        launchable = component.find("launchable[@type='desktop-id']")
        self.installed("share", "applications", launchable.text)
        self.installed("bin", component.findtext("provides/binary"))
        newest = component.find("releases/release")
        self.assertEqual(newest.get("version"), self.version)
        self.assertEqual(component.find("content_rating").get("type"), "oars-1.1")
        self.assertIsNotNone(component.find("screenshots/screenshot/image"))


if __name__ == "__main__":
    if len(sys.argv) < 5:
        sys.exit(__doc__.strip())
    InstallTest.cmake, InstallTest.build_dir, InstallTest.source_svg, InstallTest.version = (
        sys.argv[1:5])
    del sys.argv[1:5]
    unittest.main(verbosity=2)
