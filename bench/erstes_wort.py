#!/usr/bin/env python3
"""The first word: the time from the spawn until Orca first speaks about the
program's window, for the bare reference window (bench_bare), for the same
window asking Tastaro's first start question in a plain message box
(bench_bare --frage) and for Tastaro, started in turn.

    tests/desktop/desktop-session --orca -- python3 bench/erstes_wort.py [--build DIR] [-n 7]

Runs on the private desktop the real-desktop tests use: Orca with its debug
log, line-buffered and without a speech server, so its "SPEECH OUTPUT" lines
are what it decided to say, with their time of day. Every start gets a fresh
HOME and runtime folder (a first start). Tastaro is measured with the
default settings of a first start and with a stored voice of each engine
(the screen reader, a speech server voice, an in-process voice). After one
warm-up start of each, n rounds interleave the bare window and the variants,
each round beginning one later in the list; each program is ended and Orca
left 1.5 s to settle before the next start. Prints the medians in ms, the
ratios of the medians Tastaro / bare, the median of each round's ratio, and
the median of each round's ratio to the bare window with the question: how
Tastaro's question compares with the plain way of asking it.
"""

import argparse
import datetime
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

MUSTER = re.compile(r"^(\d\d):(\d\d):(\d\d(?:\.\d+)?) - SPEECH OUTPUT: '(.*)'")
WARTEN = 20.0
RUHE = 1.5
ZEIGEN = False
STIMMEN = {
    "Standard (erster Start)": None,
    "Screenreader": "ScreenReader (Orca)",
    "Sprachserver": "espeak-ng: German",
    "eSpeak NG im Programm": "German (eSpeak NG)",
}


def fail(text):
    print(f"FAIL: {text}", flush=True)
    sys.exit(1)


def gesagt_seit(log, marke):
    """(epoch seconds, text) of each SPEECH OUTPUT line since marke."""
    with open(log, "rb") as f:
        f.seek(marke)
        zeilen = f.read().decode("utf-8", "replace").splitlines()
    heute = datetime.date.today()
    out = []
    for m in map(MUSTER.match, zeilen):
        if m:
            zeit = datetime.datetime.combine(heute, datetime.time()) + datetime.timedelta(
                hours=int(m.group(1)), minutes=int(m.group(2)), seconds=float(m.group(3)))
            out.append((zeit.timestamp(), m.group(4)))
    return out


def ein_start(programm, wort, log, basis, stimme, args=()):
    """Spawns programm with args in a fresh HOME and returns the ms until Orca says a line containing wort."""
    heim = tempfile.mkdtemp(prefix="heim.", dir=basis)
    run = os.path.join(heim, "run")
    os.mkdir(run, 0o700)
    config = os.path.join(heim, ".config")
    os.makedirs(config)
    if stimme:
        with open(os.path.join(config, "Tastaro.conf"), "w", encoding="utf-8") as f:
            f.write(f"Sapi=0\nStimme={stimme}\n")
    env = dict(os.environ, HOME=heim, XDG_RUNTIME_DIR=run, XDG_CONFIG_HOME=config,
               XDG_DATA_HOME=os.path.join(heim, ".local/share"), LANG="de_AT.UTF-8", LC_ALL="de_AT.UTF-8")
    marke = os.path.getsize(log)
    t0 = time.time()
    proc = subprocess.Popen([programm, *args], env=env, cwd=os.path.dirname(programm), stdout=subprocess.DEVNULL,
                            stderr=open(os.path.join(heim, "stderr.log"), "w"))
    try:
        while time.time() - t0 < WARTEN:
            for zeit, text in gesagt_seit(log, marke):
                if wort in text:
                    if ZEIGEN:
                        print(f"    {os.path.basename(programm)}: {(zeit - t0) * 1000.0:.0f} ms {text!r}; before: "
                              f"{[t for z, t in gesagt_seit(log, marke) if z < zeit][-3:]}", flush=True)
                    return (zeit - t0) * 1000.0
            if proc.poll() is not None:
                fail(f"{programm} ended with {proc.returncode} before Orca spoke of it")
            time.sleep(0.01)
        fail(f"Orca said nothing containing {wort!r} within {WARTEN:.0f} s: {gesagt_seit(log, marke)[-5:]}")
    finally:
        proc.send_signal(signal.SIGKILL)
        proc.wait()
        shutil.rmtree(heim, ignore_errors=True)
        time.sleep(RUHE)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--build", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build"))
    p.add_argument("-n", type=int, default=7)
    p.add_argument("-v", action="store_true", help="show what Orca said first")
    a = p.parse_args()
    global ZEIGEN
    ZEIGEN = a.v
    log = os.environ.get("TASTARO_ORCA_LOG")
    if not log or not os.environ.get("DISPLAY"):
        fail("run me inside tests/desktop/desktop-session --orca")
    bare = os.path.abspath(os.path.join(a.build, "bench", "bench_bare"))
    tastaro = os.path.abspath(os.path.join(a.build, "bin", "Tastaro"))
    for prog in (bare, tastaro):
        if not os.access(prog, os.X_OK):
            fail(f"{prog} is not built")
    basis = tempfile.mkdtemp(prefix="erstes-wort.", dir=os.environ.get("TASTARO_DESKTOP_DIR"))
    # The second yardstick: the bare window asking the start question with a
    # plain message box, as any Qt program would.
    laeufe = [("bare", bare, "Tastaro-Vergleich", None, ()),
              ("frage", bare, "Tastaro-Vergleich Frage", None, ("--frage",))] + \
        [(name, tastaro, "Tastaro V", stimme, ()) for name, stimme in STIMMEN.items()]
    for _, prog, wort, stimme, args in laeufe:  # warm-up
        ein_start(prog, wort, log, basis, stimme, args)
    zeiten = {name: [] for name, *_ in laeufe}
    for runde in range(a.n):
        # each round starts one later in the list: the start right after the
        # bare window comes out slower, and no variant should always get it
        k = runde % len(laeufe)
        for name, prog, wort, stimme, args in laeufe[k:] + laeufe[:k]:
            zeiten[name].append(ein_start(prog, wort, log, basis, stimme, args))
        print(f"round {runde + 1}: " + ", ".join(f"{n} {z[-1]:.0f}" for n, z in zeiten.items()), flush=True)
    leer = statistics.median(zeiten["bare"])

    def paarweise(name, bezug):
        return statistics.median(t / b for t, b in zip(zeiten[name], zeiten[bezug]))

    print(f"\nfirst word from Orca, median of {a.n} (ms), ratio of the medians and median of"
          " the rounds' ratios to the bare window, and the latter to the bare window with the question:")
    zeilen = [("bare Qt window", "bare"), ("bare window with question", "frage")] + \
        [(f"Tastaro, {name}", name) for name, *_ in laeufe[2:]]
    breite = max(len(titel) for titel, _ in zeilen)
    for titel, name in zeilen:
        m = statistics.median(zeiten[name])
        zeile = f"  {titel:<{breite}} {m:7.0f}"
        if name != "bare":
            zeile += f"   {m / leer:.2f}x   {paarweise(name, 'bare'):.2f}x"
        if name not in ("bare", "frage"):
            zeile += f"   {paarweise(name, 'frage'):.2f}x"
        print(zeile)
    return 0


if __name__ == "__main__":
    sys.exit(main())
