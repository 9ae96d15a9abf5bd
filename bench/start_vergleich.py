#!/usr/bin/env python3
"""Start-up side by side: the bare two-pane window (bench_bare) against Tastaro.

    bench/start_vergleich.py [--build DIR] [-n 7] [--xdotool] [--display-vorhanden]

Starts a private Xvfb and a private session bus (or, with --display-vorhanden,
uses the DISPLAY and buses it finds, e.g. under tests/desktop/desktop-session),
then starts both programs in turn, n times each after one warm-up start of
each. A start is timed from the spawn until the program's main window is
viewable. By default bench/fensterwache tells the moment from the X server's
map and name events; with --xdotool it is the first time a poll of `xdotool
search --onlyvisible` every 5 ms finds the window (each poll starts a process
on the machine the programs start on). Resident memory (VmRSS from /proc) is
read 3 s after the window appears, while the other program of the round
waits idle. The second start of a round waits 0.5 s after the first window
appeared, until that window has painted itself. Every start gets a fresh HOME
and XDG_RUNTIME_DIR, so Tastaro neither finds a running instance nor old
settings (a first-start question may come up; nobody answers it). The
runtime folder lies in /dev/shm where that is a memory file system, as a
desktop session's /run/user/UID does. Prints medians and the ratios
Tastaro / bare.
"""

import argparse
import os
import selectors
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

BARE_TITEL = "Tastaro-Vergleich leer"
# the main window's caption; a message box of the first start is called "Tastaro V..." alone
TASTARO_TITEL = r" - Tastaro V[0-9]"
FENSTER_TIMEOUT = 30.0
SPEICHER_NACH = 3.0
RUHE_VOR_START = 0.5
# a desktop session's runtime folder is a memory file system
LAUFZEIT_BASIS = "/dev/shm" if os.path.isdir("/dev/shm") and os.access("/dev/shm", os.W_OK) else None


def fail(text):
    print("start_vergleich: " + text, file=sys.stderr)
    sys.exit(1)


def starte_xvfb(basis):
    lesen, schreiben = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(schreiben), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"],
        pass_fds=(schreiben,), stdout=subprocess.DEVNULL,
        stderr=open(os.path.join(basis, "xvfb.log"), "w"))
    os.close(schreiben)
    with os.fdopen(lesen) as f:
        nummer = f.readline().strip()
    if not nummer:
        xvfb.kill()
        fail("Xvfb did not start (see xvfb.log)")
    return xvfb, ":" + nummer


def starte_bus(basis, env):
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, stderr=open(os.path.join(basis, "dbus.log"), "w"),
                           env=env, text=True)
    adresse = bus.stdout.readline().strip()
    if not adresse:
        bus.kill()
        fail("dbus-daemon did not start")
    return bus, adresse


def fenster_sichtbar(env, pid, titel):
    r = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name", titel],
                       env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return r.returncode == 0 and r.stdout.strip() != b""


def speicher_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for zeile in f:
            if zeile.startswith("VmRSS:"):
                return {"rss": int(zeile.split()[1])}
    fail(f"no VmRSS for process {pid}")


def beende(proc):
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(3)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


class Start:
    """One start of a program in a fresh HOME, timed until its window is visible."""

    def __init__(self, programm, titel, grundenv, basis, wache):
        self.programm = programm
        self.titel = titel
        self.heim = tempfile.mkdtemp(prefix="heim.", dir=basis)
        if LAUFZEIT_BASIS:
            run = tempfile.mkdtemp(prefix="start-vergleich-run.", dir=LAUFZEIT_BASIS)
        else:
            run = os.path.join(self.heim, "run")
            os.mkdir(run, 0o700)
        self.run = run
        env = dict(grundenv)
        env.update(HOME=self.heim, XDG_RUNTIME_DIR=run, XDG_CONFIG_HOME=os.path.join(self.heim, ".config"),
                   XDG_DATA_HOME=os.path.join(self.heim, ".local/share"),
                   XDG_CACHE_HOME=os.path.join(self.heim, ".cache"))
        self.log = open(os.path.join(self.heim, "ausgabe.log"), "w")
        self.waechter = None
        if wache:
            # listening before the spawn, so no map can be missed
            self.waechter = subprocess.Popen([wache, titel], env=grundenv, stdout=subprocess.PIPE, text=True)
            if self.waechter.stdout.readline().strip() != "bereit":
                fail("fensterwache did not start")
        self.proc = None
        t0 = time.monotonic()
        try:
            self.proc = subprocess.Popen([programm], env=env, stdout=self.log, stderr=subprocess.STDOUT,
                                         cwd=os.path.dirname(programm))
            self.sichtbar = self.warte_gewacht(t0) if wache else self.warte_gepollt(t0, grundenv)
        except BaseException:
            self.ende()
            raise
        self.dauer = (self.sichtbar - t0) * 1000.0

    def pruefe_laeuft(self, t0):
        if self.proc.poll() is not None:
            self.log.flush()
            with open(self.log.name) as f:
                ausgabe = f.read()[-2000:]
            fail(f"{self.programm} ended with {self.proc.returncode} before its window came up; "
                 f"its output:\n{ausgabe}")
        if time.monotonic() - t0 > FENSTER_TIMEOUT:
            fail(f"no visible window '{self.titel}' of {self.programm} within {FENSTER_TIMEOUT:.0f} s")

    def warte_gepollt(self, t0, grundenv):
        while not fenster_sichtbar(grundenv, self.proc.pid, self.titel):
            self.pruefe_laeuft(t0)
            time.sleep(0.005)
        return time.monotonic()

    def warte_gewacht(self, t0):
        """The moment fensterwache saw the window become viewable (CLOCK_MONOTONIC, as time.monotonic)."""
        with selectors.DefaultSelector() as sel:
            sel.register(self.waechter.stdout, selectors.EVENT_READ)
            while not sel.select(0.05):
                self.pruefe_laeuft(t0)
        zeile = self.waechter.stdout.readline().split()
        if len(zeile) != 3:
            fail(f"fensterwache ended without a window '{self.titel}'")
        if int(zeile[2]) != self.proc.pid:
            fail(f"the window '{self.titel}' belongs to process {zeile[2]}, not to {self.proc.pid}")
        return float(zeile[0]) / 1000.0

    def speicher(self):
        """Resident memory, at least SPEICHER_NACH seconds after the window appeared."""
        rest = SPEICHER_NACH - (time.monotonic() - self.sichtbar)
        if rest > 0:
            time.sleep(rest)
        if self.proc.poll() is not None:
            fail(f"{self.programm} ended within {SPEICHER_NACH} s of showing its window")
        return speicher_kb(self.proc.pid)

    def ende(self):
        if self.waechter:
            beende(self.waechter)
        if self.proc:
            beende(self.proc)
        self.log.close()
        shutil.rmtree(self.heim, ignore_errors=True)
        shutil.rmtree(self.run, ignore_errors=True)


def main():
    hier = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default=os.path.join(hier, "..", "build"),
                    help="build folder holding bin/Tastaro, bench/bench_bare and bench/fensterwache")
    ap.add_argument("-n", type=int, default=7, help="starts of each program (median)")
    ap.add_argument("--xdotool", action="store_true",
                    help="find the window by polling xdotool every 5 ms instead of by fensterwache")
    ap.add_argument("--display-vorhanden", action="store_true",
                    help="use the DISPLAY and session bus of the environment")
    args = ap.parse_args()

    tastaro = os.path.abspath(os.path.join(args.build, "bin", "Tastaro"))
    bare = os.path.abspath(os.path.join(args.build, "bench", "bench_bare"))
    wache = None if args.xdotool else os.path.abspath(os.path.join(args.build, "bench", "fensterwache"))
    for p in (tastaro, bare, wache):
        if p and not os.access(p, os.X_OK):
            fail(f"{p} is missing; build the targets Tastaro, bench_bare and fensterwache")
    for werkzeug in ["Xvfb", "dbus-daemon"] + (["xdotool"] if args.xdotool else []):
        if not shutil.which(werkzeug):
            fail(f"{werkzeug} is missing (scripts/install-deps)")

    basis = tempfile.mkdtemp(prefix="start-vergleich.")
    os.chmod(basis, 0o700)
    dienste = []
    env = dict(os.environ)
    env["QT_QPA_PLATFORM"] = "xcb"
    try:
        if not args.display_vorhanden:
            xvfb, display = starte_xvfb(basis)
            dienste.append(xvfb)
            env["DISPLAY"] = display
            busrun = os.path.join(basis, "busrun")
            os.mkdir(busrun, 0o700)
            bus, adresse = starte_bus(basis, dict(env, XDG_RUNTIME_DIR=busrun))
            dienste.append(bus)
            env["DBUS_SESSION_BUS_ADDRESS"] = adresse
        elif "DISPLAY" not in env:
            fail("--display-vorhanden without DISPLAY")

        programme = [("leer", bare, BARE_TITEL), ("Tastaro", tastaro, TASTARO_TITEL)]
        werte = {name: [] for name, _, _ in programme}
        for name, programm, titel in programme:
            Start(programm, titel, env, basis, wache).ende()  # warm-up: page cache, font cache
        for i in range(args.n):
            # The bare window first, whereas Tastaro still works after its
            # window is up (update check, start question). A window that has
            # just appeared still paints itself and the X server draws it: the
            # next start waits until that is done, so that it has the machine
            # to itself. Both stay up until their memory is read, so that a
            # round waits the 3 s only once.
            starts = []
            try:
                for name, programm, titel in programme:
                    if starts:
                        time.sleep(RUHE_VOR_START)
                    starts.append((name, Start(programm, titel, env, basis, wache)))
                for name, start in starts:
                    speicher = start.speicher()
                    werte[name].append((start.dauer, speicher["rss"]))
                    print(f"  {i + 1}/{args.n} {name:8s} {start.dauer:7.0f} ms  VmRSS {speicher['rss'] / 1024:6.1f}"
                          " MiB", flush=True)
            finally:
                for _, start in starts:
                    start.ende()
    finally:
        for d in reversed(dienste):
            beende(d)
        shutil.rmtree(basis, ignore_errors=True)

    def median(name, i):
        return statistics.median(w[i] for w in werte[name])

    wie = "xdotool polls" if args.xdotool else "fensterwache"
    print(f"\nmedian of {args.n}, window found by {wie} (load average {os.getloadavg()[0]:.2f}):")
    print(f"{'':10s}{'start ms':>10s}{'VmRSS MiB':>12s}")
    for name, _, _ in programme:
        print(f"{name:10s}{median(name, 0):10.0f}{median(name, 1) / 1024:12.1f}")
    print(f"{'ratio':10s}{median('Tastaro', 0) / median('leer', 0):10.2f}"
          f"{median('Tastaro', 1) / median('leer', 1):12.2f}")


if __name__ == "__main__":
    main()
