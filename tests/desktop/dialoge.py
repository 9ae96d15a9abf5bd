#!/usr/bin/python3
"""Tastaro's dialogs on a real desktop, as a blind user meets them: opened by
keys, read back through the accessibility tree and through what a running
Orca says.

Run inside tests/desktop/desktop-session --orca:

    desktop-session --orca -- /usr/bin/python3 dialoge.py PATH/TO/Tastaro

Checked: the area and file chooser (Orca names the selected entry, not only
the list), the options dialog, the font dialog and the finish dialog (every
control that takes the focus has a name and the role a screen reader
expects), and one option changed by keys that lands in the settings file and
in the main window. The program runs from a private program folder with one
small training area; HOME is fresh. A failed check exits 1 with a diagnosis.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

try:
    import pyatspi
except ImportError as e:  # a missing package fails the test, never skips it
    print(f"FAIL: pyatspi cannot be imported ({e}); install python3-pyatspi", flush=True)
    sys.exit(1)

from harness import OrcaLog, alle, gleich, kinder, name, programmordner, rolle, versuche, zustaende

PROGRAMMTITEL = "Tastaro V1.31"
BEREICH = "Dialogprobe"
DATEI = "Kurze Übung"
ZEILE = ("Tippe: ja", "ja")
FRIST = 80.0  # ctest allows 90 s
T0 = time.monotonic()
fehler = []
orca = None
win = None
PROZESS = None

# Roles that take the keyboard and must therefore carry a name.
BEDIENROLLEN = {"push button", "check box", "radio button", "list", "list item", "spin button", "text",
                "combo box", "toggle button", "slider", "table", "tree", "tree item", "page tab"}


class Abbruch(Exception):
    pass


def log(msg):
    print(f"[{time.monotonic() - T0:5.1f}s] {msg}", flush=True)


class Fenster:
    def __init__(self, pid):
        self.pid = pid

    def fenster(self):
        for a in kinder(pyatspi.Registry.getDesktop(0)):
            if versuche(a.get_process_id) == self.pid:
                return kinder(a)
        return []

    def haupt(self):
        return next((w for w in self.fenster() if rolle(w) == "frame" and name(w).endswith(PROGRAMMTITEL)), None)

    def aktiv(self):
        return next((w for w in self.fenster()
                     if {pyatspi.STATE_ACTIVE, pyatspi.STATE_SHOWING} <= zustaende(w)), None)

    def fokus(self):
        w = self.aktiv()
        return next((a for a in alle(w, False) if pyatspi.STATE_FOCUSED in zustaende(a)
                     and rolle(a) not in ("panel", "filler", "dialog", "frame")), None) if w else None

    def suche(self, wurzel, rolle_=None, name_=None):
        return next((a for a in alle(wurzel, False) if (rolle_ is None or rolle(a) == rolle_)
                     and (name_ is None or name(a) == name_)), None) if wurzel else None

    def status(self):
        bar = self.suche(self.haupt(), "status bar")
        return [name(c) for c in kinder(bar)] if bar else []


def warte(beschreibung, fn, timeout=10.0):
    if time.monotonic() - T0 > FRIST:
        raise Abbruch(f"out of time ({FRIST:.0f}s) before {beschreibung}")
    ende = time.monotonic() + timeout
    while True:
        if PROZESS.poll() is not None:
            raise Abbruch(f"the program ended (exit code {PROZESS.returncode}) while waiting for {beschreibung}")
        r = versuche(fn)
        if r:
            return r
        if time.monotonic() > ende:
            raise Abbruch(f"{beschreibung}: not reached within {timeout:.0f}s")
        time.sleep(0.1)


def taste(*keys):
    log(f"   key {' '.join(keys)}")
    subprocess.run(["xdotool", "key", "--delay", "60", *keys], check=True, timeout=30)


def taste_bis(beschreibung, pruef, *keys):
    """Sends keys until pruef holds. Right after a dialog closes the window
    manager hands the X focus back a moment later than the accessibility tree
    shows the main window active, and a key sent in between is lost."""
    for _ in range(3):
        taste(*keys)
        try:
            return warte(beschreibung, pruef, 2.5)
        except Abbruch:
            log(f"   ({beschreibung}: not yet, the keys again)")
    return warte(beschreibung, pruef, 1)


def pruefe(bedingung, beschreibung, gesehen=None):
    if bedingung:
        log(f"   ok    {beschreibung}")
    else:
        log(f"   FAIL  {beschreibung} -- seen: {gesehen!r}")
        fehler.append(f"{beschreibung} -- seen: {gesehen!r}")
    return bool(bedingung)


def pruefe_gesagt(mark, teil, beschreibung, timeout=6.0):
    ende = time.monotonic() + timeout
    while not any(teil in s for s in orca.since(mark)) and time.monotonic() < ende:
        time.sleep(0.1)
    gesagt = any(teil in s for s in orca.since(mark))
    return pruefe(gesagt, f"Orca says {beschreibung}", None if gesagt else orca.since(mark)[-8:])


def aktiver_dialog(titel):
    w = win.aktiv()
    return w if w is not None and name(w) == titel and not gleich(w, win.haupt()) else None


def dialog(titel):
    return warte(f"the dialog {titel!r}", lambda: aktiver_dialog(titel))


def haupt_aktiv():
    """The main window is active and its typing pane has the keyboard again:
    a key sent earlier may go nowhere."""
    warte("the main window active with the focus in a pane", lambda: gleich(win.aktiv(), win.haupt())
          and rolle(win.fokus()) == "text")


def pruefe_bedienelemente(dlg, titel, soll):
    """Every control that takes the keyboard has a name; the roles in soll
    (role -> least count) are there."""
    # A combo box's drop-down list is Qt's own; the screen reader names it
    # after its combo box, whose name is checked.
    elemente = [a for a in alle(dlg, False) if not gleich(a, dlg) and rolle(a.parent) != "combo box"]
    namenlos = [f"{rolle(a)} (index {versuche(a.getIndexInParent)} in {rolle(a.parent)} {name(a.parent)!r})"
                for a in elemente if (pyatspi.STATE_FOCUSABLE in zustaende(a) or rolle(a) in BEDIENROLLEN)
                and rolle(a) not in ("scroll bar", "menu item") and not name(a).strip()]
    pruefe(not namenlos, f"{titel}: every control has an accessible name", namenlos)
    zahl = {}
    for a in elemente:
        zahl[rolle(a)] = zahl.get(rolle(a), 0) + 1
    fehlt = {r: (n, zahl.get(r, 0)) for r, n in soll.items() if zahl.get(r, 0) < n}
    pruefe(not fehlt, f"{titel}: the roles {soll}", fehlt or None)


def pruefe_listeneintrag_angesagt(mark, liste, wozu):
    """Orca names the list's current entry, not only 'list with N items'."""
    sel = [name(c) for c in kinder(liste) if pyatspi.STATE_SELECTED in zustaende(c)]
    if not pruefe(len(sel) == 1, f"{wozu}: one entry is selected", sel):
        return
    pruefe_gesagt(mark, sel[0], f"the selected entry {sel[0]!r} when {wozu} gets the focus")


def pruefe_auswahl(titel, eintrag, mark):
    dlg = dialog(titel)
    liste = win.suche(dlg, "list")
    pruefe(liste is not None and [name(c) for c in kinder(liste)] == [eintrag], f"the list shows {eintrag!r}",
           versuche(lambda: [name(c) for c in kinder(liste)]))
    pruefe_bedienelemente(dlg, titel, {"list": 1, "list item": 1, "push button": 2})
    pruefe_gesagt(mark, eintrag, f"the selected entry {eintrag!r} when the chooser opens")


def conf_wert(home, schluessel):
    """A value of the program's settings file (~/.config/*.conf)."""
    for wurzel, _, dateien in os.walk(os.path.join(home, ".config")):
        for d in (d for d in dateien if d.endswith(".conf")):
            with open(os.path.join(wurzel, d), encoding="utf-8", errors="replace") as f:
                for z in f:
                    if z.startswith(schluessel + "="):
                        return z.strip().split("=", 1)[1]
    return None


def ablauf(home):
    log("== start: 'Ja' opens the area chooser")
    warte("the start question", lambda: rolle(win.aktiv()) in ("alert", "dialog"))
    m = orca.mark()
    taste("Return")
    pruefe_auswahl("Trainingsbereich wählen", BEREICH, m)
    log("== Enter: the file chooser")
    m = orca.mark()
    taste("Return")
    pruefe_auswahl("Trainingsdatei wählen", DATEI, m)
    taste("Return")
    haupt_aktiv()
    warte("line 1 in the status bar", lambda: win.status()[:1] == ["Zeile: 1/1"])

    log("== Strg+O: the options dialog")
    vorlage = win.suche(win.haupt(), "text", "Vorlage")
    pruefe("Modus: Überschreiben" in win.status() and pyatspi.STATE_SHOWING not in zustaende(vorlage),
           "the main window starts in the overwrite mode, no template pane", win.status())
    dlg = taste_bis("the options dialog", lambda: aktiver_dialog("Optionen einstellen"), "ctrl+o")
    pruefe_bedienelemente(dlg, "Optionen einstellen", {"check box": 8, "radio button": 3, "list": 2,
                                                       "spin button": 2, "push button": 3})
    f = warte("the focus on 'Vorlage überschreiben'", lambda: (lambda f: f if f is not None and name(f)
                                                              == "Vorlage überschreiben" else None)(win.fokus()))
    pruefe(rolle(f) == "check box" and pyatspi.STATE_CHECKED in zustaende(f),
           "'Vorlage überschreiben' is a checked check box", (rolle(f), sorted(map(str, zustaende(f)))))
    # Tab to the sounds list: a list that gets the focus names its entry.
    # One Tab at a time, each waited for: a Tab sent before the last one
    # arrived would carry the focus past the list.
    for _ in range(12):
        m = orca.mark()
        taste("Tab")
        f = warte("the focus to move on", lambda f=f: (lambda n: n if n is not None and not gleich(n, f)
                                                       else None)(win.fokus()), 3)
        if rolle(f) in ("list", "list item") and name(f) != "":
            break
    liste = f if rolle(f) == "list" else f.parent
    pruefe(name(liste) == "Sounds", "Tab reaches the list 'Sounds'", (rolle(f), name(f)))
    pruefe_listeneintrag_angesagt(m, liste, "the list 'Sounds'")
    taste("alt+udiaeresis")  # the check box's mnemonic "&überschreiben", wherever the focus is
    warte("'Vorlage überschreiben' unchecked", lambda: pyatspi.STATE_CHECKED not in zustaende(
        win.suche(dlg, "check box", "Vorlage überschreiben")), 3)
    taste("Return")
    haupt_aktiv()
    warte("the settings file to hold 'Modus=0'", lambda: conf_wert(home, "Modus") == "0", 5)
    log("   ok    the settings file holds Modus=0 (follow-typing)")
    warte("the status bar to show 'Modus: Nachtippen' and the template pane 'Vorlage' to show",
          lambda: "Modus: Nachtippen" in win.status()
          and pyatspi.STATE_SHOWING in zustaende(win.suche(win.haupt(), "text", "Vorlage")), 5)
    log("   ok    the status bar shows 'Modus: Nachtippen', the template pane 'Vorlage' shows")

    log("== Alt+A, S: the font dialog")
    taste_bis("the menu 'Ansicht' open", lambda: any(rolle(a) == "menu item" and name(a).startswith("Schrift")
                                                     and pyatspi.STATE_SHOWING in zustaende(a)
                                                     for w in win.fenster() for a in alle(w, True)), "alt+a")
    m = orca.mark()
    taste("s")
    dlg = dialog("Schrifteinstellungen")
    pruefe_bedienelemente(dlg, "Schrifteinstellungen", {"list": 1, "list item": 1, "spin button": 1,
                                                        "check box": 1, "combo box": 2, "text": 1,
                                                        "push button": 2})
    liste = warte("the focus in the font list", lambda: (lambda f: f if f is not None and rolle(f) in (
        "list", "list item") else None)(win.fokus()))
    pruefe_listeneintrag_angesagt(m, liste if rolle(liste) == "list" else liste.parent, "the font list")
    taste("Escape")
    haupt_aktiv()

    log("== Strg+Rechts skips the only line: the finish dialog")
    dlg = taste_bis("the finish dialog", lambda: aktiver_dialog("Das Training ist abgeschlossen"), "ctrl+Right")
    pruefe_bedienelemente(dlg, "Das Training ist abgeschlossen", {"text": 1, "push button": 2})
    taste("alt+c")
    haupt_aktiv()


def main():
    global orca, win, PROZESS
    tastaro = os.path.abspath(sys.argv[1]) if len(sys.argv) == 2 else ""
    fehlt = [v for v in ("DISPLAY", "TASTARO_ORCA_LOG", "TASTARO_DESKTOP_DIR") if not os.environ.get(v)]
    if fehlt or not os.access(tastaro, os.X_OK) or shutil.which("xdotool") is None:
        print(f"FAIL: usage: desktop-session --orca -- dialoge.py PATH/TO/Tastaro (unset: {fehlt}, "
              f"program {tastaro!r}, xdotool {shutil.which('xdotool')!r})", flush=True)
        return 1
    orca = OrcaLog(os.environ["TASTARO_ORCA_LOG"])
    basis = tempfile.mkdtemp(prefix="dialoge.", dir=os.environ["TASTARO_DESKTOP_DIR"])
    programm, ordner = programmordner(tastaro, basis, BEREICH, {"Kurz.txt": f"{DATEI}\n{ZEILE[0]}\n{ZEILE[1]}\n"})
    home = os.path.join(basis, "home")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local", "share"), XDG_DOCUMENTS_DIR=os.path.join(home, "Documents"),
               XDG_DESKTOP_DIR=os.path.join(home, "Desktop"), TASTARO_DATA_DIR=ordner, LANG="de_AT.UTF-8",
               LC_ALL="de_AT.UTF-8", QT_QPA_PLATFORM="xcb")
    for d in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR", "XDG_DESKTOP_DIR"):
        os.makedirs(env[d], exist_ok=True)
    stderr_pfad = os.path.join(basis, "tastaro.stderr")
    PROZESS = subprocess.Popen([programm], env=env, cwd=home, stdout=subprocess.DEVNULL,
                               stderr=open(stderr_pfad, "wb"))
    win = Fenster(PROZESS.pid)
    try:
        warte("the program on the accessibility bus", lambda: win.haupt() is not None, 30)
        ablauf(home)
    except Abbruch as e:
        fehler.append(f"ABORT: {e}")
        log(f"   ABORT {e}")
    except Exception as e:
        fehler.append(f"unexpected error: {e!r}")
        traceback.print_exc()
    if fehler:
        print("---- what Orca said last\n   " + "\n   ".join(orca.since(0)[-20:]))
        print("---- active window\n" + (versuche(lambda: "\n".join(f"   {rolle(a)} {name(a)!r}" for a in alle(win.aktiv(), False)), "(none)") or "(none)"))
        zeilen = versuche(lambda: open(stderr_pfad, errors="replace").read().splitlines(), [])
        print("---- program stderr (end)\n" + "\n".join([z for z in zeilen if "keyEventError" not in z][-30:]))
    if PROZESS.poll() is None:
        PROZESS.kill()
        PROZESS.wait()
    print(f"\n{'FAILED' if fehler else 'PASSED'} after {time.monotonic() - T0:.1f}s", flush=True)
    for f in fehler:
        print(f"  - {f}")
    return 1 if fehler else 0


if __name__ == "__main__":
    sys.exit(main())
