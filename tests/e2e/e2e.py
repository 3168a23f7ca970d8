#!/usr/bin/env python3
"""End-to-end tests: the real veilswitcher.exe under Wine, inside Wine's virtual desktop.

Each test gets its own copy of a freshly booted Wine prefix, so the registry, the lock file and
the wineserver are the test's alone. The helper vsprobe.exe plays the other programs: it owns
windows, presses keys through the system's input path, holds hotkeys and reads the registry.

  e2e.py --exe veilswitcher.exe --probe vsprobe.exe [--template DIR] [--artifacts DIR]
         [unittest names...]
  e2e.py --make-template DIR        boot the template prefix that later runs may share
  e2e.py --list                     the test names, Class.test_name, one a line

Exit status 77 means the environment is missing and nothing was tested (ctest: skipped).
"""

import argparse
import collections
import json
import os
import random
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest

SKIP_STATUS = 77
PROGRAM_DIR = "C:\\veilswitcher"
PROGRAM_PATH = PROGRAM_DIR + "\\veilswitcher.exe"
TWIN_PATH = PROGRAM_DIR + "\\veilswitcher.com"
OPTIONS_KEY = "Software\\veilswitcher"
DESKS_KEY = "Software\\veilswitcher\\desks"
RULES_KEY = "Software\\veilswitcher\\rules"
MORE_KEY = "Software\\veilswitcher\\more"
RULES_KEY = "Software\\veilswitcher\\rules"
RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
JOURNAL_PARENT = "Software\\veilswitcher\\hidden"
JOURNAL_KEY = JOURNAL_PARENT + "\\1"  # Wine runs every program in session 1
ERROR_CAPTION = "Error :("
INFO_CAPTION = "Attention 8-|"
ABOUT_TITLE = "About veilswitcher"
OPTIONS_TITLE = "veilswitcher"
EDITOR_TITLE = "Edit desktop options"
TRAY_TIP = "veilswitcher"
WINDOWS = ["W1", "W2", "W3"]
SCREEN = (1280, 800)  # the X screen and Wine's virtual desktop on it
WAIT_MS = 15000  # generous: a loaded machine may run several Wine servers at once

# What the dialog tests send to the controls, and the controls' ids. A hot-key control's value is
# (HOTKEYF_SHIFT 1 | HOTKEYF_CONTROL 2 | HOTKEYF_ALT 4 | HOTKEYF_EXT 8) << 8 | virtual key.
WM_CLOSE = 0x0010
BM_GETCHECK, BM_SETCHECK, BM_CLICK = 0x00F0, 0x00F1, 0x00F5
HKM_SETHOTKEY, HKM_GETHOTKEY = 0x0401, 0x0402
HOTKEYF_ALT, HOTKEYF_EXT = 4, 8
VK_LEFT, VK_RIGHT, VK_DOWN, VK_F1, VK_F5, VK_F9 = 0x25, 0x27, 0x28, 0x70, 0x74, 0x78
HOTKEYF_SHIFT, HOTKEYF_CONTROL = 1, 2
MOD_CONTROL, MOD_SHIFT = 2, 4
IDOK = 1
IDC_ADD, IDC_SHOW_NOTICE, IDC_DESK_NAME, IDC_AUTOSTART = 1003, 1006, 1007, 1009
IDC_DESK_HOTKEY, IDC_DESK_LIST, IDC_PREV_HOTKEY, IDC_NEXT_HOTKEY = 1011, 1016, 1021, 1022
IDC_WRAP_AROUND, MORE_TITLE = 1036, "More options"
IDC_RULES, IDC_RULE_LIST, RULES_TITLE = 1039, 1040, "Window rules"

# A dialog box of the program as vsprobe describes it.
Dialog = collections.namedtuple("Dialog", "handle enabled owner rect")

# Where the mouse rests while a menu is open: away from the tray icon (whose tip would cover the
# menu) and from the menus themselves, which open at the bottom right.
MOUSE_ASIDE = (1000, 300)
# Reference menus of the probe open here, away from the tray's tip.
REFERENCE_AT = (500, 300)

CONFIG = argparse.Namespace(exe=None, twin=None, probe=None, template=None, display=None,
                            artifacts=None)


def log(text):
    print("e2e: " + text, file=sys.stderr, flush=True)


def base_env(prefix):
    env = dict(os.environ)
    env.update(WINEPREFIX=prefix, WINEDEBUG="-all", DISPLAY=CONFIG.display,
               # no Mono or Gecko: their installers would ask on screen and wait forever
               WINEDLLOVERRIDES="mscoree,mshtml=")
    return env


def missing_tools():
    tools = ["wine", "wineboot", "wineserver"]
    if not os.environ.get("DISPLAY"):
        tools.append("Xvfb")
    return [t for t in tools if shutil.which(t) is None]


def resource_version(path):
    """The file version in a program's version resource (VS_FIXEDFILEINFO), as A.B.C.D."""
    with open(path, "rb") as f:
        data = f.read()
    at = data.index(struct.pack("<I", 0xFEEF04BD))
    high, low = struct.unpack_from("<II", data, at + 8)
    return "%d.%d.%d.%d" % (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)


def pe_subsystem(path):
    """The signature and the Subsystem of a PE file's optional header (2 windowed, 3 console)."""
    with open(path, "rb") as f:
        data = f.read(4096)
    at = struct.unpack_from("<I", data, 0x3C)[0]
    return data[at:at + 4], struct.unpack_from("<H", data, at + 24 + 68)[0]


# ---- the X display and the template prefix -------------------------------------------------

class Xvfb:
    """A private X server, started only when the caller has no display of its own."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN,
             "-nolisten", "tcp"], pass_fds=[write_end],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        ready, _, _ = select.select([read_end], [], [], 30)
        while ready:
            chunk = os.read(read_end, 16)
            number += chunk
            if not chunk or number.endswith(b"\n"):
                break
        os.close(read_end)
        if not number.strip():
            self.stop()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number.decode().strip()

    def stop(self):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()


def make_template(path):
    """Boots a 32-bit prefix set to run every window inside Wine's own virtual desktop."""
    started = time.monotonic()
    if os.path.exists(path):
        shutil.rmtree(path)
    env = base_env(path)
    env["WINEARCH"] = os.environ.get("VS_WINEARCH", "win32")
    run = lambda *cmd: subprocess.run(cmd, env=env, check=True, timeout=300,
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    run("wineboot", "-i")
    # Without a window manager Wine waits ~2 s after each hide of another process's window;
    # inside its virtual desktop it does not.
    run("wine", "reg", "add", "HKCU\\Software\\Wine\\Explorer", "/v", "Desktop",
        "/d", "Default", "/f")
    run("wine", "reg", "add", "HKCU\\Software\\Wine\\Explorer\\Desktops", "/v", "Default",
        "/d", "%dx%d" % SCREEN, "/f")
    # Wine's own TrueType fonts (Debian's fonts-wine) are not in a new prefix's font folder:
    # without Marlett the caption buttons draw as letters, without Tahoma text is DejaVu's.
    for name in ("marlett.ttf", "tahoma.ttf", "tahomabd.ttf"):
        source = os.path.join("/usr/share/wine/fonts", name)
        if os.path.exists(source):
            shutil.copy(source, os.path.join(path, "drive_c", "windows", "Fonts"))
    run("wineserver", "-k")
    run("wineserver", "-w")
    log("template prefix %s ready in %.1f s" % (path, time.monotonic() - started))


# ---- processes that print lines ------------------------------------------------------------

class Lines:
    """A running Windows program whose stdout is read line by line with time-outs."""

    def __init__(self, args, env):
        self.proc = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.buffer = b""

    def readline(self, timeout_s=WAIT_MS / 1000):
        deadline = time.monotonic() + timeout_s
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            ready, _, _ = select.select([self.proc.stdout], [], [], left)
            if ready:
                chunk = os.read(self.proc.stdout.fileno(), 4096)
                if not chunk:
                    break
                self.buffer += chunk
        line, sep, rest = self.buffer.partition(b"\n")
        if not sep and not line:
            return None
        self.buffer = rest
        return line.decode("latin-1").rstrip("\r")

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait(30)
        self.proc.stdout.close()


# ---- the test case base ---------------------------------------------------------------------

class WineTestCase(unittest.TestCase):
    """Per test: a copy of the template prefix with the program in C:\\veilswitcher."""

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="vs-e2e-")
        self.prefix = os.path.join(self.root, "prefix")
        subprocess.run(["cp", "-a", CONFIG.template, self.prefix], check=True)
        program_dir = os.path.join(self.prefix, "drive_c", "veilswitcher")
        os.makedirs(program_dir)
        shutil.copy(CONFIG.exe, os.path.join(program_dir, "veilswitcher.exe"))
        shutil.copy(CONFIG.twin, os.path.join(program_dir, "veilswitcher.com"))
        self.probe_path = os.path.join(self.prefix, "drive_c", "vsprobe.exe")
        shutil.copy(CONFIG.probe, self.probe_path)
        self.env = base_env(self.prefix)
        self.running = []
        self.addCleanup(self.tear_down_prefix)

    def tear_down_prefix(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        for item in self.running:
            if isinstance(item, Lines):
                item.stop()
            else:
                self.reap(item)
        subprocess.run(["wineserver", "-w"], env=self.env, stderr=subprocess.DEVNULL, timeout=60)
        shutil.rmtree(self.root, ignore_errors=True)

    @staticmethod
    def reap(proc):
        if proc.poll() is None:
            proc.kill()
        proc.wait(30)

    # -- the program --

    def start_program(self, wait_ready=True):
        proc = subprocess.Popen(["wine", PROGRAM_PATH], env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.running.append(proc)
        if wait_ready:
            self.assertEqual(self.probe("wait-ready", WAIT_MS), ["ready"],
                             "veilswitcher did not come up")
        return proc

    def client(self, *args, pipe=False, program=PROGRAM_PATH):
        """The program run with a command: exit code, standard output (bytes), standard error."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            proc = subprocess.run(["wine", program] + list(args), env=self.env,
                                  stdin=subprocess.DEVNULL, stderr=err, timeout=WAIT_MS / 1000,
                                  stdout=subprocess.PIPE if pipe else out)
            out.seek(0)
            err.seek(0)
            return (proc.returncode, proc.stdout if pipe else out.read(),
                    err.read().decode("latin-1"))

    def listing(self, titles=True):
        """/list's answer; with `titles` each window as its title alone."""
        code, data, err = self.client("/list", pipe=True)
        self.assertEqual((code, data[:3] == b"\xef\xbb\xbf"), (0, False), "a failure or a BOM")
        listed = json.loads(data.decode("utf-8"))
        return self.titles_only(listed) if titles else listed

    @staticmethod
    def titles_only(listed):
        for d in listed["desktops"]:
            d["windows"] = [w["title"] for w in d["windows"]]
        listed["pinned"] = [w["title"] for w in listed["pinned"]]
        return listed

    def wait_exit(self, proc, what):
        try:
            return proc.wait(WAIT_MS / 1000)
        except subprocess.TimeoutExpired:
            self.fail("veilswitcher did not end " + what)

    # -- the probe --

    def probe(self, *args, check=False):
        # Output goes to a file, not a pipe: the first Wine process of a prefix starts Wine's
        # own services, which inherit its stdout and would hold a pipe open long after.
        with tempfile.TemporaryFile() as out:
            proc = subprocess.Popen(["wine", self.probe_path] + [str(a) for a in args],
                                    env=self.env, stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=subprocess.DEVNULL)
            try:
                status = proc.wait(WAIT_MS / 1000 + 60)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
                self.fail("vsprobe %s hung" % (args,))
            out.seek(0)
            lines = out.read().decode("latin-1").replace("\r", "").splitlines()
        if check:
            self.assertEqual(status, 0, "vsprobe %s: %s" % (args, lines))
        return lines

    def probe_background(self, *args, first_line):
        lines = Lines(["wine", self.probe_path] + [str(a) for a in args], self.env)
        self.running.append(lines)
        self.assertEqual(lines.readline(), first_line, "vsprobe %s did not start" % (args,))
        return lines

    def open_windows(self, prefix="W", count=3):
        self.probe_background("windows", prefix, count, 600, first_line="ready")
        return ["%s%d" % (prefix, i) for i in range(1, count + 1)]

    def press(self, *combos):
        self.assertEqual(self.probe("keys", *combos), ["ok"])

    def notice_off(self):
        self.probe("regset", OPTIONS_KEY, "PrevDesk", "REG_SZ", b"1 37".hex(),
                   "NextDesk", "REG_SZ", b"1 39".hex(), "ShowCurDeskMsg", "REG_BINARY", "00",
                   check=True)

    def assert_visible(self, titles, state, why):
        lines = self.probe("wait-visible", 1 if state else 0, WAIT_MS, *titles)
        self.assertEqual(lines, ["ok"], why)

    def assert_stays_visible(self, titles, why, seconds=1.5):
        """Nothing may hide them: checked again after the time a switch would have taken."""
        time.sleep(seconds)
        self.assertEqual(self.probe("visible", *titles), ["1"] * len(titles), why)

    def regdump(self, key):
        """{name: (type, data)} in the order the registry enumerates them, or None."""
        lines = self.probe("regdump", key)
        if lines == ["missing"]:
            return None
        values = {}
        for line in lines:
            name, kind, data = line.split("\t")
            values[name] = (kind, bytes.fromhex(data))
        return values

    def settings(self):
        return {"options": self.regdump(OPTIONS_KEY), "desks": self.regdump(DESKS_KEY),
                "run": self.probe("regdump", RUN_KEY, "veilswitcher.exe")}

    def assert_text_value(self, values, name, kind, text):
        """Wine stores a terminating zero after REG_SZ/REG_MULTI_SZ data: the text is what
        comes before it."""
        self.assertIsNotNone(values, "the key holding %s is missing" % name)
        self.assertIn(name, values)
        self.assertEqual(values[name][0], kind, name)
        self.assertEqual(values[name][1].rstrip(b"\0"), text.encode("latin-1"), name)

    def poll(self, read, wanted, why):
        """Reads again until `read()` gives `wanted`, for what the program does a moment after
        a dialog has gone (saving the settings, say)."""
        deadline = time.monotonic() + WAIT_MS / 1000
        while True:
            got = read()
            if got == wanted or time.monotonic() > deadline:
                self.assertEqual(got, wanted, why)
                return
            time.sleep(0.2)

    def saved_text(self, key, name):
        """The text of a registry value without Wine's terminating zeros; None when missing."""
        values = self.regdump(key)
        if not values or name not in values:
            return None
        return values[name][1].rstrip(b"\0").decode("latin-1")

    # -- dialogs of the program, driven with their controls' own messages --

    def dialogs(self, title, timeout_ms=WAIT_MS):
        """Waits for a dialog so titled to show: every such dialog, topmost first, and the
        work area (both empty when none showed)."""
        found, work = [], []
        for line in self.probe("dialogs", title, timeout_ms):
            word, _, rest = line.partition(" ")
            fields = rest.split()
            if word == "dialog":
                found.append(Dialog(fields[0], fields[1] == "enabled", fields[2],
                                    [int(v) for v in fields[3:]]))
            elif word == "workarea":
                work = [int(v) for v in fields]
        return found, work

    def only_dialog(self, title):
        """The one open dialog so titled; fails when none or several are open."""
        dialogs, _ = self.dialogs(title)
        self.assertEqual(len(dialogs), 1, "%d dialogs titled %r" % (len(dialogs), title))
        return dialogs[0]

    def send(self, title, control, message, wparam=0, lparam=0):
        """SendMessage to a control of the dialog (0: the dialog itself); its result."""
        lines = self.probe("send", title, control, message, wparam, lparam)
        self.assertEqual(len(lines), 1, lines)
        self.assertTrue(lines[0].startswith("result "), "message %#x to %s/%d: %s"
                        % (message, title, control, lines))
        return int(lines[0].split()[1])

    def post(self, title, control, message, wparam=0, lparam=0):
        self.assertEqual(self.probe("post", title, control, message, wparam, lparam), ["posted"],
                         "no %s/%d to post %#x to" % (title, control, message))

    def control_text(self, title, control):
        lines = self.probe("text", title, control)
        self.assertEqual(len(lines), 1, lines)
        self.assertTrue(lines[0].startswith("text "), lines)
        return lines[0][5:]

    def set_text(self, title, control, text):
        self.assertEqual(self.probe("set-text", title, control, text), ["text " + text],
                         "WM_SETTEXT did not set %s/%d" % (title, control))

    def set_hotkey_control(self, title, control, value):
        self.send(title, control, HKM_SETHOTKEY, value)
        self.assertEqual(self.send(title, control, HKM_GETHOTKEY), value,
                         "the hot-key control %s/%d did not take %#x" % (title, control, value))

    def list_items(self, title, control, count=-1):
        """(item data, text) of each item of a list view, once it holds `count` items."""
        lines = self.probe("list", title, control, count, WAIT_MS)
        self.assertTrue(lines and lines[0].startswith("items "),
                        "list %s/%d never held %d items: %s" % (title, control, count, lines))
        items = []
        for line in lines[1:]:
            self.assertTrue(line.startswith("item "), lines)
            data, _, text = line[5:].partition(" ")
            items.append((int(data), text))
        self.assertEqual(len(items), int(lines[0].split()[1]), lines)
        return items

    # -- the screen --

    def need_import(self):
        if shutil.which("import") is None:
            self.skipTest("ImageMagick's import is missing, so the screen cannot be read")

    def grab(self, rect):
        """Raw screen pixels of the part of `rect` that lies on the screen."""
        left, top, right, bottom = [max(0, v) for v in rect]
        size = "%dx%d+%d+%d" % (right - left, bottom - top, left, top)
        result = subprocess.run(["import", "-window", "root", "-crop", size, "rgb:-"],
                                env=self.env, capture_output=True, timeout=30)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout

    def screenshot(self, name, rect=None):
        """The screen, or the part of it in `rect`, as a PNG among the run's artifacts; the
        path is printed."""
        os.makedirs(CONFIG.artifacts, exist_ok=True)
        path = os.path.join(CONFIG.artifacts, "%s-%s.png" % (self.id().split(".", 1)[1], name))
        crop = []
        if rect:
            left, top, right, bottom = [max(0, v) for v in rect]
            crop = ["-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage"]
        subprocess.run(["import", "-window", "root"] + crop + [path], env=self.env, check=True,
                       timeout=30)
        log("screenshot " + path)
        return path

    # -- the tray icon and its menu --

    def tray_icon(self):
        """The icon's screen point, found once per test by the tip it shows: (x, y, found)."""
        if not hasattr(self, "_tray_icon"):
            lines = self.probe("tray-icon", TRAY_TIP, WAIT_MS)
            self.assertEqual(len(lines), 1, lines)
            word, x, y = lines[0].split()
            if word != "icon":
                log("no tray icon showed the tip %r: clicking at %s %s" % (TRAY_TIP, x, y))
            self._tray_icon = (int(x), int(y), word == "icon")
        return self._tray_icon

    def menus(self, count, timeout_ms=WAIT_MS):
        """Waits for `count` open popup menus of the program: their rects, topmost first, or
        None when another number stayed open."""
        lines = self.probe("menus", count, timeout_ms)
        rects = [[int(v) for v in line.split()[1:]] for line in lines if line.startswith("menu ")]
        return rects if len(rects) == count else None

    def open_menu(self):
        """Right-clicks the tray icon; the mouse then moves aside. The menu's rect."""
        x, y, _ = self.tray_icon()
        self.assertEqual(self.probe("mouse", x, y, "right"), ["ok"])
        opened = self.menus(1)
        self.assertIsNotNone(opened, "a right click on the tray icon opened no menu")
        self.assertEqual(self.probe("mouse", *MOUSE_ASIDE), ["ok"])
        return opened[0]

    def choose(self, *keys):
        """Picks an item of the open menu with the keyboard; the menu must close."""
        self.press(*keys)
        self.assertEqual(self.menus(0), [], "the menu stayed open after %s" % (keys,))

    def reference_menu(self, downs, items):
        """Pixels of a menu of the probe's own with these items (see vsprobe show-menu), with
        the first `downs` items selected by Down as the program's would be."""
        args = ["show-menu", REFERENCE_AT[0], REFERENCE_AT[1], downs, 1000] + list(items)
        lines = Lines(["wine", self.probe_path] + [str(a) for a in args], self.env)
        self.running.append(lines)
        shown = lines.readline()
        self.assertTrue(shown and shown.startswith("shown "), shown)
        pixels = self.grab([int(v) for v in shown.split()[1:]])
        lines.proc.wait(30)
        return pixels

    def walk_items(self, count):
        """Down and Right on each of `count` items: whether a submenu opened, and the pixels
        of each submenu with its first item selected."""
        opens, pixels = [], []
        for index in range(count):
            self.press("down", "right")
            # Only the three desktops should open one; the long wait is for them alone.
            menus = self.menus(2, WAIT_MS if index < 3 else 1500)
            opens.append(menus is not None)
            if menus:
                pixels.append(self.grab(menus[0]))
                self.press("left")
                self.assertIsNotNone(self.menus(1), "Left did not close the submenu")
        return opens, pixels

    def hidden_window(self):
        lines = self.probe("hidden")
        self.assertEqual(len(lines), 1, lines)
        self.assertNotEqual(lines, ["missing"], "no veilswitcherApp window")
        return lines[0]

    def assert_orderly_end(self, program, windows, hidden, what):
        """What every orderly end leaves: exit code 0, no window hidden, no tray icon, no lock
        file, and every setting written back as the program writes it (with its line feed)."""
        self.assertEqual(self.wait_exit(program, what), 0, "exit code after " + what)
        self.assertEqual(self.probe("visible", *windows), ["1"] * len(windows),
                         "windows stayed hidden after " + what)
        self.assertEqual(self.probe("tray-has", hidden, 0), ["0"],
                         "the tray icon outlived the program (%s)" % what)
        self.assertEqual(self.probe("tempfile"), ["absent"], "the lock file outlived the program")
        options = self.regdump(OPTIONS_KEY)
        self.assert_text_value(options, "NextDesk", "REG_SZ", "1 39\n")
        self.assert_text_value(options, "PrevDesk", "REG_SZ", "1 37\n")
        self.assertEqual(options["ShowCurDeskMsg"], ("REG_BINARY", b"\x01"))
        desks = self.regdump(DESKS_KEY)
        self.assertEqual(list(desks), ["VirtDesk1", "VirtDesk2", "VirtDesk3"])
        for name, key in zip(desks, ["112", "113", "114"]):
            self.assert_text_value(desks, name, "REG_MULTI_SZ", "1 %s\n" % key)
        self.assert_text_value(self.regdump(RUN_KEY), "veilswitcher.exe", "REG_SZ",
                               PROGRAM_PATH)


# ---- the tests ------------------------------------------------------------------------------

class FirstStart(WineTestCase):
    def test_writes_exact_defaults(self):
        self.assertIsNone(self.regdump(OPTIONS_KEY), "the fresh prefix already has settings")
        self.start_program()
        options = self.regdump(OPTIONS_KEY)
        self.assertIsNotNone(options, "no options key after the first start")
        self.assert_text_value(options, "PrevDesk", "REG_SZ", "1 37")
        self.assert_text_value(options, "NextDesk", "REG_SZ", "1 39")
        self.assertEqual(options["ShowCurDeskMsg"], ("REG_BINARY", b"\x01"))
        self.assertEqual(set(options), {"PrevDesk", "NextDesk", "ShowCurDeskMsg"})
        desks = self.regdump(DESKS_KEY)
        self.assertIsNotNone(desks, "no desktops key after the first start")
        self.assertEqual(list(desks), ["VirtDesk1", "VirtDesk2", "VirtDesk3"])
        for name, key in zip(desks, ["112", "113", "114"]):
            self.assert_text_value(desks, name, "REG_MULTI_SZ", "1 %s\n" % key)
        run = self.regdump(RUN_KEY)
        self.assert_text_value(run, "veilswitcher.exe", "REG_SZ", PROGRAM_PATH)
        self.assertEqual(self.probe("tempfile"), ["exists"], "no lock file while running")


class Hotkeys(WineTestCase):
    def test_switch_windows_of_another_process(self):
        first = self.open_windows("W")
        self.start_program()
        self.press("alt+right")
        self.assert_visible(first, False, "Alt+Right did not hide the windows (desktop 2)")
        self.press("alt+left")
        self.assert_visible(first, True, "Alt+Left did not bring them back (desktop 1)")
        self.press("alt+f3")
        self.assert_visible(first, False, "Alt+F3 did not hide them (desktop 3)")
        second = self.open_windows("D3_", 2)
        self.press("alt+f1")
        self.assert_visible(first, True, "Alt+F1 did not show desktop 1's windows")
        self.assert_visible(second, False, "Alt+F1 did not hide desktop 3's windows")
        self.press("alt+f3")
        self.assert_visible(second, True, "Alt+F3 did not show desktop 3's windows again")
        self.assert_visible(first, False, "Alt+F3 did not hide desktop 1's windows")
        self.press("alt+f1")
        self.assert_visible(first, True, "back on desktop 1")
        self.assert_visible(second, False, "back on desktop 1")

    def test_no_wrap_around_below_desktop_one(self):
        windows = self.open_windows("W")
        self.start_program()
        watcher = self.probe_background("tooltip", 3000, first_line="watching")
        self.press("alt+left")
        self.assert_stays_visible(windows, "Alt+Left on desktop 1 switched somewhere")
        self.assertEqual(watcher.readline(), "none", "a refused switch showed a notice")
        # Had it wrapped to desktop 3, Alt+Right would now be refused in turn.
        self.press("alt+right")
        self.assert_visible(windows, False, "Alt+Right from desktop 1 did not switch")


class Switching(WineTestCase):
    def test_a_program_that_takes_no_messages_holds_nothing_up(self):
        self.notice_off()
        windows = self.open_windows("W")
        self.start_program()
        hung = self.probe_background("hang-window", "Hung", 12000, first_line="hanging")
        self.press("alt+right")
        self.assert_visible(windows, False, "the hung window on top held the switch")
        self.assertEqual(self.probe("answers", 2000), ["answered"],
                         "the program stopped answering while another one hung")
        self.assertEqual(self.probe("visible", "Hung"), ["1"], "the hung window changed already")
        self.assertIsNone(hung.readline(0.05), "the checks came too late: the helper woke first")
        self.assertEqual(hung.readline(30), "awake")
        self.assert_visible(["Hung"], False, "the hung window did not follow when it woke")
        self.press("alt+left")
        self.assert_visible(windows + ["Hung"], True, "Alt+Left did not bring all back")

    def test_quick_presses_keep_every_window_on_its_desktop(self):
        self.notice_off()
        desks = [self.open_windows("A", 5)]
        self.start_program()
        for prefix in "BC":
            self.press("alt+right")
            self.assert_visible(desks[-1], False, "Alt+Right did not switch")
            desks.append(self.open_windows(prefix, 5))
        keys = ["alt+left", "alt+right", "alt+f1", "alt+f2", "alt+f3"]
        presses = [keys[(7 * i + i // 3) % len(keys)] for i in range(60)]
        current = 3
        for key in presses:  # no wrap-around: previous on 1 and next on 3 stay put
            step = {"alt+left": -1, "alt+right": 1}.get(key)
            current = min(3, max(1, current + step)) if step else int(key[len("alt+f"):])
        self.assertEqual(self.probe("quick-keys", *presses), ["ok"])
        for desk in [current, 1, 2, 3]:
            if desk != current:
                self.press("alt+f%d" % desk)
            for number, titles in enumerate(desks, 1):
                self.assert_visible(titles, number == desk, "desktop %d after quick presses,"
                                    " windows of desktop %d" % (desk, number))
            current = desk


class MidSwitch(WineTestCase):
    """Whatever happens while a switch waits for another program's windows."""

    def slow_windows(self, count):
        """Windows that take a second each to handle a hide; their probe says what they hear."""
        heard = self.probe_background("windows", "S", count, 600, 1000, first_line="ready")
        return heard, ["S%d" % i for i in range(1, count + 1)]

    def test_tray_clicks_during_a_slow_switch_wait_until_it_ends(self):
        heard, slow = self.slow_windows(5)
        windows = slow + self.open_windows("W")
        program = self.start_program()
        hidden = self.hidden_window()
        x, y, _ = self.tray_icon()
        self.press("alt+right")
        self.assertEqual(self.probe("mouse", x, y, "right"), ["ok"])
        self.assertEqual(self.probe("mouse", x, y, "left"), ["ok"])
        self.assertEqual(self.probe("mouse", *MOUSE_ASIDE), ["ok"])
        started = [heard.readline(0.05) for _ in slow]
        self.assertIn(None, started, "the clicks came too late: every hide had begun")
        self.assertIsNotNone(self.menus(1), "the right click opened no menu after the switch")
        self.choose("esc")
        self.assertEqual(len(self.dialogs(OPTIONS_TITLE)[0]), 1, "no options dialog after the menu")
        self.post(OPTIONS_TITLE, 0, WM_CLOSE)
        self.assertEqual(self.probe("wait-gone", WAIT_MS, OPTIONS_TITLE), ["ok"])
        self.assert_visible(windows, False, "desktop 1's windows did not stay on desktop 1")
        self.press("alt+left")
        self.assert_visible(windows, True, "Alt+Left did not bring every window back")
        self.press("alt+right")
        self.assert_visible(windows, False, "Alt+Right did not hide every window again")
        self.open_menu()
        self.press("up", "enter")
        self.assert_orderly_end(program, windows, hidden, "Exit")

    def test_killed_in_a_slow_switch_every_window_comes_back(self):
        heard, slow = self.slow_windows(3)
        windows = slow + self.open_windows("W")
        program = self.start_program()
        self.press("alt+right")
        self.assertRegex(heard.readline() or "", r"^heard S\d 0$", "no slow hide began")
        self.assertEqual(self.probe("end-program", "kill"), ["done"])
        self.wait_exit(program, "when killed")
        self.start_program()
        self.assert_visible(windows, True, "windows of the killed switch stayed hidden")
        self.assert_stays_visible(windows, "a hide queued before the kill won", seconds=4)

    def test_hide_queued_for_a_hung_program_does_not_outlive_a_kill(self):
        self.notice_off()
        windows = self.open_windows("W")
        program = self.start_program()
        hung = self.probe_background("hang-window", "Hung", 12000, first_line="hanging")
        self.press("alt+right")
        self.assert_visible(windows, False, "Alt+Right did not switch")
        self.assertEqual(self.probe("end-program", "kill"), ["done"])
        self.wait_exit(program, "when killed")
        self.start_program()
        self.assert_visible(windows, True, "the next start did not show desktop 1's windows")
        self.assertIsNone(hung.readline(0.05), "the checks came too late: the helper woke first")
        self.assertEqual(hung.readline(30), "awake")
        self.assert_stays_visible(["Hung"], "the hide queued before the kill hid it for good", 3)

    def test_windows_hear_they_are_shown_and_the_highest_left_is_activated(self):
        """W3, the topmost, closes while hidden: W1 and W2 each hear the hide and the show, and
        W2, the highest window left, is activated."""
        self.notice_off()
        heard = self.probe_background("windows", "W", 3, 600, 0, first_line="ready")
        self.start_program()
        self.press("alt+right")
        self.assert_visible(WINDOWS, False, "Alt+Right did not switch")
        self.assertEqual(self.probe("close", "W3"), ["posted"])
        self.poll(lambda: self.probe("visible", "W3"), ["missing"], "W3 did not close")
        self.press("alt+left")
        self.assert_visible(WINDOWS[:2], True, "Alt+Left did not switch back")
        self.assertEqual(self.probe("wait-foreground", "W2", WAIT_MS), ["ok"],
                         "W2, the highest window left, was not activated")
        lines = [heard.readline(5) for _ in range(5)] + [heard.readline(1)]
        for title, expected in (("W1", [0, 1]), ("W2", [0, 1]), ("W3", [0])):
            self.assertEqual([l for l in lines if l and l.split()[1] == title],
                             ["heard %s %d" % (title, v) for v in expected], lines)


class Notice(WineTestCase):
    def reference_tip(self, text):
        lines = Lines(["wine", self.probe_path, "show-tip", text, "800"], self.env)
        self.running.append(lines)
        shown = lines.readline()
        self.assertTrue(shown and shown.startswith("shown "), shown)
        rect = [int(v) for v in shown.split()[1:]]
        pixels = self.grab(rect)
        lines.proc.wait(30)
        return rect, pixels

    def test_names_the_new_desktop_at_top_left(self):
        self.need_import()
        windows = self.open_windows("W")
        self.start_program()
        watcher = self.probe_background("tooltip", WAIT_MS, first_line="watching")
        self.press("alt+right")
        line = watcher.readline()
        self.assertTrue(line and line.startswith("tip "), "no notice after Alt+Right: %r" % line)
        rect = [int(v) for v in line.split()[1:]]
        pixels = self.grab(rect)
        self.screenshot("notice", (0, 0, rect[2] + 48, rect[3] + 24))
        gone = watcher.readline()
        self.assertTrue(gone and gone.startswith("gone "), gone)
        shown_ms = int(gone.split()[1])
        self.assertGreaterEqual(shown_ms, 350, "the notice went too soon")
        self.assertLessEqual(shown_ms, 2500, "the notice stayed too long")
        self.assert_visible(windows, False, "the switch itself did not happen")
        left, top = rect[0], rect[1]
        self.assertTrue(abs(left) <= 8 and abs(top) <= 8, "notice not at the top-left: %s" % rect)
        ref_rect, ref_pixels = self.reference_tip("VirtDesk2")
        self.assertEqual(rect, ref_rect, "the notice's size differs from a tip of 'VirtDesk2'")
        self.assertEqual(pixels, ref_pixels, "the notice does not read 'VirtDesk2'")
        _, other = self.reference_tip("VirtDesk1")
        self.assertNotEqual(pixels, other, "the pixel comparison cannot tell names apart")

    def test_option_off_shows_nothing(self):
        self.probe("regset", OPTIONS_KEY, "PrevDesk", "REG_SZ", b"1 37".hex(),
                   "NextDesk", "REG_SZ", b"1 39".hex(), "ShowCurDeskMsg", "REG_BINARY", "00",
                   check=True)
        windows = self.open_windows("W")
        self.start_program()
        watcher = self.probe_background("tooltip", 4000, first_line="watching")
        self.press("alt+right")
        self.assert_visible(windows, False, "Alt+Right did not switch")
        self.assertEqual(watcher.readline(), "none", "a notice showed with ShowCurDeskMsg 00")


class SecondCopy(WineTestCase):
    def test_refused_whatever_its_temp_and_first_copy_unharmed(self):
        """A shell of another kind in the same session has a TEMP of its own: a copy started
        there finds no lock file held, and is refused all the same."""
        windows = self.open_windows("W", 1)
        self.start_program()
        self.press("alt+right")
        self.assert_visible(windows, False, "Alt+Right did not switch")
        before = (self.settings(), self.regdump(JOURNAL_KEY))
        self.assertTrue(before[1], "no journal of the hidden window")
        os.makedirs(os.path.join(self.prefix, "drive_c", "othertmp"))
        second = subprocess.Popen(
            ["wine", "cmd", "/c", "set TMP=C:\\othertmp&& set TEMP=C:\\othertmp&& " + PROGRAM_PATH],
            env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        self.running.append(second)
        self.assertEqual(self.probe("msgbox", ERROR_CAPTION, WAIT_MS),
                         ["Cant create temporary file. Maybe program is already running."])
        self.assertEqual(self.wait_exit(second, "after its error box"), 1)
        self.assertEqual((self.settings(), self.regdump(JOURNAL_KEY)), before,
                         "the second copy changed the settings or the journal")
        self.assertEqual(self.probe("tempfile"), ["exists"], "the running copy lost its lock")
        self.press("alt+left")
        self.assert_visible(windows, True, "the first copy no longer switches")


class Shutdown(WineTestCase):
    """WM_CLOSE and the menu's Exit end the program the same way."""

    def hide_on_two_desktops(self):
        """W1..W3 on desktop 1 and X1, X2 on desktop 2, all hidden on desktop 3."""
        first = self.open_windows("W")
        program = self.start_program()
        hidden = self.hidden_window()
        self.assertEqual(self.probe("tray-has", hidden, 0), ["1"], "no tray icon while running")
        self.press("alt+right")
        self.assert_visible(first, False, "Alt+Right did not switch")
        second = self.open_windows("X", 2)
        self.press("alt+right")
        self.assert_visible(second, False, "Alt+Right did not switch to desktop 3")
        return program, hidden, first + second

    def test_close_shows_everything_and_saves(self):
        program, hidden, windows = self.hide_on_two_desktops()
        self.assertEqual(self.probe("close-hidden"), ["posted"])
        self.assert_orderly_end(program, windows, hidden, "WM_CLOSE")

    def test_end_of_session_shows_everything_before_its_answer(self):
        program, hidden, windows = self.hide_on_two_desktops()
        self.assertEqual(self.probe("end-session", 0), ["query 1", "answered"])
        self.assertEqual(self.probe("visible", *windows), ["1"] * len(windows),
                         "windows still hidden when WM_ENDSESSION returned")
        self.assertIsNone(self.regdump(JOURNAL_PARENT), "the journal outlived the session")
        self.assertEqual(self.probe("tray-has", hidden, 0), ["0"], "the tray icon stayed")
        self.assertIsNone(program.poll(), "ended although only the session did")
        self.assertEqual(self.probe("close-hidden"), ["posted"])
        self.assertEqual(self.wait_exit(program, "after WM_CLOSE"), 0)

    def test_restart_manager_ends_it_in_order(self):
        program, hidden, windows = self.hide_on_two_desktops()
        self.assertEqual(self.probe("end-session", 1)[0], "query 1")
        self.assert_orderly_end(program, windows, hidden, "WM_ENDSESSION with ENDSESSION_CLOSEAPP")

    def test_exit_in_menu_shows_everything_and_saves(self):
        program, hidden, windows = self.hide_on_two_desktops()
        self.open_menu()
        self.press("up", "enter")  # Up goes from no selection to the last item, "Exit"
        self.assert_orderly_end(program, windows, hidden, "Exit")


class DisorderlyEnd(WineTestCase):
    def hide_on_desktops_one_and_two(self):
        """W1 hidden on desktop 1 and X1 on desktop 2; desktop 3 is current."""
        windows = self.open_windows("W", 1)
        program = self.start_program()
        self.press("alt+right")
        self.assert_visible(windows, False, "Alt+Right did not hide W1")
        windows += self.open_windows("X", 1)
        self.press("alt+right")
        self.assert_visible(windows, False, "Alt+Right did not hide X1")
        return program, windows

    def test_killed_copys_windows_come_back_at_the_next_start(self):
        program, windows = self.hide_on_desktops_one_and_two()
        self.assertEqual(self.probe("end-program", "kill"), ["done"])
        self.wait_exit(program, "when killed")
        self.assertEqual(self.probe("visible", *windows), ["0", "0"], "shown by whom?")
        program = self.start_program()
        self.poll(lambda: self.probe("visible", *windows), ["1", "0"], "only W1 is on desktop 1")
        self.press("alt+f2")
        self.assert_visible(windows[1:], True, "Alt+F2 did not bring desktop 2's window back")
        self.assertEqual(self.probe("close-hidden"), ["posted"])
        self.assertEqual(self.wait_exit(program, "after WM_CLOSE"), 0)
        self.assertEqual(self.probe("visible", *windows), ["1", "1"])

    def end_shows_the_hidden_windows(self, how):
        self.probe("regset", "Software\\Wine\\WineDbg", "ShowCrashDialog", "REG_DWORD",
                   "00000000", check=True)
        program, windows = self.hide_on_desktops_one_and_two()
        self.assertEqual(self.probe("end-program", how), ["done"])
        self.assert_visible(windows, True, "%s left windows hidden" % how)
        self.assertNotEqual(self.wait_exit(program, "after " + how), 0)
        self.assertIsNotNone(self.regdump(JOURNAL_KEY), "journal gone")

    def test_crash_shows_the_hidden_windows(self):
        self.end_shows_the_hidden_windows("crash")

    def test_stack_overflow_of_the_program_thread_shows_the_hidden_windows(self):
        self.end_shows_the_hidden_windows("overflow")

    def test_abort_on_the_program_thread_shows_the_hidden_windows(self):
        self.end_shows_the_hidden_windows("abort")

    def test_taskbar_created_adds_the_icon_again(self):
        self.start_program()
        hidden = self.hidden_window()
        self.assertEqual(self.probe("taskbar-restart", hidden), ["gone"])
        self.poll(lambda: self.probe("tray-has", hidden, 0), ["1"], "the icon did not come back")


class TrayMenu(WineTestCase):
    MAIN_ITEMS = ["VirtDesk1>", "*VirtDesk2>", "VirtDesk3>", "-", "More options...", "About",
                  "Exit"]

    def test_right_click_lists_desktops_then_about_and_exit(self):
        """Desktop 1 holds Notes 1 and Notes 2, desktop 2 (current) shows Mail 1, desktop 3 is
        empty. The menu and each submenu must look exactly like reference menus with the items
        the program should list, and the keyboard must find three submenus and two commands."""
        self.need_import()
        notes = self.open_windows("Notes ", 2)
        self.start_program()
        self.press("alt+right")
        self.assert_visible(notes, False, "Alt+Right did not switch")
        self.open_windows("Mail ", 1)
        x, y, found = self.tray_icon()
        self.assertTrue(found, "no icon in the tray showed the tip %r" % TRAY_TIP)
        menu = self.open_menu()
        self.assert_near(menu, (x, y), "the menu opened away from the icon")
        self.assertEqual(self.probe("no-tip", WAIT_MS), ["ok"], "the icon's tip covers the menu")
        menu_pixels = self.grab(menu)
        opens, submenu_pixels = self.walk_items(6)
        self.assertEqual(opens, [True, True, True, False, False, False],
                         "items that open a submenu, from the top (desktops, More, About, Exit)")
        self.press("down", "right")  # past "Exit" back to the first desktop
        both = self.menus(2)
        self.assertIsNotNone(both, "Down after the last item did not wrap to desktop 1")
        self.screenshot("menu-desktop1")
        # The corner with the icon, the menu and its submenu, with a margin of 40 pixels.
        self.screenshot("menu-desktop1-corner",
                        (min(r[0] for r in both) - 40, min(r[1] for r in both) - 40) + SCREEN)
        self.choose("esc", "esc")

        # Pixels are compared as a whole: a difference of a few would drown in their dump.
        self.assertTrue(menu_pixels == self.reference_menu(0, self.MAIN_ITEMS),
                        "the menu is not desktops 1-3 (2 checked), separator, About, Exit")
        other = list(self.MAIN_ITEMS)
        other[:2] = ["*VirtDesk1>", "VirtDesk2>"]
        self.assertFalse(menu_pixels == self.reference_menu(0, other),
                         "the pixel comparison cannot tell where the check mark is")
        expected = [["Notes 1", "Notes 2"], ["Mail 1"], ["~empty ;|"]]
        for desk, (pixels, items) in enumerate(zip(submenu_pixels, expected), 1):
            self.assertTrue(pixels == self.reference_menu(1, items),
                            "VirtDesk%d's submenu is not %s" % (desk, items))

    def assert_near(self, rect, point, why, slack=32):
        left, top, right, bottom = rect
        dx = max(left - point[0], 0, point[0] - right)
        dy = max(top - point[1], 0, point[1] - bottom)
        self.assertLessEqual(max(dx, dy), slack, "%s: %s, icon at %s" % (why, rect, point))

    def test_window_of_another_desktop_comes_here(self):
        """A1 and A2 on desktop 1, B1 on desktop 2. Desktop 1's list holds them bottom to top,
        so its first item is A1: chosen on desktop 2, A1 stays there."""
        first = self.open_windows("A", 2)
        self.start_program()
        self.press("alt+right")
        self.assert_visible(first, False, "Alt+Right did not switch")
        self.open_windows("B", 1)
        self.open_menu()
        self.press("down", "right")
        self.assertIsNotNone(self.menus(2), "desktop 1's submenu did not open")
        self.choose("enter")
        self.assert_visible(["A1"], True, "choosing desktop 1's first item did not show A1")
        self.assertEqual(self.probe("visible", "A2", "B1"), ["0", "1"],
                         "only A1 may change: A2 stays hidden, B1 visible")
        self.press("alt+left")
        self.assert_visible(["A2"], True, "Alt+Left did not show A2 on desktop 1")
        self.assert_visible(["A1", "B1"], False,
                            "Alt+Left left A1 or B1 visible (A1 belongs to desktop 2 now)")
        self.press("alt+right")
        self.assert_visible(["B1", "A1"], True, "A1 did not stay on desktop 2 with B1")
        self.assert_visible(["A2"], False, "Alt+Right did not hide A2")


class AboutBox(WineTestCase):
    def about(self):
        """The open About box: (count of windows so titled, its handle, text of 1019, OK's
        centre)."""
        lines = self.probe("about", WAIT_MS)
        self.assertEqual(len(lines), 4, "no About box: %s" % lines)
        count = int(lines[0].split()[1])
        text = bytes.fromhex(lines[2].partition(" ")[2])
        left, top, right, bottom = [int(v) for v in lines[3].split()[1:]]
        return count, lines[1], text.decode("latin-1"), ((left + right) // 2, (top + bottom) // 2)

    def choose_about(self):
        self.open_menu()
        self.choose("up", "up", "enter")  # Exit, then About above it

    def close_with_ok(self, ok_at=None):
        """A click on OK, or with no point the button's own click (BM_CLICK)."""
        if ok_at:
            self.assertEqual(self.probe("mouse", ok_at[0], ok_at[1], "left"), ["ok"])
        else:
            self.assertEqual(self.probe("press-button", ABOUT_TITLE, 1), ["posted"])
        self.assertEqual(self.probe("wait-gone", WAIT_MS, ABOUT_TITLE), ["ok"],
                         "OK did not close the About box")

    def assert_thanks_text(self, text):
        """CR LF lines: a two-line dedication, an empty line, a heading, three lines of names
        in two columns split by two tabs, an empty line, a postscript."""
        lines = text.split("\r\n")
        self.assertEqual(len(lines), 9, "thanks text: %r" % text)
        self.assertFalse(any("\n" in line or "\r" in line for line in lines), repr(text))
        self.assertEqual([lines[2], lines[7]], ["", ""], repr(text))
        for line in lines[:2] + lines[3:4] + lines[8:]:
            self.assertTrue(line.strip() and "\t" not in line, repr(line))
        for line in lines[4:7]:
            columns = line.split("\t\t")
            self.assertEqual(len(columns), 2, repr(line))
            self.assertTrue(all(c.strip() and "\t" not in c for c in columns), repr(line))

    def test_one_box_at_a_time_and_it_opens_again(self):
        program = self.start_program()
        self.choose_about()
        count, box, text, _ = self.about()
        self.assertEqual(count, 1)
        self.assert_thanks_text(text)
        if shutil.which("import"):
            self.screenshot("about")
        # The hidden window still runs inside the box's own loop: the menu opens over the box.
        self.choose_about()
        time.sleep(1)  # a second box would be up by now
        count, again, _, _ = self.about()
        self.assertEqual((count, again), (1, box), "About while About is open made another box")
        # The menu left the program's invisible window active, and under Wine the next clicks on
        # the box then only activate it: the button is pressed through its own message here.
        self.close_with_ok()
        self.assertIsNone(program.poll(), "closing the About box ended the program")
        self.choose_about()
        count, _, text, ok_at = self.about()
        self.assertEqual(count, 1, "About did not open again after the box had closed")
        self.assert_thanks_text(text)
        self.close_with_ok(ok_at)
        self.assertIsNone(program.poll(), "closing the About box ended the program")


class OptionsDialog(WineTestCase):
    """The options dialog opened by a left click on the real tray icon, and the desktop editor
    opened by its Add button."""

    # The arrows are extended keys: a control holds them so, whether typed or filled in.
    ALT_LEFT = (HOTKEYF_ALT | HOTKEYF_EXT) << 8 | VK_LEFT
    ALT_RIGHT = (HOTKEYF_ALT | HOTKEYF_EXT) << 8 | VK_RIGHT
    ALT_DOWN = (HOTKEYF_ALT | HOTKEYF_EXT) << 8 | VK_DOWN
    ALT_F5 = HOTKEYF_ALT << 8 | VK_F5
    ALT_F1 = HOTKEYF_ALT << 8 | VK_F1
    CTRL_SHIFT_F9 = (HOTKEYF_CONTROL | HOTKEYF_SHIFT) << 8 | VK_F9

    def open_options(self):
        """Left-clicks the tray icon; the mouse then moves aside. The dialog and the work area."""
        x, y, _ = self.tray_icon()
        self.assertEqual(self.probe("mouse", x, y, "left"), ["ok"])
        dialogs, work = self.dialogs(OPTIONS_TITLE)
        self.assertEqual(len(dialogs), 1, "a left click on the tray icon opened %d dialogs "
                         "titled %r" % (len(dialogs), OPTIONS_TITLE))
        self.assertEqual(self.probe("mouse", *MOUSE_ASIDE), ["ok"])
        return dialogs[0], work

    def end_options(self, message, wparam=0):
        self.post(OPTIONS_TITLE, 0, message, wparam)
        self.assertEqual(self.probe("wait-gone", WAIT_MS, OPTIONS_TITLE), ["ok"],
                         "message %#x did not end the options dialog" % message)

    def assert_saved_next(self, text, why):
        self.poll(lambda: self.saved_text(OPTIONS_KEY, "NextDesk"), text, why)

    def test_left_click_opens_one_dialog_listing_the_desktops(self):
        windows = self.open_windows("W")
        program = self.start_program()
        self.press("alt+right")
        self.assert_visible(windows, False, "Alt+Right did not switch")
        dialog, work = self.open_options()
        centre = [(dialog.rect[i] + dialog.rect[i + 2]) / 2 for i in (0, 1)]
        expected = [(work[i] + work[i + 2]) / 2 for i in (0, 1)]
        self.assertTrue(all(abs(a - b) <= 2 for a, b in zip(centre, expected)),
                        "not centred in the work area %s: %s" % (work, dialog.rect))
        self.assertEqual(self.list_items(OPTIONS_TITLE, IDC_DESK_LIST),
                         [(0, "VirtDesk1"), (1, "VirtDesk2"), (0, "VirtDesk3")],
                         "the list: the desktops in number order, VirtDesk2 marked as current")
        if shutil.which("import"):
            self.assertEqual(self.probe("no-tip", WAIT_MS), ["ok"], "the icon's tip stays")
            self.screenshot("options-dialog", dialog.rect)
        x, y, _ = self.tray_icon()
        self.assertEqual(self.probe("mouse", x, y, "left"), ["ok"])
        time.sleep(1)  # a second dialog would be up by now
        again, _ = self.dialogs(OPTIONS_TITLE)
        self.assertEqual([d.handle for d in again], [dialog.handle],
                         "a second left click did not leave exactly the one options dialog")
        self.end_options(WM_CLOSE)
        self.assertIsNone(program.poll(), "closing the options dialog ended the program")
        # The first-run default has no line feed; the save after the dialog writes one.
        self.assert_saved_next("1 39\n", "the settings were not saved after the dialog")
        self.press("alt+left")
        self.assert_visible(windows, True, "Alt+Left no longer switches after the dialog")

    def test_add_creates_a_desktop_with_its_hotkey(self):
        windows = self.open_windows("W")
        self.start_program()
        options, _ = self.open_options()
        self.post(OPTIONS_TITLE, IDC_ADD, BM_CLICK)
        editor = self.only_dialog(EDITOR_TITLE)
        self.assertEqual(editor.owner, options.handle, "the editor's owner")
        self.assertFalse(self.only_dialog(OPTIONS_TITLE).enabled,
                         "the options dialog is enabled under the editor")
        self.assertEqual((self.control_text(EDITOR_TITLE, IDC_DESK_NAME),
                          self.send(EDITOR_TITLE, IDC_DESK_HOTKEY, HKM_GETHOTKEY)), ("", 0),
                         "a new desktop's editor shows a name or a hotkey")
        self.press("alt+right", "alt+f3")
        self.assert_stays_visible(windows, "a hotkey switched while the desktop editor was open")

        self.set_text(EDITOR_TITLE, IDC_DESK_NAME, "Fourth")
        self.set_hotkey_control(EDITOR_TITLE, IDC_DESK_HOTKEY, self.ALT_F5)
        if shutil.which("import"):
            both = [min(options.rect[0], editor.rect[0]), min(options.rect[1], editor.rect[1]),
                    max(options.rect[2], editor.rect[2]), max(options.rect[3], editor.rect[3])]
            self.screenshot("desk-editor", both)
        self.post(EDITOR_TITLE, IDOK, BM_CLICK)
        self.assertEqual(self.probe("wait-gone", WAIT_MS, EDITOR_TITLE), ["ok"],
                         "OK did not close the editor")
        names = [text for _, text in self.list_items(OPTIONS_TITLE, IDC_DESK_LIST, 4)]
        self.assertEqual(names, ["VirtDesk1", "VirtDesk2", "VirtDesk3", "Fourth"])
        self.assertTrue(self.only_dialog(OPTIONS_TITLE).enabled,
                        "the options dialog stayed disabled after the editor")
        # Registered at once: another program can no longer take the combination.
        self.assertEqual(self.probe("hold-hotkey", 1, VK_F5, 0), ["fail"],
                         "Alt+F5 is not registered while the options dialog is still open")

        self.end_options(WM_CLOSE)
        # Wine enumerates a key's values by name, not in the order they were written.
        self.poll(lambda: sorted(self.regdump(DESKS_KEY) or []),
                  ["Fourth", "VirtDesk1", "VirtDesk2", "VirtDesk3"], "the saved desktops")
        desks = self.regdump(DESKS_KEY)
        self.assert_text_value(desks, "VirtDesk1", "REG_MULTI_SZ", "1 112\n")
        self.assert_text_value(desks, "Fourth", "REG_MULTI_SZ", "1 116\n")
        self.press("alt+f5")
        self.assert_visible(windows, False, "Alt+F5 did not switch to the new desktop 4")
        self.press("alt+f1")
        self.assert_visible(windows, True, "Alt+F1 did not switch back from desktop 4")

    def test_hotkeys_switch_nothing_while_open(self):
        windows = self.open_windows("W")
        self.start_program()
        self.open_options()
        self.press("alt+right", "alt+f2")
        self.assert_stays_visible(windows, "a hotkey switched while the options dialog was open")
        self.end_options(WM_CLOSE)
        self.assert_stays_visible(windows, "a hotkey pressed in the dialog acted after it closed")
        self.press("alt+right")
        self.assert_visible(windows, False, "Alt+Right did not switch after the dialog closed")

    def refused_close(self, dialog, message):
        """WM_CLOSE to the options dialog is answered by `message` and leaves it open."""
        self.post(OPTIONS_TITLE, 0, WM_CLOSE)
        self.assertEqual(self.probe("msgbox", INFO_CAPTION, WAIT_MS), [message])
        time.sleep(0.5)  # a close that went through would have ended the dialog by now
        open_now, _ = self.dialogs(OPTIONS_TITLE)
        self.assertEqual([d.handle for d in open_now], [dialog.handle],
                         "refused options closed the dialog")

    def test_clashing_or_foreign_held_hotkeys_are_refused_and_never_stored(self):
        windows = self.open_windows("W")
        program = self.start_program()
        # Held by another program for the whole test: the real registration would fail.
        self.probe_background("hold-hotkey", MOD_CONTROL | MOD_SHIFT, VK_F9, 600000,
                              first_line="ok")
        dialog, _ = self.open_options()
        self.set_hotkey_control(OPTIONS_TITLE, IDC_NEXT_HOTKEY, self.ALT_F1)
        self.refused_close(dialog, 'Next desktop hotkey is already used by "VirtDesk1".')
        self.set_hotkey_control(OPTIONS_TITLE, IDC_NEXT_HOTKEY, self.ALT_RIGHT)
        self.set_hotkey_control(OPTIONS_TITLE, IDC_PREV_HOTKEY, self.CTRL_SHIFT_F9)
        self.refused_close(dialog, "Previous desktop hotkey is used by another program.")
        self.assertIsNone(program.poll(), "a refused close ended the program")
        # Nothing was applied or saved: the first-run text has no line feed, a save writes one.
        self.assertEqual(self.saved_text(OPTIONS_KEY, "PrevDesk"), "1 37")

        self.set_hotkey_control(OPTIONS_TITLE, IDC_PREV_HOTKEY, self.ALT_LEFT)
        self.set_hotkey_control(OPTIONS_TITLE, IDC_NEXT_HOTKEY, self.ALT_DOWN)
        self.end_options(WM_CLOSE)
        self.assert_saved_next("1 40\n", "the mended options were not saved")
        self.assertEqual(self.saved_text(OPTIONS_KEY, "PrevDesk"), "1 37\n")
        self.press("alt+down")
        self.assert_visible(windows, False, "the mended next hotkey Alt+Down does not switch")
        self.press("alt+f1")
        self.assert_visible(windows, True, "Alt+F1 no longer switches to desktop 1")

    def test_escape_drops_option_changes_and_close_applies_them(self):
        windows = self.open_windows("W")
        self.start_program()
        self.open_options()
        shown = [self.send(OPTIONS_TITLE, IDC_PREV_HOTKEY, HKM_GETHOTKEY),
                 self.send(OPTIONS_TITLE, IDC_NEXT_HOTKEY, HKM_GETHOTKEY),
                 self.send(OPTIONS_TITLE, IDC_AUTOSTART, BM_GETCHECK),
                 self.send(OPTIONS_TITLE, IDC_SHOW_NOTICE, BM_GETCHECK)]
        self.assertEqual(shown, [self.ALT_LEFT, self.ALT_RIGHT, 1, 1],
                         "the controls: previous, next, start at logon, notice")
        self.set_hotkey_control(OPTIONS_TITLE, IDC_NEXT_HOTKEY, self.ALT_DOWN)
        # A real key press: opened from the notification area, the dialog must have the keyboard.
        self.press("esc")
        self.assertEqual(self.probe("wait-gone", WAIT_MS, OPTIONS_TITLE), ["ok"],
                         "a real Esc did not end the options dialog: it is not in front")
        self.assert_saved_next("1 39\n", "not saved after Esc, or saved with the dropped hotkey")
        self.press("alt+down")
        self.assert_stays_visible(windows, "Alt+Down switched: Esc applied the new next hotkey")
        self.press("alt+right")
        self.assert_visible(windows, False, "after Esc the old next hotkey Alt+Right is gone")
        self.press("alt+left")
        self.assert_visible(windows, True, "Alt+Left did not switch back")

        self.open_options()
        self.assertEqual(self.send(OPTIONS_TITLE, IDC_NEXT_HOTKEY, HKM_GETHOTKEY), self.ALT_RIGHT,
                         "the dialog shows the next hotkey that Esc dropped")
        self.set_hotkey_control(OPTIONS_TITLE, IDC_NEXT_HOTKEY, self.ALT_DOWN)
        self.send(OPTIONS_TITLE, IDC_AUTOSTART, BM_SETCHECK, 0)
        self.end_options(WM_CLOSE)
        self.poll(lambda: (self.saved_text(OPTIONS_KEY, "NextDesk"),
                           self.saved_text(RUN_KEY, "veilswitcher.exe")), ("1 40\n", None),
                  "after the close box: next hotkey Alt+Down saved, start at logon off")
        self.press("alt+right")
        self.assert_stays_visible(windows, "the replaced next hotkey Alt+Right still switches")
        self.press("alt+down")
        self.assert_visible(windows, False, "the applied next hotkey Alt+Down does not switch")


class HotkeyTaken(WineTestCase):
    def test_next_hotkey_held_elsewhere_is_fatal(self):
        self.probe_background("hold-hotkey", 1, 0x27, 600000, first_line="ok")  # Alt+Right
        program = self.start_program(wait_ready=False)
        self.assertEqual(self.probe("msgbox", ERROR_CAPTION, WAIT_MS),
                         ["Cant register next desktop hotkey."])
        self.assertEqual(self.wait_exit(program, "after its error box"), 1)
        self.assertEqual(self.probe("tempfile"), ["absent"], "the lock file outlived the program")
        # The end after loading is a full shutdown: the settings were written back.
        self.assert_text_value(self.regdump(OPTIONS_KEY), "NextDesk", "REG_SZ", "1 39\n")


class Extras(WineTestCase):
    """The extras with their defaults, or after a first run with values of `more` set."""

    def start_with(self, *values):
        if values:
            first = self.start_program()
            self.assertEqual(self.probe("close-hidden"), ["posted"])
            self.assertEqual(self.wait_exit(first, "after WM_CLOSE"), 0)
            self.assertEqual(self.probe("regset", MORE_KEY, *values), ["ok"])
        return self.start_program()

    def step(self, keys, shown, hidden, why):
        self.press(keys)
        for titles, state in ((shown, True), (hidden, False)):
            if titles:
                self.assert_visible(titles, state, why)

    def test_sends_with_alt_shift_right_and_alt_shift_f3_and_the_view_follows(self):
        self.open_windows("W", 3)  # W3, opened last, is the foreground window
        self.start_with()
        self.step("alt+shift+right", ["W3"], ["W1", "W2"], "W3 and the view not on desktop 2")
        self.step("alt+shift+f3", ["W3"], [], "W3 and the view not on desktop 3")
        self.step("alt+f1", ["W1", "W2"], ["W3"], "desktop 1 changed")

    def test_with_send_follows_off_the_view_stays(self):
        self.open_windows("W", 2)
        self.start_with("SendFollows", "REG_DWORD", "00000000")
        self.step("alt+shift+right", ["W1"], ["W2"], "W2 stayed or the view went along")
        self.step("alt+right", ["W2"], ["W1"], "W2 is not on desktop 2")

    def test_pinned_window_stays_everywhere_and_is_listed_nowhere(self):
        self.need_import()
        self.open_windows("W", 3)
        self.start_with("PinWindow", "REG_SZ", "33203830")  # "3 80": Ctrl+Alt+P
        self.press("ctrl+alt+p")
        self.step("alt+right", ["W3"], ["W1", "W2"], "W3 not pinned")
        self.open_menu()
        pixels = self.walk_items(2)[1]
        self.choose("esc", "esc")
        self.assertTrue(pixels[0] == self.reference_menu(1, ["W1", "W2"]), "desktop 1's list")
        self.assertTrue(pixels[1] == self.reference_menu(1, ["~empty ;|"]), "desktop 2's list")
        self.step("alt+left", ["W1", "W2", "W3"], [], "back on desktop 1")

    def test_last_desktop_key_and_wrap_around(self):
        self.open_windows("W", 1)
        self.start_with("LastDesk", "REG_SZ", "332037360a", "WrapAround", "REG_DWORD", "01000000")
        self.step("alt+left", [], ["W1"], "Alt+Left did not wrap to desktop 3")
        self.step("ctrl+alt+l", ["W1"], [], "the last-desktop key did not return")
        self.step("ctrl+alt+l", [], ["W1"], "pressed again it did not go back")
        self.step("alt+right", ["W1"], [], "Alt+Right did not wrap to desktop 1")

    def test_send_hotkey_held_elsewhere_is_left_out(self):
        self.probe_background("hold-hotkey", 5, 0x27, 600000, first_line="ok")  # Alt+Shift+Right
        self.open_windows("W", 1)
        self.start_with()
        self.assertEqual(self.probe("msgbox", ERROR_CAPTION, 1000), ["none"])
        self.step("alt+right", [], ["W1"], "Alt+Right does not switch")

    def test_more_options_from_the_menu_apply_at_the_close_box(self):
        self.need_import()
        self.open_windows("W", 1)
        self.start_with()
        self.open_menu()
        self.choose("up", "up", "up", "enter")  # Exit, About, then "More options..."
        self.screenshot("more-options", self.only_dialog(MORE_TITLE).rect)
        self.press("alt+right")
        self.assert_stays_visible(["W1"], "a hotkey switched while the dialog was open")
        self.send(MORE_TITLE, IDC_WRAP_AROUND, BM_SETCHECK, 1)
        self.post(MORE_TITLE, 0, WM_CLOSE)
        self.poll(lambda: (self.regdump(MORE_KEY) or {}).get("WrapAround"),
                  ("REG_DWORD", b"\x01\0\0\0"), "the close box did not save")
        self.step("alt+left", [], ["W1"], "Alt+Left on desktop 1 did not wrap round")

    def test_tray_number_with_the_desktops_name_as_its_tip(self):
        self.need_import()
        self.start_with("TrayNumber", "REG_DWORD", "01000000")
        for desk in (2, 3):
            self.press("alt+right")
            word, x, y = self.probe("tray-icon", "veilswitcher: VirtDesk%d" % desk, WAIT_MS)[0].split()
            self.assertEqual(word, "icon", "no icon tipped with desktop %d's name" % desk)
            self.probe("mouse", *MOUSE_ASIDE, check=True)
            self.probe("no-tip", WAIT_MS, check=True)
            self.screenshot("tray-%d" % desk, (int(x) - 60, int(y) - 30, int(x) + 60, int(y) + 30))


class RulesDialog(WineTestCase):
    def test_lists_the_stored_rules_and_marks_the_one_that_never_acts(self):
        self.need_import()
        first = self.start_program()  # a first start writes the settings the rules sit beside
        self.assertEqual(self.probe("close-hidden"), ["posted"])
        self.assertEqual(self.wait_exit(first, "after WM_CLOSE"), 0)
        def text(value):
            return ["REG_SZ", value.encode().hex()]
        self.probe("regset", RULES_KEY + "\\1", "Program", *text("mail.exe"), "Desktop",
                   *text("VirtDesk2"), "Follow", "REG_DWORD", "01000000", check=True)
        self.probe("regset", RULES_KEY + "\\2", "Program", *text("old.exe"), "Desktop",
                   *text("Gone"), check=True)
        self.start_program()
        self.open_menu()
        self.choose("up", "up", "up", "enter")  # Exit, About, then "More options..."
        self.only_dialog(MORE_TITLE)
        self.assertEqual(self.probe("press-button", MORE_TITLE, IDC_RULES), ["posted"])
        dialog = self.only_dialog(RULES_TITLE)
        self.assertEqual(self.list_items(RULES_TITLE, IDC_RULE_LIST, 2),
                         [(0, "mail.exe"), (0, "(never acts) old.exe")])
        self.screenshot("window-rules", dialog.rect)


class Scripting(WineTestCase):
    def test_switch_list_refusals_and_garbage_change_nothing(self):
        windows = self.open_windows("W")
        program = self.start_program()
        self.assertEqual(self.client("/switch", "2")[0], 0)
        self.assert_visible(windows, False, "/switch 2 did not hide desktop 1's windows")
        listed = self.listing()
        self.assertEqual([(d["number"], d["name"], d["hotkey"], sorted(d["windows"]))
                          for d in listed["desktops"]],
                         [(1, "VirtDesk1", "Alt+F1", windows), (2, "VirtDesk2", "Alt+F2", []),
                          (3, "VirtDesk3", "Alt+F3", [])])
        self.assertEqual((listed["current"], self.client("/switch", "9")[0]), (2, 1))
        noise = random.Random(16).randbytes(64).hex()
        tag = 0x56534331
        for data, repeat in (("-", 1), (noise, 1), (noise, 4000), ("2f65786974", 1),
                             ("2f73776974636800300000", 1)):  # "/exit" unended, "/switch 0" + ""
            lines = self.probe("copydata", tag, data, repeat)
            self.assertEqual([line[:8] for line in lines], ["reply 01", "result 1"],
                             "garbage %s... x%d: refused with an answer" % (data[:8], repeat))
        self.assertIsNone(program.poll(), "garbage ended the copy")
        self.assertEqual(self.listing(), listed, "a refusal or garbage changed something")
        switched = self.client("/switch", "VirtDesk3")[0]
        self.assertEqual((switched, self.listing()["current"]), (0, 3))

    def test_list_describes_each_window_gather_brings_them_here_and_send_takes_one(self):
        windows = self.open_windows("W")
        self.start_program()
        self.assertEqual(self.probe("wait-foreground", "W3", WAIT_MS), ["ok"])
        self.assertEqual(self.client("/pin")[0], 0)
        self.assertEqual(self.client("/switch", "2")[0], 0)
        self.assert_visible(windows[:2], False, "/switch 2 did not hide W1 and W2")
        listed = self.listing(titles=False)
        described = {(w["title"], w["process"], w["class"], w["pid"] > 0, w["handle"] > 0)
                     for w in listed["desktops"][0]["windows"] + listed["pinned"]}
        self.assertEqual(described,
                         {(t, "vsprobe.exe", "vsprobeWindow", True, True) for t in windows})
        self.assertEqual((listed["version"], [d["current"] for d in listed["desktops"]],
                          [w["title"] for w in listed["pinned"]]), (1, [False, True, False], ["W3"]))
        self.assertEqual(self.client("/gather")[0], 0)
        self.assert_visible(windows, True, "/gather left windows hidden")
        self.assertEqual([sorted(d["windows"]) for d in self.listing()["desktops"]],
                         [[], ["W1", "W2"], []], "the gathered windows belong to desktop 2 now")
        here = self.listing(titles=False)["desktops"][1]["windows"]
        w1 = next(w["handle"] for w in here if w["title"] == "W1")
        self.assertEqual(self.client("/send", "3", "/window", hex(w1))[0], 0)
        self.assert_visible(["W1"], False, "/send /window did not send W1")
        self.assertEqual(self.probe("visible", "W2"), ["1"], "/send /window sent more than W1")

    def test_watch_prints_a_line_for_each_change_until_the_copy_ends(self):
        self.open_windows("W")
        program = self.start_program()
        watchers = [Lines(["wine", PROGRAM_PATH, "/watch"], self.env) for _ in range(2)]
        self.running.extend(watchers)
        for watcher in watchers:
            self.assertEqual(json.loads(watcher.readline()),
                             {"event": "state", "current": 1, "name": "VirtDesk1",
                              "desktops": ["VirtDesk1", "VirtDesk2", "VirtDesk3"]})
        watchers[1].proc.kill()  # a watcher that has gone costs the copy nothing
        self.assertEqual(self.probe("wait-foreground", "W3", WAIT_MS), ["ok"])
        self.assertEqual(self.client("/pin")[0], 0)
        pinned = json.loads(watchers[0].readline())
        self.assertEqual((pinned["event"], pinned["pinned"]), ("pin", True))
        self.press("alt+right")
        self.assertEqual(json.loads(watchers[0].readline()),
                         {"event": "switch", "current": 2, "name": "VirtDesk2"})
        self.assertEqual(self.client("/exit")[0], 0)
        self.assertEqual(self.wait_exit(program, "after /exit"), 0)
        self.assertIsNone(watchers[0].readline(5), "a line after the end")
        self.assertEqual(watchers[0].proc.wait(WAIT_MS / 1000), 0)

    def test_send_next_follow_then_exit_shows_every_window(self):
        windows = self.open_windows("W")
        program = self.start_program()
        self.assertEqual(self.client("/send", "next", "/follow")[0], 0)
        listed = self.listing()
        sent = [t for t in listed["desktops"][1]["windows"] if t in windows]
        left = sorted(set(windows) - set(sent))
        self.assertEqual((listed["current"], len(sent), sorted(listed["desktops"][0]["windows"])),
                         (2, 1, left), "not one window went along: %s" % listed)
        self.assert_visible(sent, True, "the sent window is not shown on desktop 2")
        self.assert_visible(left, False, "the others are not hidden on desktop 1")
        # The notice's half second after the switch ends.
        self.assertEqual(self.probe("no-tip", WAIT_MS), ["ok"], "the notice stays")
        self.assertEqual(self.client("/exit")[0], 0)
        self.assertEqual(self.wait_exit(program, "after /exit"), 0)
        self.assert_visible(windows, True, "/exit left windows hidden")

    def test_unicode_and_ampersand_titles_are_listed_and_shown_as_they_are(self):
        """Titles outside the code page and one with an & on desktop 1: /list prints them
        exactly, and desktop 1's submenu shows them like a reference menu of the same texts
        (the & doubled there, so that it is no shortcut mark)."""
        self.need_import()
        prefixes = ["\u041f\u0440\u0438\u0432\u0435\u0442 \u4e16\u754c \U0001F600 ",
                    "Tom & Jerry "]
        for prefix in prefixes:
            self.probe_background("windows", "u:" + prefix.encode().hex(), 1, 600,
                                  first_line="ready")
        titles = [prefix + "1" for prefix in prefixes]
        self.start_program()
        self.assertEqual(self.client("/switch", "2")[0], 0)
        listed = self.listing()["desktops"][0]["windows"]
        self.assertEqual(sorted(listed), sorted(titles))
        self.open_menu()
        self.press("down", "right")
        menus = self.menus(2)
        self.assertIsNotNone(menus, "desktop 1's submenu did not open")
        pixels = self.grab(menus[0])
        self.screenshot("titles", menus[0])
        self.choose("esc", "esc")
        items = ["u:" + t.replace("&", "&&").encode().hex() for t in reversed(listed)]
        self.assertTrue(pixels == self.reference_menu(1, items),
                        "desktop 1's submenu is not %s, bottom first" % listed)
        as_8_bit = [i if t.isascii() else "?????? ?? ??"
                    for i, t in zip(items, reversed(listed))]
        self.assertFalse(pixels == self.reference_menu(1, as_8_bit),
                         "the pixels cannot tell the titles from the code page's question marks")

    def usage(self, *bad):
        """The usage as /help prints it to a pipe, after the complaint about BAD, if given."""
        code, out, _ = self.client("/help", pipe=True)
        self.assertEqual(code, 0)
        return ["veilswitcher: unknown command: %s" % b for b in bad] + out.decode().splitlines()

    def test_from_a_console_window_the_answers_are_printed_there(self):
        # No standard handles, as cmd.exe starts a windowed program: only the AttachConsole way.
        self.open_windows("W")
        self.start_program()
        console = lambda *args: self.probe("bare", "console", PROGRAM_PATH, *args, check=True)
        listed = console("/list")
        self.assertEqual(listed[:2], ["started", "exit 0"])
        listed = self.titles_only(json.loads("".join(line[8:] for line in listed[2:])))
        own = listed["desktops"][0]["windows"].pop(0)  # the console's own window, on top
        self.assertEqual((own.endswith("vsprobe.exe"), listed), (True, self.listing()))
        for args, code, text in ((["/help"], 0, self.usage()), (["/bogus"], 3, self.usage("/bogus"))):
            self.assertEqual(console(*args), ["started", "exit %d" % code] +
                             ["console " + line for line in text], args)

    def test_a_bad_command_line_with_no_console_shows_the_usage_in_a_box(self):
        run = self.probe_background("bare", "none", PROGRAM_PATH, "/bogus", first_line="started")
        box = self.probe("msgbox", "veilswitcher", WAIT_MS)
        self.assertEqual(box, self.usage("/bogus") + [""])  # the text ends with its newline
        self.assertEqual(run.readline(), "exit 3")

    def test_started_as_a_logon_from_a_folder_with_a_space_it_stays_resident(self):
        """A logon runs the start-at-logon value, the unquoted path, as the whole command line:
        the words it splits into at the space are no command."""
        folder = os.path.join(self.prefix, "drive_c", "Program Files", "vs dir")
        os.makedirs(folder)
        shutil.copy(CONFIG.exe, os.path.join(folder, "veilswitcher.exe"))
        path = "C:\\Program Files\\vs dir\\veilswitcher.exe"
        self.assertEqual(self.probe("start-as-logon", path), ["started"])
        self.assertEqual(self.probe("wait-ready", WAIT_MS), ["ready"],
                         "started by its Run value it did not stay resident")
        self.assert_text_value(self.regdump(RUN_KEY), "veilswitcher.exe", "REG_SZ", path)
        self.assertEqual(self.client("/exit", program=path)[0], 0)
        self.assertEqual(self.probe("hidden"), ["missing"], "/exit did not end it")

    def test_no_running_copy_exits_2_and_a_bad_command_line_3(self):
        self.assertEqual(self.client("/switch", "2")[0], 2)
        self.assertEqual((self.probe("hidden"), self.probe("tempfile"), self.regdump(OPTIONS_KEY)),
                         (["missing"], ["absent"], None), "the client started something")
        code, out, err = self.client("/switch", "ABCDEFGHIJKLMNO")
        self.assertEqual((code, out), (3, b""))
        self.assertIn("usage: veilswitcher.exe", err)


class ConsoleTwin(WineTestCase):
    """veilswitcher.com, which a prompt runs for "veilswitcher" and waits for."""

    def test_a_prompt_runs_it_for_veilswitcher_and_keeps_its_exit_codes(self):
        """Run instead, the windowed program would stay resident at the bare "veilswitcher" (and
        Wine's cmd wait for it): no line after it, cmd's exit 259 (still running)."""
        self.open_windows("W")
        lines = ["veilswitcher /list", "veilswitcher", "veilswitcher /switch 9"]
        with open(os.path.join(self.prefix, "drive_c", "typed.bat"), "w", newline="\r\n") as f:
            f.write("@echo off\ncd /d %s\n" % PROGRAM_DIR +
                    "".join(line + "\necho level %ERRORLEVEL%\n" for line in lines))
        self.assertEqual(self.probe("bare", "prompt", "C:\\windows\\system32\\cmd.exe", "/c",
                                    "C:\\typed.bat"),
                         ["started", "exit 1", "console veilswitcher: veilswitcher is not running",
                          "console level 2", "console level 0", "console no desktop 9",
                          "console level 1"])
        code, out, _ = self.client("/list", pipe=True, program=TWIN_PATH)
        self.assertEqual((code, json.loads(out.decode("utf-8"))), (0, self.listing(titles=False)))

    def test_a_console_program_that_needs_no_copy_for_its_version_and_usage(self):
        self.assertEqual([pe_subsystem(p) for p in (CONFIG.twin, CONFIG.exe)],
                         [(b"PE\0\0", 3), (b"PE\0\0", 2)])
        version = (resource_version(CONFIG.exe) + "\n").encode()
        for program in (TWIN_PATH, PROGRAM_PATH):
            self.assertEqual(self.client("/version", pipe=True, program=program), (0, version, ""))
        usage = self.client("/help", pipe=True)
        self.assertIn(b"/version", usage[1])
        for word in ("-h", "--help", "/?"):
            self.assertEqual(self.client(word, pipe=True, program=TWIN_PATH), usage, word)
        self.assertEqual(self.probe("hidden"), ["missing"], "something was started")


class ScriptingWaits(WineTestCase):
    """The client waits as long as its command runs, and tells what it cannot know."""

    def slow_window_on_top(self, *hiding):
        """W1, W2 and above them S1, whose program handles a hide as HIDING says; what S1 hears."""
        self.open_windows("W", 2)
        heard = self.probe_background("windows", "S", 1, 600, *hiding, first_line="ready")
        self.start_program()
        self.assertEqual(self.probe("wait-foreground", "S1", WAIT_MS), ["ok"])
        return heard

    def test_a_send_that_waits_on_a_slow_program_is_done_and_the_view_follows(self):
        heard = self.slow_window_on_top(1500)
        code, _, err = self.client("/send", "next", "/follow")
        self.assertEqual((code, err), (0, ""), "a send waiting on a slow hide")
        self.assertEqual(heard.readline(), "heard S1 0", "the hide did not reach S1's program")
        listed = self.listing()  # the current desktop's windows are those visible
        self.assertEqual((listed["current"], [sorted(d["windows"]) for d in listed["desktops"]]),
                         (2, [["W1", "W2"], ["S1"], []]), "the view did not follow S1")

    def test_a_copy_that_stops_taking_messages_mid_command_leaves_the_outcome_unknown(self):
        heard = self.slow_window_on_top(18000, "freeze")
        client = subprocess.Popen(["wine", PROGRAM_PATH, "/send", "next", "/follow"], env=self.env,
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        self.running.append(client)
        self.assertEqual([heard.readline(), heard.readline()], ["heard S1 0", "frozen"])
        self.assertEqual(client.wait(WAIT_MS / 1000 + 5), 4, "exit code with no answer")
        self.assertIsNone(heard.readline(0.05), "the client waited for the thaw")
        self.assertEqual(heard.readline(30), "thawed")
        # The copy carried on: the send was made, and no view followed an answer never taken.
        listed = self.listing()
        self.assertEqual((listed["current"], listed["desktops"][1]["windows"]), (1, ["S1"]))


# ---- main -----------------------------------------------------------------------------------

class Rules(WineTestCase):
    """Rules stored before the start; new windows from the probe and a copy named mailer.exe."""

    def rule(self, key, **values):
        args = []
        for name, v in values.items():
            args += [name] + (["REG_DWORD", v.to_bytes(4, "little").hex()] if isinstance(v, int)
                              else ["REG_SZ", v.encode().hex()])
        self.probe("regset", RULES_KEY + "\\" + key, *args, check=True)

    def mailer(self, prefix):
        path = os.path.join(self.prefix, "drive_c", "mailer.exe")
        if not os.path.exists(path):  # never rewritten while a copy runs
            shutil.copy(self.probe_path, path)
        self.running.append(Lines(["wine", path, "windows", prefix, "1", "600"], self.env))
        self.assertEqual(self.running[-1].readline(), "ready")

    def on_desktops(self):
        return [sorted(d["windows"]) for d in self.listing()["desktops"]]

    def test_a_rule_by_program_and_a_title_set_late_move_only_new_windows(self):
        self.rule("1", Program="MAILER.exe", Desktop="VirtDesk2")
        self.rule("2", Title="Inbox*", Desktop="VirtDesk3")
        self.mailer("Old")
        self.start_program()
        self.mailer("New")
        self.open_windows("Loading", 1)
        self.open_windows("Other", 1)
        time.sleep(2.5)
        self.assertEqual(self.probe("retitle", "Loading1", "Inbox 2"), ["ok"])
        self.assert_visible(["New1", "Inbox 2"], False, "a rule did not hide a new window")
        self.assert_stays_visible(["Old1", "Other1"], "a rule acted on another window")
        self.assertEqual(self.on_desktops()[1:], [["New1"], ["Inbox 2"]])

    def test_a_pin_rule_and_a_follow_rule(self):
        self.notice_off()
        self.rule("1", Title="Pinned*", Pin=1)
        self.rule("2", Title="Chat*", Desktop="VirtDesk3", Follow=1)
        self.start_program()
        self.open_windows("Pinned", 1)
        time.sleep(1.5)
        self.open_windows("Chat", 1)
        self.assertEqual(self.probe("wait-foreground", "Chat1", WAIT_MS), ["ok"])
        self.assertEqual((self.listing()["current"], self.on_desktops()[2]), (3, ["Chat1"]))
        self.assertEqual(self.probe("visible", "Chat1", "Pinned1"), ["1", "1"])

    def test_apply_moves_what_is_open_already(self):
        self.rule("1", Title="W*", Desktop="VirtDesk2")
        windows = self.open_windows("W", 2)
        self.open_windows("Other", 1)
        self.start_program()
        self.assert_stays_visible(windows, "a window open at start was moved")
        self.assertEqual(self.client("/apply")[:2], (0, b"2 moved, 0 pinned\n"))
        self.assertEqual(self.on_desktops(), [["Other1"], windows, []])

    def test_odd_rules_do_nothing_and_never_stop_the_program(self):
        self.rule("1", Title="", Program="", Class="", Desktop="VirtDesk2")
        self.rule("2", Title="*", Desktop="Nowhere")
        self.rule("3", Title=7, Desktop="VirtDesk2", Pin="1")
        self.rule("x", Title="*", Desktop="VirtDesk2")
        self.probe("regset", RULES_KEY, "Title", "REG_SZ", b"*".hex(), check=True)
        keys = [RULES_KEY + "\\" + k for k in ("1", "2", "3", "x")]
        before = [self.regdump(k) for k in keys]
        program = self.start_program()
        self.open_windows("A", 1)
        self.assert_stays_visible(["A1"], "an odd rule acted", seconds=2.5)
        self.assertEqual(self.probe("msgbox", ERROR_CAPTION, 1000), ["none"])
        self.assertIsNone(program.poll(), "odd rules ended the program")
        self.assertEqual([self.regdump(k) for k in keys], before)


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", help="veilswitcher.exe")
    parser.add_argument("--probe", help="vsprobe.exe")
    parser.add_argument("--template", help="prefix made by --make-template (else one is made)")
    parser.add_argument("--artifacts", help="where screenshots go",
                        default=os.path.join(tempfile.gettempdir(), "vs-e2e-artifacts"))
    parser.add_argument("--make-template", metavar="DIR")
    parser.add_argument("--list", action="store_true", help="print the test names and stop")
    return parser.parse_known_args(argv)


def run_tests(args, names):
    CONFIG.exe, CONFIG.probe = os.path.abspath(args.exe), os.path.abspath(args.probe)
    CONFIG.twin = os.path.splitext(CONFIG.exe)[0] + ".com"  # the build puts it beside the exe
    CONFIG.artifacts = os.path.abspath(args.artifacts)
    for path in (CONFIG.exe, CONFIG.twin, CONFIG.probe):
        if not os.path.isfile(path):
            log("missing " + path)
            return 2
    own_template = None
    if args.template and os.path.isdir(args.template):
        CONFIG.template = args.template
    else:
        own_template = tempfile.mkdtemp(prefix="vs-e2e-template-")
        CONFIG.template = os.path.join(own_template, "prefix")
        make_template(CONFIG.template)
    try:
        started = time.monotonic()
        # The tests of the script that was started: this one, or one that imports it.
        program = unittest.main(module="__main__", argv=[sys.argv[0], "-v"] + names, exit=False)
        log("tests took %.1f s" % (time.monotonic() - started))
        result = program.result
    finally:
        if own_template:
            shutil.rmtree(own_template, ignore_errors=True)
    if not result.wasSuccessful():
        return 1
    return SKIP_STATUS if result.skipped and result.testsRun == len(result.skipped) else 0


def test_names():
    suite = unittest.defaultTestLoader.loadTestsFromModule(sys.modules["__main__"])
    names = []
    for group in suite:
        for case in group:
            names.append(case.id().split(".", 1)[1])
    return names


def main(argv):
    args, names = parse_args(argv)
    if args.list:
        print("\n".join(test_names()))
        return 0
    if not args.make_template and not (args.exe and args.probe):
        log("--exe and --probe are required")
        return 2
    missing = missing_tools()
    if missing:
        log("SKIPPED: not installed: %s (scripts/install-deps.sh installs them)" % ", ".join(missing))
        return SKIP_STATUS
    xvfb = None
    if os.environ.get("DISPLAY"):
        CONFIG.display = os.environ["DISPLAY"]
    else:
        xvfb = Xvfb()
        CONFIG.display = xvfb.display
        log("DISPLAY is not set: started Xvfb on " + CONFIG.display)
    try:
        if args.make_template:
            make_template(os.path.abspath(args.make_template))
            return 0
        return run_tests(args, names)
    finally:
        if xvfb:
            xvfb.stop()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
