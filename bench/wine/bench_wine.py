#!/usr/bin/env python3
"""Benchmark of the real veilswitcher.exe under Wine, inside Wine's virtual desktop.

Prints figures; it asserts nothing and is not a test. Everything runs in a throwaway Wine
prefix of its own, removed at the end; the display is $DISPLAY (scripts/bench.sh starts a
private Xvfb when there is none).

  bench_wine.py --exe veilswitcher.exe --probe bench_probe.exe --hello bench_hello.exe
                --journal bench_journal.exe [--reps 20] [--warmup 2] [--starts 10]
                [--windows 10,100,1000]

Measured:
  - one switch with N windows of another process (notice off): from the SendInput of Alt+Right
    (Alt+Left) until every window is hidden (shown), timed inside Wine with
    QueryPerformanceCounter; beside it a plain loop in another program over the same windows
    (SW_HIDE top-down, SW_SHOW bottom-up); whether each pair left the windows' stacking as it
    was; and the same road with nothing to switch, for subtraction;
  - the journal of hidden windows those switches keep: the program's own code writing the N
    windows to the registry (after Alt+Right) and emptying it (after Alt+Left);
  - the extras, up to 100 windows: a send of a window group beside a switch of the same windows,
    and a switch with a tenth of the windows pinned beside one with none pinned;
  - window rules, 20 stored: from a new window's creation (in another program) until a rule
    has hidden it, and the program's CPU time (GetProcessTimes) over 10 idle seconds;
  - start-up: from launching `wine veilswitcher.exe` until its hidden window exists and its
    thread is idle, and on a first start until its default settings are written, stamped on
    the Linux side as a watcher already running in the prefix reports each step; and the same
    for trivial programs, the cost of Wine itself.
"""

import argparse
import collections
import json
import math
import os
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

PROGRAM = "C:\\veilswitcher\\veilswitcher.exe"
PROBE = "C:\\bench_probe.exe"
HELLO = "C:\\bench_hello.exe"
JOURNAL = "C:\\bench_journal.exe"
APP_CLASS = "veilswitcherApp"
HELLO_CLASS = "benchHello"
STEP_TIMEOUT_S = 30


def log(text):
    print("bench: " + text, file=sys.stderr, flush=True)


# ---- processes that print lines ------------------------------------------------------------

class Lines:
    """A running program whose stdout lines are read with time-outs and stamped on arrival."""

    def __init__(self, args, env):
        self.proc = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.buffer = b""
        self.stamps = []

    def readline(self, timeout_s=STEP_TIMEOUT_S):
        """(line, monotonic time it arrived), or (None, None) on time-out or end of output."""
        deadline = time.monotonic() + timeout_s
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                return None, None
            ready, _, _ = select.select([self.proc.stdout], [], [], left)
            if not ready:
                continue
            chunk = os.read(self.proc.stdout.fileno(), 4096)
            if not chunk:
                return None, None
            self.buffer += chunk
        arrived = time.monotonic()
        line, _, self.buffer = self.buffer.partition(b"\n")
        return line.decode("latin-1").rstrip("\r"), arrived

    def expect(self, wanted):
        line, _ = self.readline()
        if line != wanted:
            raise RuntimeError("%s: expected %r, got %r" % (self.proc.args, wanted, line))

    def wait(self, timeout_s=STEP_TIMEOUT_S):
        try:
            return self.proc.wait(timeout_s)
        finally:
            self.proc.stdout.close()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
        self.wait()


# ---- the prefix ----------------------------------------------------------------------------

class Prefix:
    """A fresh 32-bit prefix whose windows all live in Wine's virtual desktop."""

    def __init__(self, exe, probe, hello, journal):
        self.root = tempfile.mkdtemp(prefix="vs-bench-")
        self.path = os.path.join(self.root, "prefix")
        self.env = dict(os.environ, WINEPREFIX=self.path, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.exe, self.probe_exe, self.hello_exe, self.journal_exe = exe, probe, hello, journal
        self.running = []

    def boot(self):
        started = time.monotonic()
        env = dict(self.env, WINEARCH=os.environ.get("VS_WINEARCH", "win32"))
        for cmd in (["wineboot", "-i"],
                    # Without a window manager Wine waits ~2 s after each hide of another
                    # process's window; inside its virtual desktop it does not.
                    ["wine", "reg", "add", "HKCU\\Software\\Wine\\Explorer", "/v", "Desktop",
                     "/d", "Default", "/f"],
                    ["wine", "reg", "add", "HKCU\\Software\\Wine\\Explorer\\Desktops", "/v",
                     "Default", "/d", "1280x800", "/f"],
                    ["wineserver", "-k"], ["wineserver", "-w"]):
            subprocess.run(cmd, env=env, check=True, timeout=300, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        drive_c = os.path.join(self.path, "drive_c")
        os.makedirs(os.path.join(drive_c, "veilswitcher"))
        shutil.copy(self.exe, os.path.join(drive_c, "veilswitcher", "veilswitcher.exe"))
        shutil.copy(self.probe_exe, os.path.join(drive_c, "bench_probe.exe"))
        shutil.copy(self.hello_exe, os.path.join(drive_c, "bench_hello.exe"))
        shutil.copy(self.journal_exe, os.path.join(drive_c, "bench_journal.exe"))
        log("prefix booted in %.1f s" % (time.monotonic() - started))

    def remove(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        for lines in self.running:
            lines.stop()
        subprocess.run(["wineserver", "-w"], env=self.env, stderr=subprocess.DEVNULL, timeout=60)
        shutil.rmtree(self.root, ignore_errors=True)

    def spawn(self, *args, first=None):
        lines = Lines(["wine"] + [str(a) for a in args], self.env)
        self.running.append(lines)
        if first is not None:
            lines.expect(first)
        return lines

    def probe(self, *args, timeout_s=STEP_TIMEOUT_S):
        """The probe's output lines; it must exit 0."""
        return self.run(PROBE, *args, timeout_s=timeout_s)

    def run(self, exe, *args, timeout_s=STEP_TIMEOUT_S):
        """The output lines of a console helper that must exit 0."""
        # A file, not a pipe: a Wine process may leave helpers holding a pipe open after it ends.
        with tempfile.TemporaryFile() as out:
            proc = subprocess.run(["wine", exe] + [str(a) for a in args], env=self.env,
                                  stdin=subprocess.DEVNULL, stdout=out,
                                  stderr=subprocess.DEVNULL, timeout=timeout_s)
            out.seek(0)
            lines = out.read().decode("latin-1").replace("\r", "").splitlines()
        if proc.returncode != 0:
            raise RuntimeError("%s %s failed: %s" % (exe, args, lines))
        return lines


# ---- statistics ----------------------------------------------------------------------------

def median(values):
    return statistics.median(values)


def p90(values):
    ordered = sorted(values)
    return ordered[max(0, math.ceil(0.9 * len(ordered)) - 1)]


def samples(lines, label):
    return [float(line.split()[1]) for line in lines if line.startswith(label + " ")]


# ---- start-up ------------------------------------------------------------------------------

def time_console_start(prefix):
    """Launch of a trivial console program: to its first line, and to its exit."""
    started = time.monotonic()
    hello = prefix.spawn(PROBE, "hello")
    line, arrived = hello.readline()
    if line != "hello":
        raise RuntimeError("bench_probe hello said %r" % line)
    hello.wait()
    ended = time.monotonic()
    prefix.running.remove(hello)
    return {"line": arrived - started, "exit": ended - started}


def time_gui_start(prefix, cls, args, first_start=False):
    """Launch of a program with a hidden window of class `cls`, watched from inside the prefix;
    closed again with WM_CLOSE. Seconds from the launch to each step the watcher reports."""
    if first_start:
        prefix.probe("forget-settings")
    watcher = prefix.spawn(PROBE, "watch-start", cls, STEP_TIMEOUT_S * 1000, first="watching")
    started = time.monotonic()
    program = prefix.spawn(*args)
    steps = {}
    while True:
        line, arrived = watcher.readline()
        if line is None or line in ("none", "busy", "keys-missing"):
            raise RuntimeError("%s did not come up (%r)" % (args, line))
        steps[line] = arrived - started
        if line == "idle" and ("keys" in steps or not first_start):
            break
    watcher.wait()
    prefix.running.remove(watcher)
    prefix.probe("close-class", cls)
    program.wait()
    prefix.running.remove(program)
    return steps


def measure_starts(prefix, runs):
    # One of each first, uncounted: the first launch reads every DLL from disk.
    time_console_start(prefix)
    time_gui_start(prefix, HELLO_CLASS, [HELLO])
    time_gui_start(prefix, APP_CLASS, [PROGRAM], first_start=True)
    result = {"console": [], "gui": [], "first": [], "later": []}
    for _ in range(runs):
        result["console"].append(time_console_start(prefix))
        result["gui"].append(time_gui_start(prefix, HELLO_CLASS, [HELLO]))
        result["first"].append(time_gui_start(prefix, APP_CLASS, [PROGRAM], first_start=True))
        result["later"].append(time_gui_start(prefix, APP_CLASS, [PROGRAM]))
    return result


# ---- switching -----------------------------------------------------------------------------

# One run of timed pairs: the samples each way, the other windows that were switched along,
# (pairs that changed the windows' stacking, pairs in all), and the presses Wine lost (made again).
Loop = collections.namedtuple("Loop", "away back others restacked lost")


def reps_for(count, reps, warmup):
    """Fewer pairs for big stacks: a plain loop over a thousand windows takes minutes."""
    if count <= 100:
        return reps, warmup
    return max(3, reps * 100 // count), 1


def switch_loop(prefix, title_prefix, count, reps, warmup, away=None, back=None):
    """Timed pairs of presses away and back; without keys, the helper's own ShowWindow calls."""
    if away:
        args = ("switch-loop", title_prefix, count, reps, warmup, away, back)
    else:
        args = ("direct-loop", title_prefix, count, reps, warmup)
    lines = prefix.probe(*args, timeout_s=3600)
    others = [int(line.split()[1]) for line in lines if line.startswith("others ")]
    restacked = [line.split()[1:] for line in lines if line.startswith("restacked ")]
    lost = [int(line.split()[1]) for line in lines if line.startswith("lost ")]
    return Loop(samples(lines, "away"), samples(lines, "back"), others[0] if others else 0,
                tuple(int(v) for v in restacked[0]) if restacked else None, sum(lost))


def measure_baselines(prefix, reps, warmup):
    own = samples(prefix.probe("hotkey-self", "ctrl+alt+f12", reps + warmup), "self")[warmup:]
    responder = prefix.spawn(PROBE, "responder", "Toggle1", "ctrl+alt+f11", 600, first="ready")
    hide, show = switch_loop(prefix, "Toggle", 1, reps, warmup, "ctrl+alt+f11",
                             "ctrl+alt+f11")[:2]
    prefix.probe("quit-owner", "Toggle1")
    responder.wait()
    prefix.running.remove(responder)
    return {"self": own, "hide1": hide, "show1": show}


def measure_switches(prefix, counts, reps, warmup):
    result = {}
    for count in counts:
        owner = prefix.spawn(PROBE, "windows", "BW", count, 3600, first="ready")
        n, w = reps_for(count, reps, warmup)
        log("%d windows: %d pairs by hotkey, then %d by a plain loop" % (count, n, n))
        result[count] = (switch_loop(prefix, "BW", count, n, w, "alt+right", "alt+left"),
                         switch_loop(prefix, "BW", count, n, w),
                         prefix.run(JOURNAL, "BW", count, n + w))
        prefix.probe("quit-owner", "BW1")
        owner.wait()
        prefix.running.remove(owner)
    return result


def measure_sends(prefix, counts, reps, warmup):
    """Windows all owned by the first one, so that the foreground window's group is all of them:
    sent away with Alt+Shift+Right (the view stays) and followed with Alt+Right; then the same
    windows switched away and back with Alt+Right and Alt+Left."""
    result = {}
    for count in counts:
        owner = prefix.spawn(PROBE, "owned", "BS", count, 3600, first="ready")
        n, w = reps_for(count, reps, warmup)
        log("%d owned windows: %d sends, then %d switches" % (count, n, n))
        result[count] = (switch_loop(prefix, "BS", count, n, w, "alt+shift+right", "alt+right"),
                         switch_loop(prefix, "BS", count, n, w, "alt+right", "alt+left"))
        prefix.probe("quit-owner", "BS1")
        owner.wait()
        prefix.running.remove(owner)
    return result


def pinned_count(prefix, title_prefix, pins):
    """How many of the windows the running program leaves out of the current desktop's list."""
    listed = json.loads("\n".join(prefix.run(PROGRAM, "/list")))
    current = [d for d in listed["desktops"] if d["number"] == listed["current"]][0]
    return pins - sum(1 for t in current["windows"] if t.startswith(title_prefix))


def measure_pinned(prefix, counts, reps, warmup):
    """N windows of one program under a tenth as many of another, switched away and back with
    none pinned, then with the tenth pinned (they stay); timed until the N have their state."""
    result = {}
    for count in counts:
        pins = max(1, count // 10)
        owners = [prefix.spawn(PROBE, "windows", "BN", count, 3600, first="ready"),
                  prefix.spawn(PROBE, "windows", "BP", pins, 3600, first="ready")]
        n, w = reps_for(count, reps, warmup)
        log("%d windows and %d more: %d pairs, then as many with the %d pinned"
            % (count, pins, n, pins))
        without = switch_loop(prefix, "BN", count, n, w, "alt+right", "alt+left")
        prefix.probe("pin", "BP", pins, "ctrl+alt+p")
        pinned = pinned_count(prefix, "BP", pins)
        result[count] = (without, switch_loop(prefix, "BN", count, n, w, "alt+right", "alt+left"),
                         pins, pinned)
        for title, owner in zip(("BN1", "BP1"), owners):
            prefix.probe("quit-owner", title)
            owner.wait()
            prefix.running.remove(owner)
    return result


def start_program_idle(prefix):
    """The program started, once its thread has gone idle in its loop."""
    watcher = prefix.spawn(PROBE, "watch-start", APP_CLASS, STEP_TIMEOUT_S * 1000,
                           first="watching")
    program = prefix.spawn(PROGRAM)
    for wanted in ("window", "idle"):
        watcher.expect(wanted)
    return program


def measure_switching(prefix, counts, reps, warmup):
    """With the defaults of earlier first starts in place, the notice turned off, and the
    extras set for the sends."""
    prefix.probe("notice-off")
    prefix.probe("send-stays")
    program = start_program_idle(prefix)
    baselines = measure_baselines(prefix, reps, warmup)
    switches = measure_switches(prefix, counts, reps, warmup)
    sends = measure_sends(prefix, [c for c in counts if c <= 100], reps, warmup)
    pinned = measure_pinned(prefix, [c for c in counts if c <= 100], reps, warmup)
    watched = measure_watchers(prefix, reps, warmup)
    prefix.probe("close-class", APP_CLASS)
    program.wait()
    return baselines, switches, sends, pinned, watched


def measure_watched_program(prefix, reps, warmup):
    """The watchers alone, with the program started as for the switches, after a first start
    that writes the defaults."""
    measure_starts(prefix, 1)
    prefix.probe("notice-off")
    program = start_program_idle(prefix)
    watched = measure_watchers(prefix, reps, warmup)
    prefix.probe("close-class", APP_CLASS)
    program.wait()
    return watched


# ---- the report ----------------------------------------------------------------------------

def row(label, values, spread=p90):
    print("  %-58s%10.2f%10.2f" % (label, median(values), spread(values)))


def report_switching(baselines, switches, reps, warmup):
    print("One switch, notice off, %d presses each way after %d warm-up pairs (fewer for 1000"
          " windows)" % (reps, warmup))
    print("  %-58s%10s%10s" % ("from SendInput until every window has its new state", "median ms",
                               "p90 ms"))
    for count, (keys, plain, journal) in switches.items():
        row("Alt+Right, %d windows of another process all hidden" % count, keys.away)
        row("Alt+Left, the same %d windows all shown again" % count, keys.back)
        if keys.others:
            print("    (%d other visible titled window(s) were switched as well)" % keys.others)
        row("  plain loop in another program: SW_HIDE top-down, %d" % count, plain.away)
        row("  plain loop in another program: SW_SHOW bottom-up, %d" % count, plain.back)
        record, clear = samples(journal, "record"), samples(journal, "clear")
        identify = samples(journal, "identify")
        row("  of Alt+Right: the journal of the %d, written (%.1f%%)"
            % (count, 100 * median(record) / median(keys.away)), record)
        row("    every captured window identified (%.1f%%)"
            % (100 * median(identify) / median(keys.away)), identify)
        row("  of Alt+Left: the journal emptied (%.1f%%)"
            % (100 * median(clear) / median(keys.back)), clear)
    print("  baselines, to subtract (the same timing, nothing switched):")
    row("hotkey of the timing thread itself, until its WM_HOTKEY", baselines["self"])
    row("hotkey of another process, which hides its one window", baselines["hide1"])
    row("hotkey of another process, which shows its one window", baselines["show1"])
    print()
    print("Away and back together beside the plain loop (medians); the windows' stacking after"
          " each pair")
    print("  %8s%12s%12s%8s%14s%22s" % ("windows", "switch ms", "loop ms", "ratio",
                                       "ms per window", "stacking restored"))
    for count, (keys, plain, _) in switches.items():
        both = median(keys.away) + median(keys.back)
        loop = median(plain.away) + median(plain.back)
        changed, pairs = keys.restacked or (0, 0)
        print("  %8d%12.1f%12.1f%8.2f%14.3f%22s" % (
            count, both, loop, both / loop, both / count,
            "%d of %d pairs" % (pairs - changed, pairs) if pairs else "not measured"))
        if plain.restacked:
            print("  %8s%66s" % ("", "(the plain loop left it changed after %d of %d pairs)"
                                 % plain.restacked))
    lost = sum(keys.lost for keys, _, _ in switches.values())
    if lost:
        print("  (%d press(es) reached no hotkey under Wine and were made again, timed from the"
              " second)" % lost)


def report_sends(sends):
    print()
    print("A send beside a switch of the same windows (all owned by the first, the foreground"
          " window's group)")
    print("  %-58s%10s%10s" % ("from SendInput until every window is hidden", "median ms",
                               "p90 ms"))
    for count, (send, switch) in sends.items():
        row("Alt+Shift+Right, %d windows sent, the view stays" % count, send.away)
        row("Alt+Right, the same %d windows switched away" % count, switch.away)
        print("    send / switch: %.2f" % (median(send.away) / median(switch.away)))
        if send.lost or switch.lost:
            print("    (%d press(es) reached no hotkey under Wine and were made again, timed from"
                  " the second)" % (send.lost + switch.lost))


def report_pinned(pinned):
    print()
    print("A switch with pinned windows beside one without (N windows of one program under a"
          " tenth as many of another)")
    print("  %-58s%10s%10s" % ("from SendInput until the N have their new state", "median ms",
                               "p90 ms"))
    for count, (without, with_pins, pins, held) in pinned.items():
        row("Alt+Right, %d windows hidden, and %d more with them" % (count, pins), without.away)
        row("Alt+Right, the same, those %d pinned" % pins, with_pins.away)
        row("Alt+Left, %d windows shown, and %d more with them" % (count, pins), without.back)
        row("Alt+Left, the same, those %d pinned" % pins, with_pins.back)
        both = median(without.away) + median(without.back)
        print("    pinned / none pinned, away and back: %.2f (%d of %d pinned)"
              % ((median(with_pins.away) + median(with_pins.back)) / both, held, pins))
    print()


STARTUP_ROWS = [
    ("console", "line", "trivial console exe: its first line of output"),
    ("console", "exit", "trivial console exe: its exit"),
    ("gui", "window", "trivial GUI exe: its hidden window exists"),
    ("gui", "idle", "trivial GUI exe: its thread is idle"),
    ("first", "keys", "veilswitcher first start: default settings all written"),
    ("first", "window", "veilswitcher first start: hidden window exists"),
    ("first", "idle", "veilswitcher first start: idle (hotkeys and tray icon set)"),
    ("later", "window", "veilswitcher later start: hidden window exists"),
    ("later", "idle", "veilswitcher later start: idle"),
]


def report_starts(starts, runs):
    # Too few runs for a 90th percentile to mean more than the slowest one.
    spread, spread_name = (p90, "p90 ms") if runs >= 10 else (max, "max ms")
    print("Start-up in a warm prefix, %d runs each (each closed with WM_CLOSE)" % runs)
    print("  %-58s%10s%10s" % ("from the launch of `wine PROGRAM`", "median ms", spread_name))
    for kind, step, label in STARTUP_ROWS:
        row(label, [1000 * run[step] for run in starts[kind]], spread)


# ---- watchers ------------------------------------------------------------------------------

def start_watcher(prefix):
    """A `/watch` client whose lines go nowhere, as a status bar's that is not drawing."""
    return subprocess.Popen(["wine", PROGRAM, "/watch"], env=prefix.env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def measure_watchers(prefix, reps, warmup):
    """10 windows switched away and back with no watcher, with three, then with three and one
    whose thread takes no message once the copy has it."""
    owner = prefix.spawn(PROBE, "windows", "BV", 10, 3600, first="ready")
    loop = lambda: switch_loop(prefix, "BV", 10, reps, warmup, "alt+right", "alt+left")
    result = {"none": loop()}
    watchers = [start_watcher(prefix) for _ in range(3)]
    time.sleep(3)
    result["three"] = loop()
    hung = prefix.spawn(PROBE, "hung-watcher", APP_CLASS, first="watching")
    result["hung"] = loop()
    hung.stop()
    prefix.running.remove(hung)
    for proc in watchers:
        proc.kill()
        proc.wait()
    prefix.probe("quit-owner", "BV1")
    owner.wait()
    prefix.running.remove(owner)
    return result


def report_watchers(watched):
    print()
    print("/watch clients connected during a switch of 10 windows away and back (medians, ms):")
    none = median(watched["none"].away) + median(watched["none"].back)
    for key, label in (("none", "no watcher"), ("three", "three watchers"),
                       ("hung", "three watchers and one that takes no message")):
        both = median(watched[key].away) + median(watched[key].back)
        print("  %-58s%8.1f ms  (%.3f of no watcher)" % (label, both, both / none))


# ---- window rules --------------------------------------------------------------------------

def measure_rules(prefix, reps, idle_s=10, stored=20):
    prefix.probe("rules", stored)
    watcher = prefix.spawn(PROBE, "watch-start", APP_CLASS, STEP_TIMEOUT_S * 1000,
                           first="watching")
    program = prefix.spawn(PROGRAM)
    while watcher.readline()[0] not in ("idle", None):
        pass
    watcher.wait()
    time.sleep(2)

    def cpu_units():  # 100 ns
        return int(prefix.probe("cpu-time", APP_CLASS)[0].split()[1])
    before = cpu_units()
    time.sleep(idle_s)
    cpu = [before, cpu_units()]
    lines = prefix.probe("time-hide", reps + 2, timeout_s=reps * 8 + 30)
    prefix.probe("close-class", APP_CLASS)
    program.wait()
    hidden = [float(line.split()[1]) for line in lines if line.startswith("hidden ")]
    return {"idle_cpu_ms": (cpu[1] - cpu[0]) / 10000.0, "start_cpu_ms": cpu[0] / 10000.0,
            "idle_s": idle_s, "stored": stored,
            "hidden": hidden[2:], "missed": lines.count("timeout")}


def report_rules(rules):
    print()
    print("Window rules (%d stored, only the last matching; a window of another program):"
          % rules["stored"])
    hidden = rules["hidden"]
    if hidden:
        print("  %-58s%8.1f ms  (p90 %.1f, min %.1f, max %.1f, %d runs, %d never hidden)"
              % ("from its creation to its hide by a rule, median", median(hidden), p90(hidden),
                 min(hidden), max(hidden), len(hidden), rules["missed"]))
    else:
        print("  no window was hidden by a rule (%d timeouts)" % rules["missed"])
    print("  %-58s%8.1f ms  (%.1f ms from its start to then)"
          % ("program's CPU time over %d idle seconds" % rules["idle_s"], rules["idle_cpu_ms"],
             rules["start_cpu_ms"]))


def wine_version():
    try:
        return subprocess.run(["wine", "--version"], capture_output=True, text=True,
                              timeout=30).stdout.strip()
    except (OSError, subprocess.SubprocessError):
        return "wine"


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True, help="veilswitcher.exe")
    parser.add_argument("--probe", required=True, help="bench_probe.exe")
    parser.add_argument("--hello", required=True, help="bench_hello.exe")
    parser.add_argument("--journal", required=True, help="bench_journal.exe")
    parser.add_argument("--reps", type=int, default=20, help="timed presses each way")
    parser.add_argument("--warmup", type=int, default=2, help="untimed press pairs first")
    parser.add_argument("--starts", type=int, default=10, help="timed starts of each kind")
    parser.add_argument("--windows", default="10,100,1000",
                        help="window counts, comma-separated")
    parser.add_argument("--only-rules", action="store_true", help="the window rules alone")
    parser.add_argument("--only-watchers", action="store_true", help="the watchers alone")
    return parser.parse_args(argv)


def main(argv):
    args = parse_args(argv)
    if not os.environ.get("DISPLAY"):
        log("DISPLAY is not set (scripts/bench.sh starts a private Xvfb)")
        return 2
    for tool in ("wine", "wineboot", "wineserver"):
        if shutil.which(tool) is None:
            log("%s is not installed (scripts/install-deps.sh installs it)" % tool)
            return 2
    counts = [int(n) for n in args.windows.split(",")]
    prefix = Prefix(*(os.path.abspath(p) for p in (args.exe, args.probe, args.hello,
                                                   args.journal)))
    try:
        prefix.boot()
        # A program that outlives the measurements keeps the wineserver and the desktop warm.
        prefix.spawn(PROBE, "idle", 600, first="ready")
        if args.only_watchers:
            watched = measure_watched_program(prefix, args.reps, args.warmup)
            print("The real program under %s:" % wine_version())
            report_watchers(watched)
            return 0
        rules = measure_rules(prefix, args.reps)
        if args.only_rules:
            print("The real program under %s:" % wine_version())
            report_rules(rules)
            return 0
        started = time.monotonic()
        starts = measure_starts(prefix, args.starts)
        log("start-up measured in %.1f s" % (time.monotonic() - started))
        started = time.monotonic()
        baselines, switches, sends, pinned, watched = measure_switching(prefix, counts,
                                                                        args.reps, args.warmup)
        log("switching measured in %.1f s" % (time.monotonic() - started))
    finally:
        prefix.remove()
    print("The real program under %s, virtual desktop 1280x800 on %s, %d cores:"
          % (wine_version(), os.environ["DISPLAY"], os.cpu_count()))
    report_switching(baselines, switches, args.reps, args.warmup)
    report_sends(sends)
    report_pinned(pinned)
    report_watchers(watched)
    report_starts(starts, args.starts)
    report_rules(rules)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
