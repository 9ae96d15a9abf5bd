#!/usr/bin/env python3
"""Start-up side by side: the bare two-pane window (bench_bare) against Tastaro.

    bench/start_vergleich.py [--build DIR] [-n 7] [--display-vorhanden]

Starts a private Xvfb and a private session bus (or, with --display-vorhanden,
uses the DISPLAY and buses it finds, e.g. under tests/desktop/desktop-session),
then starts both programs in turn, n times each after one warm-up start of
each. A start is timed from the spawn to the first time `xdotool search
--onlyvisible` finds the program's main window; its resident memory (VmRSS and
Pss from /proc) is read 3 s after that. Every start gets a fresh HOME and
XDG_RUNTIME_DIR, so Tastaro neither finds a running instance nor old settings
(a first-start question may come up; nobody answers it). Prints medians and
the ratios Tastaro / bare.
"""

import argparse
import os
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
    werte = {}
    with open(f"/proc/{pid}/status") as f:
        for zeile in f:
            if zeile.startswith("VmRSS:"):
                werte["rss"] = int(zeile.split()[1])
    try:
        with open(f"/proc/{pid}/smaps_rollup") as f:
            for zeile in f:
                if zeile.startswith("Pss:"):
                    werte["pss"] = int(zeile.split()[1])
    except OSError:
        werte["pss"] = 0
    return werte


def beende(proc):
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(3)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def ein_start(programm, titel, grundenv, basis):
    heim = tempfile.mkdtemp(prefix="heim.", dir=basis)
    run = os.path.join(heim, "run")
    os.mkdir(run, 0o700)
    env = dict(grundenv)
    env.update(HOME=heim, XDG_RUNTIME_DIR=run, XDG_CONFIG_HOME=os.path.join(heim, ".config"),
               XDG_DATA_HOME=os.path.join(heim, ".local/share"), XDG_CACHE_HOME=os.path.join(heim, ".cache"))
    log = open(os.path.join(heim, "ausgabe.log"), "w")
    t0 = time.monotonic()
    proc = subprocess.Popen([programm], env=env, stdout=log, stderr=subprocess.STDOUT,
                            cwd=os.path.dirname(programm))
    try:
        while not fenster_sichtbar(grundenv, proc.pid, titel):
            if proc.poll() is not None:
                log.flush()
                with open(log.name) as f:
                    ausgabe = f.read()[-2000:]
                fail(f"{programm} ended with {proc.returncode} before its window came up; its output:\n{ausgabe}")
            if time.monotonic() - t0 > FENSTER_TIMEOUT:
                fail(f"no visible window '{titel}' of {programm} within {FENSTER_TIMEOUT:.0f} s")
            time.sleep(0.005)
        dauer = (time.monotonic() - t0) * 1000.0
        time.sleep(SPEICHER_NACH)
        if proc.poll() is not None:
            fail(f"{programm} ended within {SPEICHER_NACH} s of showing its window")
        speicher = speicher_kb(proc.pid)
    finally:
        beende(proc)
        log.close()
    shutil.rmtree(heim, ignore_errors=True)
    return dauer, speicher


def main():
    hier = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default=os.path.join(hier, "..", "build"),
                    help="build folder holding bin/Tastaro and bench/bench_bare")
    ap.add_argument("-n", type=int, default=7, help="starts of each program (median)")
    ap.add_argument("--display-vorhanden", action="store_true",
                    help="use the DISPLAY and session bus of the environment")
    args = ap.parse_args()

    tastaro = os.path.abspath(os.path.join(args.build, "bin", "Tastaro"))
    bare = os.path.abspath(os.path.join(args.build, "bench", "bench_bare"))
    for p in (tastaro, bare):
        if not os.access(p, os.X_OK):
            fail(f"{p} is missing; build the targets Tastaro and bench_bare")
    for werkzeug in ("Xvfb", "xdotool", "dbus-daemon"):
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
            ein_start(programm, titel, env, basis)  # warm-up: page cache, font cache
        for i in range(args.n):
            for name, programm, titel in programme:
                dauer, speicher = ein_start(programm, titel, env, basis)
                werte[name].append((dauer, speicher["rss"], speicher["pss"]))
                print(f"  {i + 1}/{args.n} {name:8s} {dauer:7.0f} ms  VmRSS {speicher['rss'] / 1024:6.1f} MiB"
                      f"  Pss {speicher['pss'] / 1024:6.1f} MiB", flush=True)
    finally:
        for d in reversed(dienste):
            beende(d)
        shutil.rmtree(basis, ignore_errors=True)

    def median(name, i):
        return statistics.median(w[i] for w in werte[name])

    print(f"\nmedian of {args.n} (load average {os.getloadavg()[0]:.2f}):")
    print(f"{'':10s}{'start ms':>10s}{'VmRSS MiB':>12s}{'Pss MiB':>10s}")
    for name, _, _ in programme:
        print(f"{name:10s}{median(name, 0):10.0f}{median(name, 1) / 1024:12.1f}{median(name, 2) / 1024:10.1f}")
    print(f"{'ratio':10s}{median('Tastaro', 0) / median('leer', 0):10.2f}"
          f"{median('Tastaro', 1) / median('leer', 1):12.2f}{median('Tastaro', 2) / median('leer', 2):10.2f}")


if __name__ == "__main__":
    main()
