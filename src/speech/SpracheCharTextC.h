#pragma once
// The spoken names of characters and of a few textual events (line break,
// empty line, accents, joining and marking words), read once from the
// editable file "SpracheCharText.txt" so that the vocabulary can be changed
// without a new program.

#include <QList>
#include <QString>
#include <QStringList>

using TArrStringListe = QStringList;

struct TSpracheCharTextRec {
    QChar C;
    TArrStringListe E; // the ordinary name first, then alternatives chosen by number
};

using TSpracheCharTextListe = QList<TSpracheCharTextRec>;

// Trimming of everything up to code 32 (blanks, tabs, control characters),
// which is what the speech texts treat as white space.
QString TrimControl(const QString& S);
QString TrimRightControl(const QString& S);
QString TrimLeftControl(const QString& S);

class TSpracheCharText {
public:
    // Reads "Config/SpracheCharText.txt" beside the program, or
    // "SpracheCharText.txt" directly beside it when the first is missing.
    TSpracheCharText();
    // Reads exactly AFilename (another program folder, tests).
    explicit TSpracheCharText(const QString& AFilename);
    ~TSpracheCharText();
    TSpracheCharText(const TSpracheCharText&) = delete;
    TSpracheCharText& operator=(const TSpracheCharText&) = delete;

    // The file the program folder AProgramFolder leads to, whether it exists or not.
    static QString ChooseFilename(const QString& AProgramFolder);

    int Count() const { return static_cast<int>(Liste.size()); }
    // Zusatz 2 or more picks that alternative when the entry has it; every
    // other value, and a missing alternative, gives the ordinary name.
    QString FindCharStr(const QString& S, int Zusatz) const;
    // Text number AFlag (from 1) of the key lists "1=" to "4="; a number
    // beyond the list gives its last text.
    QString GetZeilenschaltung(int AFlag) const { return GetText(Zeilenschaltung, AFlag); }
    QString GetLeerzeile(int AFlag) const { return GetText(Leerzeile, AFlag); }
    QString GetAkzent(int AFlag) const { return GetText(Akzent, AFlag); }
    QString GetSonstiges(int AFlag) const { return GetText(Sonstiges, AFlag); }

    bool LoadListe();
    void Add(const TSpracheCharTextRec& ASpracheCharTextRec);
    void Clear();

    QString Filename;

private:
    static QString GetText(const TArrStringListe& AListe, int AFlag);
    static TArrStringListe ParseValue(const QString& AValue);
    void ParseLine(const QString& ALine);

    TSpracheCharTextListe Liste;
    TArrStringListe Zeilenschaltung;
    TArrStringListe Leerzeile;
    TArrStringListe Akzent;
    TArrStringListe Sonstiges;
};
