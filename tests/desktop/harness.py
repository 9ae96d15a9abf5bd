"""What the desktop scripts share: reading the accessibility tree without
tripping over a window that goes away, Orca's debug log, and a program folder
of the test's own with one small training area."""

import os
import re
import shutil
import time


def versuche(fn, default=None):
    try:
        return fn()
    except Exception:  # the program may be busy or a window gone
        return default


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


# --------------------------------------------------------------------------
# Orca's debug log


class OrcaLog:
    # 18:53:01.13 - SPEECH OUTPUT: 'Trainierte Zeilen: 4'{'established': False}
    MUSTER = re.compile(r"^(\S+) - SPEECH OUTPUT: '(.*)'\s*(?:\[?\{.*)?$")

    def __init__(self, path, pid=None):
        self.path = path
        self.pid = pid

    def lebt(self):
        try:
            with open(f"/proc/{self.pid}/stat") as f:
                return f.read().rsplit(")", 1)[1].split()[0] != "Z"
        except (OSError, IndexError):
            return False

    def mark(self):
        return versuche(lambda: os.path.getsize(self.path), 0)

    def since(self, mark=0, zeiten=False):
        """What Orca said since mark, each with its time of day if zeiten."""
        def lies():
            with open(self.path, "rb") as f:
                f.seek(mark)
                return f.read().decode("utf-8", "replace")
        out = []
        for m in map(self.MUSTER.search, versuche(lies, "").splitlines()):
            if m:
                out.append(f"{m.group(1)} {m.group(2)}" if zeiten else m.group(2))
        return out

    def wait_for(self, mark, pred, timeout=6.0):
        """Polls until a spoken line since mark satisfies pred; returns it or None."""
        ende = time.monotonic() + timeout
        while True:
            for s in self.since(mark):
                if pred(s):
                    return s
            if time.monotonic() > ende:
                return None
            time.sleep(0.1)


# --------------------------------------------------------------------------
# The program folder


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
