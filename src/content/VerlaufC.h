#pragma once
// The learner's history: one record per finished or aborted run, kept in the
// per-user data folder as one line of JSON each. Records are only ever
// appended, each with a single write that is synced, so a crash or a full
// disk never touches earlier ones; reading skips a damaged or cut-off record.

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

// How often a character was typed right and wrong.
struct TZeichenZahl {
    int Richtig = 0;
    int Falsch = 0;
};
using TZeichenZahlen = QMap<QChar, TZeichenZahl>;

// Counts the characters of a checked line into AZahlen. A right line counts
// each of its characters (blanks aside) as right. In a wrong one each word is
// compared with the line's word at the same place: the characters up to the
// first difference were right, the expected one there was wrong (a word typed
// too short misses its next character); the rest of that word counts nothing.
void ZeichenZaehlen(const QString& AGetippt, const QString& AVorlage, bool ARichtigS, bool AGrossKleinS,
                    TZeichenZahlen& AZahlen);

struct TLaufEintrag {
    QDateTime Zeit;
    QString Bereich;
    QString Datei;
    int AnschlaegeProMinute = 0;
    int Fehler = 0;
    int Zeilen = 0;
    bool FertigS = true; // false: aborted
    TZeichenZahlen Zeichen;
};

class TVerlauf {
public:
    // Appends one record; false when it could not be written (the file then
    // holds what it held before, apart from at most an unfinished last line).
    static bool Anhaengen(const QString& ADatei, const TLaufEintrag& AEintrag);
    // Every readable record in order; a missing file is an empty history.
    static QList<TLaufEintrag> Lesen(const QString& ADatei);
};

// The characters with the highest error rates over the whole history, the
// worst first (more errors first among equal rates); only characters typed
// wrong at least once.
QList<QChar> SchwaechsteZeichen(const QList<TLaufEintrag>& AVerlauf, int AAnzahl);

// A drill from the words of ATexte (the course's lines) that contain any of
// AZeichen, case aside: the words with the most of them first, each once, six
// to a line, at most AZeilen lines.
QStringList UebungsZeilen(const QStringList& ATexte, const QList<QChar>& AZeichen, int AZeilen = 8);

// The spoken-and-read report: the last runs, the trend over the last ten in
// words, the ten weakest characters named by AName.
QStringList FortschrittBericht(const QList<TLaufEintrag>& AVerlauf,
                               const std::function<QString(QChar)>& AName);
