#!/usr/bin/env python3
"""End-to-end tests of the release: the zip's contents, and the setup program under Wine.

  package_e2e.py --setup SETUP.exe --zip PACKAGE.zip --version A.B.C.D  e2e.py's arguments
"""

import argparse
import glob
import os
import struct
import subprocess
import sys
import unittest
import zipfile

import e2e

PACKAGE = argparse.Namespace(setup=None, zip=None, version=None)
UNINSTALL_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\veilswitcher"
APP_PATHS_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\veilswitcher.exe"


class Zip(unittest.TestCase):
    def test_holds_the_program_its_twin_readme_and_licence_with_one_version(self):
        with zipfile.ZipFile(PACKAGE.zip) as package:
            self.assertEqual(sorted(package.namelist()),
                             ["LICENSE.txt", "readme.txt", "veilswitcher.com", "veilswitcher.exe"])
            for name, built in (("veilswitcher.exe", e2e.CONFIG.exe),
                                ("veilswitcher.com", e2e.CONFIG.twin)):
                with open(built, "rb") as f:
                    self.assertEqual(package.read(name), f.read(), name)
            for name in ("readme.txt", "LICENSE.txt"):
                text = package.read(name)
                self.assertGreater(text.count(b"\r\n"), 10, name)
                self.assertEqual(text.count(b"\n"), text.count(b"\r\n"), name + ": bare LF")
            self.assertIn(b"MIT License", package.read("LICENSE.txt"))
            self.assertIn(PACKAGE.version.encode(), package.read("readme.txt"))
        self.assertEqual(e2e.resource_version(e2e.CONFIG.exe), PACKAGE.version)


class Setup(e2e.WineTestCase):
    def setUp(self):
        super().setUp()
        self.env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"  # no menu entries on the host
        self.setup_path = os.path.join(self.prefix, "drive_c", "setup.exe")
        subprocess.run(["cp", PACKAGE.setup, self.setup_path], check=True)

    def wine(self, *args):
        subprocess.run(["wine"] + list(args), env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=180)

    def install(self):
        self.wine("C:\\setup.exe", "/S")
        users = os.path.join(self.prefix, "drive_c", "users")
        found = glob.glob(os.path.join(users, "*", "AppData", "Local", "Programs", "veilswitcher"))
        self.assertEqual(len(found), 1, "not installed under %LOCALAPPDATA%\\Programs")
        self.folder = found[0]
        user = os.path.relpath(self.folder, users).split(os.sep)[0]
        self.win_folder = "C:\\users\\%s\\AppData\\Local\\Programs\\veilswitcher" % user
        self.shortcut = os.path.join(users, user, "AppData", "Roaming", "Microsoft", "Windows",
                                     "Start Menu", "Programs", "veilswitcher.lnk")

    def start_installed(self):
        proc = subprocess.Popen(["wine", self.win_folder + "\\veilswitcher.exe"], env=self.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        self.running.append(proc)
        self.assertEqual(self.probe("wait-ready", e2e.WAIT_MS), ["ready"], "it did not start")
        return proc

    def hide(self, windows):
        self.press("alt+right")
        self.assert_visible(windows, False, "Alt+Right did not hide the windows")

    def test_silent_install_puts_it_in_place_and_it_starts_from_there(self):
        self.install()
        for name, path in (("veilswitcher.exe", e2e.CONFIG.exe),
                           ("veilswitcher.com", e2e.CONFIG.twin)):
            with open(path, "rb") as built, open(os.path.join(self.folder, name), "rb") as installed:
                self.assertEqual(installed.read(), built.read(), name)
        self.assertTrue(os.path.isfile(self.shortcut), "no Start-menu shortcut")
        app_path = self.regdump(APP_PATHS_KEY)
        self.assert_text_value(app_path, "", "REG_SZ", self.win_folder + "\\veilswitcher.exe")
        self.assert_text_value(app_path, "Path", "REG_SZ", self.win_folder)
        entry = self.regdump(UNINSTALL_KEY)
        for name, text in (("DisplayName", "veilswitcher"), ("DisplayVersion", PACKAGE.version),
                           ("UninstallString", '"%s\\uninstall.exe"' % self.win_folder)):
            self.assert_text_value(entry, name, "REG_SZ", text)
        self.assertTrue(entry["Publisher"][1].strip(b"\0"), "no publisher")
        self.assertGreaterEqual(struct.unpack("<I", entry["EstimatedSize"][1])[0], 200)
        self.start_installed()
        self.assert_text_value(self.regdump(e2e.RUN_KEY), "veilswitcher.exe", "REG_SZ",
                               self.win_folder + "\\veilswitcher.exe")

    def test_upgrade_and_uninstall_end_the_running_copy_in_order(self):
        self.install()
        windows = self.open_windows("W")
        program = self.start_installed()
        self.hide(windows)
        self.install()
        self.assertEqual(self.wait_exit(program, "for the upgrade"), 0)
        self.assert_visible(windows, True, "the upgrade left windows hidden")
        program = self.start_installed()
        self.hide(windows)
        self.wine(self.win_folder + "\\uninstall.exe", "/S")
        self.assertEqual(self.wait_exit(program, "for the uninstall"), 0)
        self.assert_visible(windows, True, "the uninstall left windows hidden")
        self.poll(lambda: os.path.exists(self.folder), False, "the program's folder is left")
        self.assertFalse(os.path.exists(self.shortcut), "the Start-menu shortcut is left")
        self.assertEqual((self.regdump(UNINSTALL_KEY), self.regdump(APP_PATHS_KEY)), (None, None),
                         "the Uninstall entry or the App Paths key is left")
        self.assertEqual(self.probe("regdump", e2e.RUN_KEY, "veilswitcher.exe"), ["missing"])
        self.assertIsNotNone(self.regdump(e2e.OPTIONS_KEY), "a silent uninstall keeps settings")


if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    for option in ("--setup", "--zip", "--version"):
        parser.add_argument(option)
    known, rest = parser.parse_known_args(sys.argv[1:])
    PACKAGE.setup, PACKAGE.zip, PACKAGE.version = known.setup, known.zip, known.version
    sys.exit(e2e.main(rest))
