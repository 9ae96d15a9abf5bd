"""What the desktop scripts share: logging and checks, waiting, keys through
xdotool, the accessibility tree of the program under test (read without
tripping over a window that goes away), Orca's debug log, a program folder
of the test's own with one small training area, and the run itself from the
start of the program to the verdict.

A script imports what it needs, sets the limits of its run on `lauf`, and
leaves everything else to its scenario:

    from harness import lauf, log, orca, pruefe, schritt, starte, ..., win

    lauf.frist = 80.0          # the whole run, before ctest's timeout
    orca.binde(os.environ["TASTARO_ORCA_LOG"])
    home, stderr_pfad = starte(tastaro, "name.", BEREICH, {"Datei.txt": "..."})
    durchlaufen(ablauf, home)
    return schluss(stderr_pfad)
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

try:
    import pyatspi
except ImportError as e:  # a missing package must fail the test, not skip it
    print(f"FAIL: pyatspi cannot be imported ({e}); install python3-pyatspi", flush=True)
    sys.exit(1)

PROGRAMMTITEL = "Tastaro V1.31"
T0 = time.monotonic()
fehler = []  # failed checks, in order


class Lauf:
    """The limits and the state of one run."""

    def __init__(self):
        self.frist = 160.0  # seconds for the whole run; no wait starts after it
        self.schritt_timeout = 15.0  # what warte() gives a step unless told
        self.schritt = None  # the step under way, named in every failure
        self.prozess = None  # the program under test
        self.ende_erwartet = False  # the program may end now: no wait fails for it


lauf = Lauf()


class Abbruch(Exception):
    """A step that cannot go on: the rest of the scenario depends on it."""


def versuche(fn, default=None):
    try:
        return fn()
    except Exception:  # the program may be busy or a window gone
        return default


# --------------------------------------------------------------------------
# Log and checks


def log(msg):
    jetzt = time.time()
    uhr = time.strftime("%H:%M:%S", time.localtime(jetzt)) + f".{int(jetzt * 1000) % 1000:03d}"
    print(f"[{time.monotonic() - T0:6.1f}s {uhr}] {msg}", flush=True)


def schritt(name_):
    lauf.schritt = name_
    log(f"== {name_}")


def pruefe(bedingung, beschreibung, gesehen=None):
    """Logs a check; a failed one is kept for the verdict and the run goes on."""
    if bedingung:
        log(f"   ok    {beschreibung}")
        return True
    gesehen_ = f" -- seen: {gesehen!r}" if gesehen is not None else ""
    log(f"   FAIL  {beschreibung}{gesehen_}")
    fehler.append((f"{lauf.schritt}: " if lauf.schritt else "") + beschreibung + gesehen_)
    return False


def warte(beschreibung, fn, timeout=None):
    """Polls fn until it returns something true and returns that; Abbruch
    after timeout (lauf.schritt_timeout unless given), when the program ends
    unexpectedly, or when the run is out of time."""
    if timeout is None:
        timeout = lauf.schritt_timeout
    if time.monotonic() - T0 > lauf.frist:
        raise Abbruch(f"out of time ({lauf.frist:.0f}s) before {beschreibung}")
    ende = time.monotonic() + timeout
    letzter = None
    while True:
        p = lauf.prozess
        if p is not None and p.poll() is not None and not lauf.ende_erwartet:
            raise Abbruch(f"the program ended unexpectedly (exit code {p.returncode}) "
                          f"while waiting for {beschreibung}")
        try:
            r = fn()
            if r:
                return r
        except Exception as e:  # the program may be busy or a window gone
            letzter = e
        if time.monotonic() > ende:
            raise Abbruch(f"{beschreibung}: not reached within {timeout:.0f}s"
                          + (f" (last error: {letzter})" if letzter else ""))
        time.sleep(0.1)


# --------------------------------------------------------------------------
# Keys


def xdo(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=30)


def taste(*keys):
    log(f"   key {' '.join(keys)}")
    xdo("key", "--delay", "60", *keys)


def tippe(s):
    """Types s in one go; a line break is the Enter key. (xdotool types "\\n"
    as the Linefeed key, which no program takes for Enter, so it gets "\\r".)"""
    log(f"   type {s!r}")
    xdo("type", "--delay", "40", s.replace("\n", "\r"))


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


# --------------------------------------------------------------------------
# Accessibility tree


def rolle(a):
    return versuche(a.getRoleName, "?")


def name(a):
    return versuche(lambda: a.name or "", "")


def zustaende(a):
    return versuche(lambda: set(a.getState().getStates()), set())


def kinder(a):
    return versuche(lambda: [c for c in a if c is not None], [])


def alle(a, menues=True):
    """a and everything below it; with menues False, not what lies in menus."""
    yield a
    for c in kinder(a):
        if menues or rolle(c) not in ("popup menu", "menu"):
            yield from alle(c, menues)


def gleich(a, b):
    """The same accessible object; a missing one is the same as nothing."""
    return versuche(lambda: a is not None and b is not None and a.path == b.path, False)


def text(a):
    return a.queryText().getText(0, -1)


def caret(a):
    return a.queryText().caretOffset


def ohne_amp(s):
    return s.replace("&", "")


class Fenster:
    """The windows of the program under test, found by its process id.

    menues: whether fokus() and suche() look into the menus too.
    ohne_fokus: roles that fokus() passes over (containers that report the
    focus of a control inside them)."""

    def __init__(self):
        self.pid = None
        self.menues = True
        self.ohne_fokus = ("panel", "filler")

    def binde(self, pid):
        self.pid = pid

    def app(self):
        for a in kinder(pyatspi.Registry.getDesktop(0)):
            if versuche(a.get_process_id) == self.pid:
                return a
        return None

    def fenster(self):
        a = self.app()
        return kinder(a) if a is not None else []

    def hauptfenster(self):
        return next((w for w in self.fenster() if rolle(w) == "frame" and name(w).endswith(PROGRAMMTITEL)), None)

    def aktiv(self):
        """The window that has the keyboard: active, showing."""
        return next((w for w in self.fenster()
                     if {pyatspi.STATE_ACTIVE, pyatspi.STATE_SHOWING} <= zustaende(w)), None)

    def fokus(self):
        w = self.aktiv()
        if w is None:
            return None
        return next((a for a in alle(w, self.menues) if pyatspi.STATE_FOCUSED in zustaende(a)
                     and rolle(a) not in self.ohne_fokus), None)

    def suche(self, wurzel, rolle_=None, name_=None):
        if wurzel is None:
            return None
        return next((a for a in alle(wurzel, self.menues) if (rolle_ is None or rolle(a) == rolle_)
                     and (name_ is None or name(a) == name_)), None)

    def pane(self, name_):
        return self.suche(self.hauptfenster(), "text", name_)

    def status(self):
        bar = self.suche(self.hauptfenster(), "status bar")
        return [name(c) for c in kinder(bar)] if bar is not None else []

    def dump(self):
        zeilen = []

        def rec(a, d):
            z = zustaende(a)
            flags = [pyatspi.stateToString(s) for s in sorted(z)
                     if s in (pyatspi.STATE_FOCUSED, pyatspi.STATE_ACTIVE, pyatspi.STATE_EDITABLE,
                              pyatspi.STATE_READ_ONLY, pyatspi.STATE_SELECTED, pyatspi.STATE_SHOWING)]
            r = rolle(a)
            if r in ("menu item", "popup menu", "separator", "scroll bar"):
                return
            extra = ""
            if r in ("text", "label") or "Text" in (a.get_interfaces() if hasattr(a, "get_interfaces") else []):
                try:
                    extra = f" text={text(a)!r} caret={caret(a)}"
                except Exception:
                    pass
            zeilen.append("  " * d + f"{r} {name(a)!r}{extra} {flags}")
            for c in kinder(a):
                rec(c, d + 1)

        a = self.app()
        if a is None:
            return "(the program has no accessible application)"
        rec(a, 0)
        return "\n".join(zeilen)


win = Fenster()


def aktiver_dialog(titel):
    """The window titled titel if it is the active one and not the main window."""
    w = win.aktiv()
    return w if w is not None and name(w) == titel and not gleich(w, win.hauptfenster()) else None


def dialog(titel, timeout=None):
    return warte(f"the dialog {titel!r}", lambda: aktiver_dialog(titel), timeout)


# --------------------------------------------------------------------------
# Orca's debug log


class LogDatei:
    """A log file another process appends to, read line by line from a mark on."""

    def __init__(self):
        self.path = None

    def mark(self):
        return versuche(lambda: os.path.getsize(self.path), 0)

    def zeilen(self, mark=0):
        def lies():
            with open(self.path, "rb") as f:
                f.seek(mark)
                return f.read().decode("utf-8", "replace")
        return versuche(lies, "").splitlines()

    def since(self, mark=0):
        return self.zeilen(mark)

    def wait_for(self, mark, pred, timeout=6.0):
        """Polls until a line since mark satisfies pred; returns it or None."""
        ende = time.monotonic() + timeout
        while True:
            for s in self.since(mark):
                if pred(s):
                    return s
            if time.monotonic() > ende:
                return None
            time.sleep(0.1)


class OrcaLog(LogDatei):
    # 18:53:01.13 - SPEECH OUTPUT: 'Trainierte Zeilen: 4'{'established': False}
    MUSTER = re.compile(r"^(\S+) - SPEECH OUTPUT: '(.*)'\s*(?:\[?\{.*)?$")

    def __init__(self, path=None, pid=None):
        super().__init__()
        self.binde(path, pid)

    def binde(self, path, pid=None):
        """path: Orca's debug log. pid: Orca's process; with it, a check on
        what Orca says tells an Orca that is gone from one that said nothing."""
        self.path = path
        self.pid = pid

    def lebt(self):
        try:
            with open(f"/proc/{self.pid}/stat") as f:
                return f.read().rsplit(")", 1)[1].split()[0] != "Z"
        except (OSError, IndexError):
            return False

    def since(self, mark=0, zeiten=False):
        """What Orca said since mark, each with its time of day if zeiten."""
        out = []
        for m in map(self.MUSTER.search, self.zeilen(mark)):
            if m:
                out.append(f"{m.group(1)} {m.group(2)}" if zeiten else m.group(2))
        return out


orca = OrcaLog()


def pruefe_gesagt(mark, was, beschreibung, timeout=6.0):
    """Orca says, since mark, a line that contains was (a text) or that was
    (a predicate) holds for."""
    pred = (lambda s: was in s) if isinstance(was, str) else was
    s = orca.wait_for(mark, pred, timeout)
    if s is None and orca.pid is not None and not orca.lebt():
        raise Abbruch("Orca is no longer running, nothing it says can be checked")
    return pruefe(s is not None, f"Orca says {beschreibung}", None if s else orca.since(mark)[-8:])


# What the program itself said: every text it hands to a voice or to the
# screen reader, one line each (TASTARO_SPRACHLOG, set by starte).


sprache = LogDatei()


def pruefe_programm_sagt(mark, was, beschreibung, timeout=8.0):
    """The program hands, since mark, a text to its speech that contains was
    (a text) or that was (a predicate) holds for."""
    pred = (lambda s: was in s) if isinstance(was, str) else was
    s = sprache.wait_for(mark, pred, timeout)
    return pruefe(s is not None, f"the program says {beschreibung}", s or sprache.since(mark)[-6:])


# --------------------------------------------------------------------------
# Sound on the null sink


def hoere_ton(aktion, frequenz, dauer=1.5):
    """Records the null sink while aktion() runs and for dauer seconds after;
    whether a tone near frequenz (Hz) was heard for at least 40 ms."""
    rate = 22050
    aufnahme = subprocess.Popen(["parec", "-d", "nul.monitor", "--raw", "--format=s16le", f"--rate={rate}",
                                 "--channels=1", "--latency-msec=20"], stdout=subprocess.PIPE)
    try:
        time.sleep(0.3)  # the recording runs before the key
        aktion()
        time.sleep(dauer)
    finally:
        aufnahme.terminate()
    daten = aufnahme.communicate(timeout=5)[0]
    werte = [int.from_bytes(daten[i:i + 2], "little", signed=True) for i in range(0, len(daten) - 1, 2)]
    stueck = rate // 50  # 20 ms
    laute = 0
    for i in range(0, len(werte) - stueck, stueck):
        teil = werte[i:i + stueck]
        if max(abs(w) for w in teil) < 1000:
            laute = 0
            continue
        wechsel = sum(1 for a, b in zip(teil, teil[1:]) if (a < 0) != (b < 0))
        f = wechsel * 50 / 2
        laute = laute + 1 if abs(f - frequenz) < frequenz * 0.15 else 0
        if laute >= 2:
            return True
    return False


# --------------------------------------------------------------------------
# The program folder and the run


def programmordner(tastaro, basis, bereich, dateien):
    """A program folder of the test's own: the binary and the data beside it,
    and instead of the real training texts one area, bereich, with dateien
    (file name: content). Returns the binary's path and the folder."""
    quelle = os.path.dirname(os.path.abspath(tastaro))
    ziel = os.path.join(basis, "programm")
    os.makedirs(ziel)
    for eintrag in os.listdir(quelle):
        if eintrag == "Trainingstexte":
            continue
        p = os.path.join(quelle, eintrag)
        if os.path.isdir(p):
            shutil.copytree(p, os.path.join(ziel, eintrag))
        elif eintrag == os.path.basename(tastaro) or not os.access(p, os.X_OK):
            shutil.copy2(p, os.path.join(ziel, eintrag))
    texte = os.path.join(ziel, "Trainingstexte")
    os.makedirs(os.path.join(texte, bereich))
    with open(os.path.join(texte, bereich + ".kat"), "w", encoding="utf-8") as f:
        f.write(f"0 {bereich}\n1 {bereich}\n")
    for datei, inhalt in dateien.items():
        with open(os.path.join(texte, bereich, datei), "w", encoding="utf-8") as f:
            f.write(inhalt)
    return os.path.join(ziel, os.path.basename(tastaro)), ziel


def bereit(tastaro, variablen):
    """Whether the desktop and the program are there: the environment
    variables of the session, the built program, xdotool. What is missing
    is reported as a failure (never a skip)."""
    for var in variablen:
        if not os.environ.get(var):
            print(f"FAIL: {var} is not set: run me inside tests/desktop/desktop-session --orca", flush=True)
            return False
    if not os.access(tastaro, os.X_OK):
        print(f"FAIL: {tastaro} is not a built program", flush=True)
        return False
    if shutil.which("xdotool") is None:
        print("FAIL: xdotool is not installed", flush=True)
        return False
    return True


def starte(tastaro, praefix, bereich, dateien):
    """Starts the program from a program folder of its own (see
    programmordner) with a fresh HOME, both in a new folder below the
    desktop's. Returns the HOME and the file that gets the program's stderr."""
    basis = tempfile.mkdtemp(prefix=praefix, dir=os.environ["TASTARO_DESKTOP_DIR"])
    programm, ordner = programmordner(tastaro, basis, bereich, dateien)
    home = os.path.join(basis, "home")
    env = dict(os.environ)
    env.update({
        "HOME": home,
        "XDG_CONFIG_HOME": os.path.join(home, ".config"),
        "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
        "XDG_DOCUMENTS_DIR": os.path.join(home, "Documents"),
        "XDG_DESKTOP_DIR": os.path.join(home, "Desktop"),
        "TASTARO_DATA_DIR": ordner,  # the same folder, for a program that asks for it
        "LANG": "de_AT.UTF-8",
        "LC_ALL": "de_AT.UTF-8",
        "QT_QPA_PLATFORM": "xcb",
    })
    for d in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR", "XDG_DESKTOP_DIR"):
        os.makedirs(env[d], exist_ok=True)
    sprache.path = os.path.join(basis, "sprache.log")
    env["TASTARO_SPRACHLOG"] = sprache.path
    stderr_pfad = os.path.join(basis, "tastaro.stderr")
    log(f"starting {programm} (a copy of {tastaro})")
    with open(stderr_pfad, "wb") as stderr:
        lauf.prozess = subprocess.Popen([programm], env=env, cwd=home, stdout=subprocess.DEVNULL, stderr=stderr)
    win.binde(lauf.prozess.pid)
    return home, stderr_pfad


def durchlaufen(ablauf, *args):
    """Waits for the program on the accessibility bus and runs the scenario
    ablauf(*args). An Abbruch or an unexpected error ends it as a failure.
    Whether it ran to its end."""
    try:
        warte("the program on the accessibility bus", lambda: win.hauptfenster() is not None, 30)
        ablauf(*args)
        return True
    except Abbruch as e:
        fehler.append(f"{lauf.schritt}: {e}" if lauf.schritt else str(e))
        log(f"   ABORT {e}")
    except Exception:
        fehler.append((f"{lauf.schritt}: " if lauf.schritt else "") + f"unexpected error\n{traceback.format_exc()}")
        log("   ABORT unexpected error")
        traceback.print_exc()
    return False


def stderr_zeilen(stderr_pfad):
    def lies():
        with open(stderr_pfad, encoding="utf-8", errors="replace") as f:
            return f.read().splitlines()
    return versuche(lies, [])


def diagnose(stderr_pfad):
    """After a failure: what Orca said last, what became of Orca, the
    accessibility tree of the program, and the program's stderr."""
    print("\n---- what Orca said last", flush=True)
    for s in orca.since(0, zeiten=True)[-25:]:
        print("   ", s)
    lebt = orca.lebt() if orca.pid is not None else None
    if lebt is not None:
        print(f"---- Orca: {'running' if lebt else 'no longer running'}")
    # an Orca that is gone: what it was busy with last, and what it printed
    for pfad, titel, immer in ((orca.path, "Orca's debug log", False),
                               (os.path.join(os.environ["TASTARO_DESKTOP_DIR"], "orca.log"), "Orca's output", True)):
        if lebt is not False and not immer:
            continue
        try:
            with open(pfad, encoding="utf-8", errors="replace") as f:
                ende = f.read()[-1500:]
        except OSError:
            continue
        if ende.strip():
            print(f"---- {titel} (end)\n{ende}")
    print("---- accessibility tree of the program", flush=True)
    print(versuche(win.dump, "(could not be read)") if win.pid is not None else "(not started)")
    p = lauf.prozess
    if p is not None:
        print(f"---- program: {'running' if p.poll() is None else 'exited with ' + str(p.returncode)}")
    zeilen = stderr_zeilen(stderr_pfad)
    # Qt reports every key whose round trip through the screen reader took
    # longer than 100 ms; it then delivers the key itself. Counted, not listed.
    spi = [z for z in zeilen if "QSpiApplication::keyEventError" in z]
    rest = [z for z in zeilen if "QSpiApplication::keyEventError" not in z]
    if spi:
        print(f"---- program stderr: {len(spi)} x QSpiApplication::keyEventError (keys late from the screen reader)")
    if rest:
        print("---- program stderr (end)\n" + "\n".join(rest[-40:]))
    sys.stdout.flush()


def schluss(stderr_pfad):
    """The verdict: the diagnosis after a failure, the program ended, the
    failures listed. The exit code of the script."""
    if fehler:
        diagnose(stderr_pfad)
    p = lauf.prozess
    if p is not None and p.poll() is None:
        p.kill()
        p.wait()
    print(f"\n{'FAILED' if fehler else 'PASSED'} after {time.monotonic() - T0:.1f}s", flush=True)
    for f in fehler:
        print(f"  - {f}")
    return 1 if fehler else 0
