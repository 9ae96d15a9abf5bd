#pragma once
// Training files, training areas and the lists the chooser and the training
// run work with. Folders are handed in by the caller; nothing here knows where
// the program lies.

#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>

// The protocol events, in the order the protocol knows them.
enum TProtokollText {
    ptNeu,
    ptFortsetzen,
    ptFertig,
    ptWeiter,
    ptZurueck,
    ptRichtig,
    ptFalsch,
    ptBeenden,
};

// One line pair of a training file; empty lines are stored as "-".
struct TDateiRec {
    QString A;
    QString B;
    QString Mp3Filename;
    bool AStimme2S = false;
    bool BStimme2S = false;
};

using TDateiListe = QList<TDateiRec>;

// One training file in memory.
class TDatei {
public:
    TDatei();
    TDatei(const QString& AFilename, const QString& AMp3TexteOrdner);

    // Audio names of the A lines are taken relative to AMp3TexteOrdner.
    void Load(const QString& AFilename, const QString& AMp3TexteOrdner);
    void Clear();

    int Count() const { return static_cast<int>(FListe.size()); }
    TDateiRec Get(int Index) const;
    void Put(int Index, const TDateiRec& Value);
    void Add(const TDateiRec& ARec) { FListe.append(ARec); }
    const TDateiListe& GetListe() const { return FListe; }
    TDateiRec operator[](int Index) const { return Get(Index); }

    // Keystrokes on a German keyboard: unshifted keys count 1, LF 0, the rest 2.
    static int KeystrokeCount(const QString& S);
    // Take out the first "{{+}}"; true when there was one.
    static bool RemoveVoiceMark(QString& S);
    // Take out the first "{{name}}" and give the trimmed name.
    static QString ExtractAudioMark(QString& S);

private:
    TDateiListe FListe;

public:
    QString Filename;
    QString Titel;
    int OriginalCount = 0;
};

// One area: its title, its folder (with trailing "/") and its title file.
struct TKatRec {
    QString Titel;
    QString Path;
    QString Filename;
};

// One training file of the active area.
struct TDatenRec {
    QString Filename;
    QString Titel;
    int OriginalCount = 0;
    TDateiListe Daten;
};

using TKatListe = QList<TKatRec>;
using TDatenListe = QList<TDatenRec>;

// Splits at CR LF, CR or LF; a line break at the very end starts no new line.
QStringList SplitTextLines(const QString& AText);
// Removes characters with codes up to 32 at both ends.
QString TrimLow(const QString& S);
// The lines of a text file read with ReadTextFile. A byte order mark that
// survives decoding (a file that starts with two) belongs to no line: it would
// hide a title or the first word of a line.
QStringList ReadTextLines(const QString& AFileName);
// True when the relative path APath ("\" or "/" between its parts) steps up
// with "..": names in training and title files must stay inside their folder.
bool LeavesFolder(const QString& APath);

// Lowercased, with ä, ö, ü, ß spelled out, so that Übungen sorts among the u.
QString TitleSortKey(const QString& ATitel);

// Reads one ".kat" title file; Path stays empty when its folder does not exist.
TKatRec ParseKatFile(const QString& AFileName);

// The check applied to every name the folder listing returns: "*.*", "*" and an
// empty mask take everything, otherwise * and ? without regard to case.
bool MatchesFileMask(const QString& AName, const QString& AMask);

// The list of training areas, sorted by title.
class TKat {
public:
    TKat() = default;
    TKat(const QString& ADirectory, const QString& AWildcards);

    void Load(const QString& ADirectory, const QString& AWildcards);
    void Clear();

    int Count() const { return static_cast<int>(FListe.size()); }
    TKatRec Get(int Index) const;
    void Put(int Index, const TKatRec& Value);
    void Add(const TKatRec& ARec);
    TKatRec operator[](int Index) const { return Get(Index); }

    int AktivNr() const { return FAktivNr; }
    void SetAktivNr(int AValue);
    QString TitelTextString() const;
    int FindFilename(const QString& AFilename) const;

private:
    TKatListe FListe;
    int FAktivNr = -1;
    QStringList FKeys; // sort keys beside FListe, so that inserting does not recompute them
};

// How far a load on another thread has come, and the request to call it off.
struct TLadeStand {
    std::atomic<int> Dateien{0}; // training files read so far
    std::atomic<bool> AbbrechenS{false};
};

// The training files of one area, sorted by title, with their pairs.
class TDaten {
public:
    TDaten() = default;
    explicit TDaten(const QString& AMp3TexteOrdner) : FMp3TexteOrdner(AMp3TexteOrdner) {}
    TDaten(const QString& ADirectory, const QString& AWildcards, const QString& AMp3TexteOrdner);

    // AWildcards holds blank-separated masks such as "*.txt *.rtf". With
    // AStand, a load that is called off ends early with an empty list.
    void Load(const QString& ADirectory, const QString& AWildcards, TLadeStand* AStand = nullptr);
    void Clear();

    int Count() const { return static_cast<int>(FListe.size()); }
    TDatenRec Get(int Index) const;
    void Put(int Index, const TDatenRec& Value);
    void Add(const TDatenRec& ARec);
    TDatenRec operator[](int Index) const { return Get(Index); }

    int AktivNr() const { return FAktivNr; }
    void SetAktivNr(int AValue);
    QString TitelTextString() const;
    int FindFilename(const QString& AFilename) const;

    const QString& Mp3TexteOrdner() const { return FMp3TexteOrdner; }
    void SetMp3TexteOrdner(const QString& AValue) { FMp3TexteOrdner = AValue; }

private:
    TDatenListe FListe;
    int FAktivNr = -1;
    QStringList FKeys;
    QString FMp3TexteOrdner;

public:
    QString Path;
};
