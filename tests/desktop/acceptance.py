#!/usr/bin/python3
"""A first start of Tastaro on a real desktop, driven by keys and read back
the way a blind user meets it: through the accessibility tree and through
what a running Orca says.

Run inside tests/desktop/desktop-session --orca (it provides the X display,
the accessibility bus, the PulseAudio null sink and TASTARO_ORCA_LOG):

    desktop-session --orca -- /usr/bin/python3 acceptance.py PATH/TO/Tastaro

The program is run from a private program folder: a copy of the binary with
the data that lies beside it, whose training texts are replaced by one small
area of two files. HOME and the XDG folders are fresh for every run, so this
is really a first start. Every step prints its name; a failed check is
reported with the last things Orca said and the state of the window, and the
script exits 1. A desktop that is not there is a failure too, never a skip.
"""

import os
import re
import subprocess
import sys
import time

# harness fails the test if pyatspi is missing
from harness import (PROGRAMMTITEL, Abbruch, alle, bereit, caret, dialog, durchlaufen, gleich, hoere_ton, kinder,
                     lauf, log, name, ohne_amp, orca, pruefe, pruefe_gesagt, pruefe_programm_sagt, pyatspi, rolle,
                     schluss, schritt, sprache, starte, stderr_zeilen, taste, text, tippe, versuche, warte, win,
                     zustaende)

BEREICH = "Abnahme"
DATEI1 = "Erste Übung"
DATEI2 = "Zweite Übung"
# (A, B) pairs. The second line proves the German keyboard (ß, ü, ä and
# capitals); xdotool types capital umlauts as small ones, so there are none.
ZEILEN1 = [
    ("Tippe: ja", "ja"),
    ("Tippe: Fuß über Käse", "Fuß über Käse"),
    ("Tippe: ab cd", "ab cd"),
    ("Tippe: Ende gut", "Ende gut"),
]
ZEILEN2 = [
    ("Tippe: eins", "eins"),
    ("Tippe: zwei", "zwei"),
    ("Tippe: drei", "drei"),
]

# Orca's words for a read-only text, in English and in its German translation.
NUR_LESBAR = re.compile(r"read only|read-only|nur lesbar|schreibgeschützt", re.IGNORECASE)

STEP_TIMEOUT = 15.0
# ctest gives the whole run 200 s; stop in time to print the diagnosis
GESAMT_FRIST = 160.0
# --pause-between-lines types line 2 only once it is ready: it tells keys lost
# during the waiting sounds apart from faults of the later steps.
PAUSE_ZWISCHEN_ZEILEN = False


# --------------------------------------------------------------------------
# Checks of this scenario


def pruefe_nicht_nur_lesbar(mark, beschreibung):
    schlecht = [s for s in orca.since(mark) if NUR_LESBAR.search(s)]
    return pruefe(not schlecht, f"Orca does not announce {beschreibung} as read only", schlecht or None)


def status_ist(zeile, fehlerzahl):
    s = win.status()
    return len(s) >= 2 and s[0] == zeile and s[1] == fehlerzahl


def warte_status(zeile, fehlerzahl, timeout=STEP_TIMEOUT):
    """The run has reached this line and error count; the rest of the
    scenario builds on it, so not getting there ends the run."""
    try:
        warte(f"status bar '{zeile}', '{fehlerzahl}'", lambda: status_ist(zeile, fehlerzahl), timeout)
    except Abbruch:
        raise Abbruch(f"the status bar does not reach {zeile!r}, {fehlerzahl!r} within {timeout:.0f}s; "
                      f"it shows {win.status()[:2]!r}")
    log(f"   ok    status bar shows {zeile!r}, {fehlerzahl!r}")


def eingabe_bereit(b_zeile):
    """The typing pane holds the line to type over, is writable and has the focus."""
    p = win.pane("Eingabe")
    if p is None:
        return False
    z = zustaende(p)
    return (text(p) == b_zeile and pyatspi.STATE_EDITABLE in z and pyatspi.STATE_READ_ONLY not in z
            and pyatspi.STATE_FOCUSED in z)


def pruefe_zeile_bereit(b_zeile, beschreibung):
    try:
        warte(beschreibung, lambda: eingabe_bereit(b_zeile), 8)
        log(f"   ok    {beschreibung}")
        return True
    except Abbruch:
        p = win.pane("Eingabe")
        pruefe(False, beschreibung,
               None if p is None else (versuche(lambda: text(p)), sorted(pyatspi.stateToString(s) for s in zustaende(p))))
        return False


def pruefe_titel(titel):
    """The file title above the panes is there for a screen reader too."""
    labels = [a for a in alle(win.hauptfenster()) if rolle(a) == "label"]
    gesehen = [(name(a), versuche(lambda a=a: a.description, "")) for a in labels]
    pruefe(any(titel in n or titel in d for n, d in gesehen),
           f"the file title {titel!r} is readable through the accessibility tree", gesehen)


def meldung(text_):
    """The message box showing text_, once it is the active window."""
    def finde():
        w = win.aktiv()
        if w is not None and rolle(w) in ("alert", "dialog") and win.suche(w, "label", text_) is not None:
            return w
        return None
    return warte(f"message box {text_!r}", finde)


def pruefe_meldung(box, text_):
    pruefe(name(box) == PROGRAMMTITEL, f"the message box is titled {PROGRAMMTITEL!r}", name(box))
    knoepfe = [name(a) for a in alle(box) if rolle(a) == "push button"]
    pruefe(knoepfe == ["Ja", "Nein"], "the message box offers 'Ja' and 'Nein'", knoepfe)
    f = win.fokus()
    pruefe(f is not None and rolle(f) == "push button" and name(f) == "Ja",
           "the focus is on 'Ja'", None if f is None else (rolle(f), name(f)))


def pruefe_auswahl(dlg, caption, eintraege, gewaehlt, mark):
    liste = win.suche(dlg, "list")
    pruefe(liste is not None, f"the chooser {caption!r} holds a list")
    if liste is None:
        return
    items = [name(c) for c in kinder(liste) if rolle(c) == "list item"]
    pruefe(items == eintraege, f"the list shows {eintraege}", items)
    sel = [name(c) for c in kinder(liste) if pyatspi.STATE_SELECTED in zustaende(c)]
    pruefe(sel == [gewaehlt], f"{gewaehlt!r} is selected", sel)
    f = win.fokus()
    pruefe(f is not None and rolle(f) in ("list", "list item"),
           "the focus is in the list", None if f is None else (rolle(f), name(f)))
    knoepfe = [name(a) for a in alle(dlg) if rolle(a) == "push button"]
    pruefe([ohne_amp(k) for k in knoepfe] == ["Weiter", "Abbrechen"],
           "the chooser offers 'Weiter' and 'Abbrechen'", knoepfe)
    pruefe_gesagt(mark, lambda s: gewaehlt in s, f"the selected entry {gewaehlt!r} when the chooser opens")


def fertig_dialog():
    def finde():
        w = win.aktiv()
        if w is not None and not gleich(w, win.hauptfenster()) and rolle(w) == "dialog":
            if win.suche(w, "text") is not None:
                return w
        return None
    return warte("the finish dialog", finde)


def pruefe_fertig(dlg, mark, titel, zeilen, fehleingaben, ende):
    pruefe(name(dlg) == "Das Training ist abgeschlossen",
           "the finish dialog is titled 'Das Training ist abgeschlossen'", name(dlg))
    bericht = win.suche(dlg, "text")
    erwartet = [f'Trainingstitel: "{titel}"', f"Trainierte Zeilen: {zeilen}", f"Fehleingaben: {fehleingaben}",
                "Es sind keine weiteren Trainingsdateien vorhanden." if ende
                else "Mit der Eingabetaste kann die nächste Trainingsdatei gestartet werden."]
    t = versuche(lambda: text(bericht), "")
    gelesen = [l for l in t.splitlines() if l.strip()]
    pruefe(gelesen[:4] == erwartet, "the report reads " + " / ".join(erwartet), t)
    # then the run's speed, error rate and typing time
    pruefe([re.sub(r"[0-9]+(:[0-9]+)?", "N", l) for l in gelesen[4:]] ==
           ["Anschläge pro Minute: N", "Fehlerquote: N %", "Tippzeit: N Minuten"],
           "the report goes on with keystrokes per minute, error rate and typing time", gelesen[4:])
    f = win.fokus()
    pruefe(f is not None and rolle(f) == "text" and versuche(lambda: caret(f)) == 0,
           "the report has the focus with the caret at its start",
           None if f is None else (rolle(f), name(f), versuche(lambda: caret(f))))
    knoepfe = [name(a) for a in alle(dlg) if rolle(a) == "push button"
               and pyatspi.STATE_SHOWING in zustaende(a)]
    soll = (["Wiederholen", "Schließen"] if ende else ["Weiter", "Wiederholen", "Schließen"])
    pruefe([ohne_amp(k) for k in knoepfe] == soll, f"the dialog offers {soll}", knoepfe)
    pruefe_gesagt(mark, lambda s: erwartet[0] in s, f"the report's first line {erwartet[0]!r}")
    return erwartet


# --------------------------------------------------------------------------
# The scenario


def ablauf(proc, m):
    """m: Orca's log position from before the program started."""
    schritt("start: the first question")
    frage = "Willst du jetzt einen Trainingsbereich und eine -datei wählen?"
    box = meldung(frage)
    pruefe_meldung(box, frage)
    pruefe_gesagt(m, lambda s: frage in s, "the start question")
    # The box's buttons get their texts while it is built, and appear with it;
    # sent on, each such event costs Orca a round of questions before it comes
    # to the box.
    roh = orca.zeilen(m)
    bis = next((i for i, z in enumerate(roh) if "Queueing window:activate [alert" in z), len(roh))
    namen = [z for z in roh[:bis] if "Queueing object:property-change:accessible-name" in z]
    pruefe(not namen, "Orca is handed no name changes before the start question itself", namen[:4])
    teile = [z for z in roh[:bis] if "object:state-changed:showing for [" in z
             and not any(w in z.split(" in ")[0] for w in ("[alert", "[frame"))]
    pruefe(not teile, "Orca is told of no part of the box appearing before the box itself", teile[:4])
    haupt = win.hauptfenster()
    pruefe(haupt is not None and name(haupt) == f"kein Bereich gewählt - {PROGRAMMTITEL}",
           "the main window is named 'kein Bereich gewählt - Tastaro V1.31' (its caption's placeholder is not read)", name(haupt) if haupt else None)

    schritt("answer 'Ja': the area chooser")
    m = orca.mark()
    taste("Return")
    dlg = dialog("Trainingsbereich wählen")
    pruefe_auswahl(dlg, "Trainingsbereich wählen", [BEREICH], BEREICH, m)

    schritt("Enter picks the area: the file chooser")
    m = orca.mark()
    taste("Return")
    dlg = dialog("Trainingsdatei wählen")
    pruefe_auswahl(dlg, "Trainingsdatei wählen", [DATEI1, DATEI2], DATEI1, m)

    schritt("Enter picks the file: line 1 comes up")
    m = orca.mark()
    ms = sprache.mark()
    taste("Return")
    warte("the main window active again", lambda: gleich(win.aktiv(), win.hauptfenster()))
    pruefe_zeile_bereit(ZEILEN1[0][1], f"the typing pane 'Eingabe' holds {ZEILEN1[0][1]!r}, writable, focused")
    warte_status(f"Zeile: 1/{len(ZEILEN1)}", "Fehler: 0")
    haupt = win.hauptfenster()
    pruefe(name(haupt) == f"{BEREICH} - {PROGRAMMTITEL}", f"the window is titled '{BEREICH} - {PROGRAMMTITEL}'",
           name(haupt))
    pruefe_titel(DATEI1)
    pruefe_programm_sagt(ms, lambda s: s.startswith(f"{DATEI1}. "), f"the file's title {DATEI1!r} before line 1")
    pruefe_gesagt(m, lambda s: "Eingabe" in s, "the typing pane when the line comes up")
    orca.wait_for(m, lambda s: ZEILEN1[0][1] in s, 2.0)  # let Orca finish the announcement
    pruefe_nicht_nur_lesbar(m, "the typing pane of line 1")

    schritt("two right lines typed without a pause (keys during the waiting sounds)")
    m = orca.mark()
    ms = sprache.mark()
    if PAUSE_ZWISCHEN_ZEILEN:
        tippe(f"{ZEILEN1[0][1]}\n")
        warte_status(f"Zeile: 2/{len(ZEILEN1)}", "Fehler: 0")
        pruefe_zeile_bereit(ZEILEN1[1][1], f"line 2 is ready with {ZEILEN1[1][1]!r}")
        tippe(f"{ZEILEN1[1][1]}\n")
    else:
        tippe(f"{ZEILEN1[0][1]}\n{ZEILEN1[1][1]}\n")
    warte_status(f"Zeile: 3/{len(ZEILEN1)}", "Fehler: 0")
    pruefe_zeile_bereit(ZEILEN1[2][1], f"line 3 is ready with {ZEILEN1[2][1]!r} untouched")
    pruefe_nicht_nur_lesbar(m, "the typing pane of lines 2 and 3")
    pruefe_programm_sagt(ms, lambda s: s.startswith("Richtig. "), "'Richtig.' before the next line")

    schritt("a wrong line: typo and Enter")
    m = orca.mark()
    ms = sprache.mark()
    tippe("ab cx\n")
    warte_status(f"Zeile: 3/{len(ZEILEN1)}", "Fehler: 1")
    pruefe_programm_sagt(ms, lambda s: s.startswith("Falsch. Wort 2: erwartet ") and "Weiter ab Wort 2." in s,
                         "which word was wrong and where typing goes on")
    p = win.pane("Eingabe")
    # in the overwrite mode the pane shows the kept part and the rest of the
    # line again, the caret after the last correct word
    try:
        warte("the typing pane back at 'ab'", lambda: text(p) == "ab cd" and caret(p) == 2, 5)
        log("   ok    the pane shows 'ab cd' with the caret after 'ab'")
    except Abbruch:
        pruefe(False, "the pane shows 'ab cd' with the caret after 'ab'",
               (versuche(lambda: text(p)), versuche(lambda: caret(p))))
    f = win.fokus()
    pruefe(f is not None and name(f) == "Eingabe", "the typing pane keeps the focus",
           None if f is None else (rolle(f), name(f)))

    schritt("going on after the last correct word")
    tippe(" cd\n")
    warte_status(f"Zeile: 4/{len(ZEILEN1)}", "Fehler: 1")
    pruefe_zeile_bereit(ZEILEN1[3][1], f"line 4 is ready with {ZEILEN1[3][1]!r}")

    schritt("Caps Lock on: a letter in the wrong case is told of")
    ms = sprache.mark()
    taste("Caps_Lock")
    tippe("E")  # Shift with Caps Lock on: "e" arrives where the line has "E"
    pruefe_programm_sagt(ms, "Feststelltaste ist eingeschaltet", "that Caps Lock is on")
    taste("Caps_Lock")
    taste("BackSpace")

    schritt("Strg+Rechts skips the last line: the finish dialog")
    m = orca.mark()
    ms = sprache.mark()
    taste("ctrl+Right")
    dlg = fertig_dialog()
    bericht = pruefe_fertig(dlg, m, DATEI1, len(ZEILEN1), 2, ende=False)
    pruefe_programm_sagt(ms, f"Das Training ist abgeschlossen. {len(ZEILEN1)} Zeilen, 2 Fehleingaben.",
                         "the result when the finish dialog opens")
    warte_status(f"Zeile: 0/{len(ZEILEN1)}", "Fehler: 2")

    schritt("the report can be read line by line")
    for zeile in bericht[1:3]:
        m = orca.mark()
        taste("Down")
        pruefe_gesagt(m, lambda s, z=zeile: z in s, f"{zeile!r} on Down")

    schritt("Enter = 'Weiter': the next file starts")
    taste("Return")
    warte("the main window active again", lambda: gleich(win.aktiv(), win.hauptfenster()))
    pruefe_zeile_bereit(ZEILEN2[0][1], f"line 1 of {DATEI2!r} is ready")
    warte_status(f"Zeile: 1/{len(ZEILEN2)}", "Fehler: 0")
    pruefe_titel(DATEI2)

    schritt("skipping every line of the last file")
    for i in range(len(ZEILEN2)):
        taste("ctrl+Right")
        if i + 1 < len(ZEILEN2):
            warte_status(f"Zeile: {i + 2}/{len(ZEILEN2)}", f"Fehler: {i + 1}")
    m = orca.mark()
    dlg = fertig_dialog()
    pruefe_fertig(dlg, m, DATEI2, len(ZEILEN2), len(ZEILEN2), ende=True)

    schritt("'Wiede&rholen' repeats the file")
    taste("alt+r")
    warte("the main window active again", lambda: gleich(win.aktiv(), win.hauptfenster()))
    pruefe_zeile_bereit(ZEILEN2[0][1], f"line 1 of {DATEI2!r} is ready again")
    warte_status(f"Zeile: 1/{len(ZEILEN2)}", "Fehler: 0")

    schritt("closing during a run asks first; 'Nein' keeps the line")
    taste("alt+F4")
    frage = "Soll das Training abgebrochen und das Programm geschlossen werden?"
    box = meldung(frage)
    pruefe_meldung(box, frage)
    taste("Tab")

    # The key may reach the box a moment later: the screen reader sees every
    # key first, and it may still be busy with the window before.
    def auf_nein():
        f = win.fokus()
        return f if f is not None and name(f) == "Nein" else None
    f = versuche(lambda: warte("the focus on 'Nein'", auf_nein, 2.0))
    pruefe(f is not None, "Tab moves to 'Nein'", None if f else versuche(lambda: name(win.fokus())))
    taste("Return")
    warte("the main window active again", lambda: gleich(win.aktiv(), win.hauptfenster()))
    pruefe(proc.poll() is None, "the program still runs")
    pruefe_zeile_bereit(ZEILEN2[0][1], "line 1 is still ready")
    warte_status(f"Zeile: 1/{len(ZEILEN2)}", "Fehler: 0")

    schritt("to the end again: Enter does nothing in the last file's dialog, 'S&chließen' leaves the program idle")
    for i in range(len(ZEILEN2)):
        taste("ctrl+Right")
        if i + 1 < len(ZEILEN2):
            warte_status(f"Zeile: {i + 2}/{len(ZEILEN2)}", f"Fehler: {i + 1}")
    dlg = fertig_dialog()
    taste("Return")
    time.sleep(1.0)  # a key that must do nothing: give it the time to do something
    offen = gleich(win.aktiv(), dlg)
    pruefe(offen, "Enter leaves the dialog open (there is no next file)",
           None if offen else name(win.aktiv()) if win.aktiv() else None)
    if offen:
        taste("alt+c")
    warte("the main window active again", lambda: gleich(win.aktiv(), win.hauptfenster()))
    warte_status(f"Zeile: 0/{len(ZEILEN2)}", f"Fehler: {len(ZEILEN2)}")
    p = win.pane("Eingabe")
    pruefe(versuche(lambda: text(p)) == "", "the typing pane is empty", versuche(lambda: text(p)))
    f = win.fokus()
    pruefe(f is not None and name(f) == "Eingabe", "the typing pane has the focus",
           None if f is None else (rolle(f), name(f)))
    gehoert = hoere_ton(lambda: tippe("x"), 880)
    pruefe(gehoert, "a key while no line is ready gives a beep heard on the sound server")
    pruefe(versuche(lambda: text(p)) == "" and status_ist(f"Zeile: 0/{len(ZEILEN2)}", f"Fehler: {len(ZEILEN2)}"),
           "with no line active a typed key changes nothing", (versuche(lambda: text(p)), win.status()[:2]))

    schritt("F1 opens the help inside the trainer; Esc closes it")
    taste("F1")
    hilfe = dialog("Hilfe")
    t = versuche(lambda: text(win.suche(hilfe, "text")), "")
    pruefe(t.startswith(f"{PROGRAMMTITEL} - Hilfe"), "the help dialog shows the help text", t[:60])
    taste("Escape")
    warte("the main window active again", lambda: gleich(win.aktiv(), win.hauptfenster()))

    schritt("Strg+F reads the progress of the finished runs")
    taste("ctrl+f")
    bericht = dialog("Fortschritt")
    t = versuche(lambda: text(win.suche(bericht, "text")), "")
    pruefe(t.startswith("Letzte Läufe:") and "Anschläge pro Minute" in t and "Schwächste Zeichen:" in t,
           "the report lists the runs and the weakest characters", t[:300])
    taste("Escape")
    warte("the main window active again", lambda: gleich(win.aktiv(), win.hauptfenster()))

    schritt("closing while idle asks nothing")
    lauf.ende_erwartet = True
    taste("alt+F4")
    try:
        rc = proc.wait(timeout=STEP_TIMEOUT)
    except subprocess.TimeoutExpired:
        raise Abbruch("the program did not end after Alt+F4 while idle")
    pruefe(rc == 0, "the program ends with exit code 0", rc)


def main():
    global PAUSE_ZWISCHEN_ZEILEN
    args = sys.argv[1:]
    if args and args[0] == "--pause-between-lines":
        PAUSE_ZWISCHEN_ZEILEN = True
        args = args[1:]
    if len(args) != 1:
        print("usage: acceptance.py [--pause-between-lines] PATH/TO/Tastaro", file=sys.stderr)
        return 2
    tastaro = os.path.abspath(args[0])
    if not bereit(tastaro, ("DISPLAY", "TASTARO_ORCA_LOG", "TASTARO_ORCA_PID", "TASTARO_DESKTOP_DIR", "PULSE_SERVER")):
        return 1
    lauf.frist = GESAMT_FRIST
    lauf.schritt_timeout = STEP_TIMEOUT
    lauf.schritt = "Vorbereitung"
    orca.binde(os.environ["TASTARO_ORCA_LOG"], int(os.environ["TASTARO_ORCA_PID"]))
    m = orca.mark()
    _, stderr_pfad = starte(tastaro, "abnahme.", BEREICH, {
        datei: titel + "\n" + "".join(f"{a}\n{b}\n" for a, b in zeilen)
        for datei, titel, zeilen in (("Eins.txt", DATEI1, ZEILEN1), ("Zwei.txt", DATEI2, ZEILEN2))})
    durchlaufen(ablauf, lauf.prozess, m)
    # Qt warns on stderr when its objects are used from the wrong thread
    fremd = [z for z in stderr_zeilen(stderr_pfad) if "thread" in z.lower()]
    pruefe(not fremd, "the program reports no thread misuse", fremd)
    return schluss(stderr_pfad)


if __name__ == "__main__":
    sys.exit(main())
