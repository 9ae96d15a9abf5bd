#!/usr/bin/env python3
"""What a fast typist hears, end to end on a real desktop:

  - key to sound: from a key sent with xdotool to the onset of the typing
    sound on the null sink;
  - the line: from Enter on a right line to the onset of the next line's
    speech (the in-process voice), less what the program is meant to wait
    (the right sound, the click and the 400 ms speech timer): the added delay.

    tests/desktop/desktop-session -- /usr/bin/python3 bench/tastenklang.py [--build DIR] [-n 30] [--zeilen 11]

The null sink's monitor is recorded with parec throughout. A sound's time is
taken from when its block arrived, so every figure includes the recording
path's own latency (blocks of 5 ms) and the start of xdotool: they are
upper bounds. Prints medians in ms.
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import wave

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "desktop"))
from harness import dialog, lauf, programmordner, rolle, taste, warte, win, xdo  # noqa: E402

RATE = 48000
LAUT = 600  # a sample counts as heard above this (of 32767)
BEREICH = "Messung"
ZEILEN = ["asdf jklö", "fjfj dkdk", "slsl aöaö", "das ist gut", "ein kleiner test", "jede taste zählt",
          "hallo welt", "der dritte satz", "alle meine entchen", "zehn finger", "ohne hinsehen", "zum schluss"]


class Aufnahme:
    """parec of the null sink's monitor in blocks of 5 ms, each noted with
    the moment it arrived (monotonic seconds). A sound counts as heard when
    the block holding its first loud sample arrives: an upper bound, the
    recording path's latency included."""

    def __init__(self):
        self.proben = bytearray()
        self.bloecke = []  # (arrival, index of the block's first sample)
        self.proc = subprocess.Popen(["parec", "-d", "nul.monitor", "--raw", "--format=s16le", f"--rate={RATE}",
                                      "--channels=1", "--latency-msec=5"], stdout=subprocess.PIPE, bufsize=0)
        self.faden = threading.Thread(target=self._lesen, daemon=True)
        self.faden.start()

    def _lesen(self):
        while True:
            block = self.proc.stdout.read(480)
            if not block:
                return
            self.bloecke.append((time.monotonic(), len(self.proben) // 2))
            self.proben += block

    def ende(self):
        self.proc.terminate()
        self.faden.join(5)

    def einsatz(self, ab, bis):
        """Arrival of the first heard sample among the blocks that arrived in
        [ab, bis), less the samples after it in its block; None if silent."""
        mv = memoryview(self.proben).cast("h")
        for k, (ankunft, anfang) in enumerate(self.bloecke):
            if ankunft < ab:
                continue
            if ankunft >= bis:
                return None
            ende = self.bloecke[k + 1][1] if k + 1 < len(self.bloecke) else len(mv)
            for i in range(anfang, ende):
                if abs(mv[i]) > LAUT:
                    return ankunft - (ende - i) / RATE
        return None


def dauer_ms(wav):
    with wave.open(wav) as w:
        return w.getnframes() * 1000.0 / w.getframerate()


def starten(tastaro, basis):
    inhalt = "Messung\n" + "".join(f"{z}\n{z}\n" for z in ZEILEN)
    programm, ordner = programmordner(tastaro, basis, BEREICH, {"Eins.txt": inhalt})
    home = os.path.join(basis, "home")
    config = os.path.join(home, ".config")
    os.makedirs(config)
    with open(os.path.join(config, "Tastaro.conf"), "w", encoding="utf-8") as f:
        f.write("Sapi=0\nStimme=German (eSpeak NG)\n")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=config, XDG_DATA_HOME=os.path.join(home, ".local/share"),
               LANG="de_AT.UTF-8", LC_ALL="de_AT.UTF-8", QT_QPA_PLATFORM="xcb")
    lauf.prozess = subprocess.Popen([programm], env=env, cwd=home, stdout=subprocess.DEVNULL,
                                    stderr=open(os.path.join(basis, "stderr.log"), "w"))
    win.binde(lauf.prozess.pid)
    return ordner


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--build", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build"))
    p.add_argument("-n", type=int, default=30, help="keys measured")
    p.add_argument("--zeilen", type=int, default=len(ZEILEN) - 1, help="lines measured")
    a = p.parse_args()
    if not os.environ.get("DISPLAY") or not os.environ.get("PULSE_SERVER"):
        print("FAIL: run me inside tests/desktop/desktop-session (with its sound server)")
        return 1
    tastaro = os.path.abspath(os.path.join(a.build, "bin", "Tastaro"))
    basis = tempfile.mkdtemp(prefix="tastenklang.", dir=os.environ.get("TASTARO_DESKTOP_DIR"))
    ordner = starten(tastaro, basis)
    richtig = dauer_ms(os.path.join(ordner, "Sounds", "Richtig.wav"))
    click = dauer_ms(os.path.join(ordner, "Sounds", "Click.wav"))
    lauf.schritt_timeout = 15.0
    try:
        warte("the start question", lambda: win.aktiv() is not None and rolle(win.aktiv()) == "alert")
        taste("Return")
        dialog("Trainingsbereich wählen")
        taste("Return")
        dialog("Trainingsdatei wählen")
        taste("Return")
        time.sleep(3.0)  # the click and line 1 spoken
        aufnahme = Aufnahme()
        time.sleep(0.5)

        # keys: the characters of the first lines, one at a time, 250 ms
        # apart; the later lines typed in one go. Each line ends with Enter
        # on the right text: the right sound, the click, and the next line
        # spoken after the speech timer.
        tasten = []
        for zeile in ZEILEN[:a.zeilen]:
            if sum(1 for t in tasten if not isinstance(t, tuple)) < a.n:
                for zeichen in zeile:
                    t = time.monotonic()
                    xdo("type", "--delay", "0", zeichen)
                    tasten.append(t)
                    time.sleep(0.25)
            else:
                xdo("type", "--delay", "30", zeile)
                time.sleep(0.5)
            time.sleep(0.3)
            t = time.monotonic()
            xdo("key", "Return")
            tasten.append(("Enter", t))
            time.sleep(richtig / 1000 + click / 1000 + 1.6)
        time.sleep(0.3)
        aufnahme.ende()
    finally:
        if lauf.prozess and lauf.prozess.poll() is None:
            lauf.prozess.kill()

    taste_ms, richtig_ms, zusatz_ms = [], [], []
    for i, t in enumerate(tasten):
        if isinstance(t, tuple):
            e = aufnahme.einsatz(t[1], t[1] + 0.3)
            if e is not None:
                richtig_ms.append((e - t[1]) * 1000)
                # speech starts at least 400 ms after the click: look from the click's end on
                s = aufnahme.einsatz(e + (richtig + click + 200) / 1000, e + 2.0)
                if s is not None:
                    zusatz_ms.append((s - t[1]) * 1000 - richtig - click - 400)
            continue
        e = aufnahme.einsatz(t, t + 0.2)
        if e is not None:
            taste_ms.append((e - t) * 1000)

    def zeile_(name, werte, ziel=""):
        if not werte:
            print(f"  {name:<44} nothing heard")
            return
        print(f"  {name:<44} {statistics.median(werte):6.1f}   (n={len(werte)}, "
              f"min {min(werte):.1f}, max {max(werte):.1f}){ziel}")

    print("\nmedians in ms:")
    zeile_("key to typing sound", taste_ms, "   goal <= 30")
    zeile_("Enter to the right sound", richtig_ms)
    zeile_("line: added on top of sound, click, 400 ms", zusatz_ms, "   goal <= 50")
    print(f"  (right sound {richtig:.0f} ms, click {click:.0f} ms)")
    return 0 if taste_ms and zusatz_ms else 1


if __name__ == "__main__":
    sys.exit(main())
