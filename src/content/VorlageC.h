#pragma once
// The template: cuts a text (a training line or what was typed of it) into
// lines, words and word parts, and turns them into what a blind user hears,
// so that quotes, dashes, capitals, accents and leading zeros are spoken
// instead of swallowed by the synthesizer.

#include "SpracheCharTextC.h"

#include <QList>
#include <QString>
#include <memory>

enum TVorlageWortTeileTyp {
    wtNone = 0,
    wtZeilenschaltung = 1,
    wtLeerzeile = 2,
    wtText = 3,
    wtGrenze = 4,
    wtSatzzeichen = 5,
    wtStrich = 6,
};

enum TVorlageSprachtextTyp {
    stNone = 0,
    stTextzeichen = 1,
    stZahlen = 2,
    stSatzzeichen = 3,
    stSonder = 4,
};

struct TVorlageWortTeileRec {
    QString Text;
    TVorlageWortTeileTyp Typ = wtNone;
    // Which use of a dash or double quote is meant; selects the spoken alternative.
    int Zusatz = 0;
};
using TVorlageWortTeileListe = QList<TVorlageWortTeileRec>;

struct TVorlageWortRec {
    TVorlageWortTeileListe Teile;
    QString Sprachtext;
    // Position in the text as a text pane holds it: every line break is one character.
    int ReSelStart = 0;
    int ReSelLength = 0;
    bool PauseS = false;
};
using TVorlageWortListe = QList<TVorlageWortRec>;

struct TVorlageSprachtextRec {
    QString Text;
    TVorlageSprachtextTyp Typ = stNone;
};
using TVorlageSprachtextListe = QList<TVorlageSprachtextRec>;

struct TSprichSlRec {
    QString TextNormal;
    QString TextSprich;
    int ReSelStart = 0;
    int ReSelLength = 0;
};
using TSprichSlListe = QList<TSprichSlRec>;

struct TVoiceBenutzerPos {
    int Nr = 0;
    int WortNr = 0;
    friend bool operator==(const TVoiceBenutzerPos&, const TVoiceBenutzerPos&) = default;
};

struct TTextwoerter {
    QString Wort;
    TVoiceBenutzerPos Pos;
};
using TTextwoerterListe = QList<TTextwoerter>;

// The 32-bit integer conversion the template's number rules rely on: leading
// blanks, an optional sign, decimal digits or hexadecimal digits after "$",
// "x", "X", "0x" or "0X", nothing after them. Hexadecimal values up to
// FFFFFFFF wrap into the negative range, as the conversion always did.
bool TryStrToInt32(const QString& S, int& AValue);

// The class a character of a text part is spoken by; letters are the Latin
// letters with the accents and umlauts of German and French words.
TVorlageSprachtextTyp GetSprachtextTyp(QChar c);

class TVorlage {
public:
    TVorlage();
    // Uses the character speech texts of AFilename instead of the program's own.
    explicit TVorlage(const QString& ASpracheCharTextFilename);
    ~TVorlage();
    TVorlage(const TVorlage&) = delete;
    TVorlage& operator=(const TVorlage&) = delete;

    void Clear();
    int Count() const { return static_cast<int>(Wort.size()); }
    // Replaces everything by the analysis of S, speech texts and chunks included.
    void Split(const QString& S);
    static QString GetWortStr(const TVorlageWortRec& AWortRec);

    // The text to speak: all chunks' speech texts joined.
    QString GetSprichSlStr() const;
    // The shown text of chunks 0 to Nr.
    QString GetSprichSlStr(int Nr) const;
    // The chunk and word a typed text has reached.
    TVoiceBenutzerPos GetVoiceBenutzerPos(const QString& S) const;

    const TSpracheCharText& SpracheCharText() const { return *FSpracheCharText; }
    // A word character by character: every letter with its case, signs by
    // their names in the character speech texts ("klein f groß Ä Komma").
    QString Buchstabiert(const QString& AWort) const;

    TVorlageWortListe Wort;
    TSprichSlListe SprichSl;

private:
    void SplitWort(const QString& AWort, TVorlageWortRec& AWortRec) const;
    void BuildSprachtexte();
    void SplitTextPart(const QString& A);
    void AddSprachtext(TVorlageSprachtextRec ARec);
    QString SpeakTextPart(bool AColonS) const;
    QString SpeakLetters(const QString& T, bool AColonS) const;
    QString SpeakChar(QChar c) const;
    QString CaseMarker(QChar c) const;
    void BuildSprichSl();

    TVorlageSprachtextListe Sprachtext;
    TTextwoerterListe Textwoerter;
    // The program's one instance; the template that reads it owns it.
    std::unique_ptr<TSpracheCharText> FSpracheCharText;
};
