#pragma once
// Speed and accuracy of one run through a file: keystrokes per minute
// ("Anschläge pro Minute", the German measure: the characters of right lines
// per minute of typing time), the share of wrong entries, and the typing time,
// which runs from each line's first key to the Enter that checks it.

#include <QDateTime>
#include <QString>
#include <QStringList>

class TLaufStatistik {
public:
    // A run begins: everything counts from zero.
    void Beginnen();
    // A key typed into the line at AJetzt; the first one of a line starts its time.
    void Taste(const QDateTime& AJetzt);
    // Enter checked the line at AJetzt; a right one adds its AZeichen characters.
    void Eingabe(const QDateTime& AJetzt, bool ARichtigS, int AZeichen);

    qint64 TippzeitMs() const { return FTippzeitMs; }
    int Anschlaege() const { return FAnschlaege; }
    int RichtigeZeilen() const { return FRichtig; }
    // Rounded; 0 before any typing time.
    int AnschlaegeProMinute() const;
    // AFehler wrong entries against the right lines, in percent, rounded.
    int Fehlerquote(int AFehler) const;
    // The report's lines and the spoken summary, AFehler counting every wrong entry.
    QStringList Zeilen(int AFehler) const;
    QString Ansage(int AFehler) const;

private:
    QString Tippzeit(bool AGesprochenS) const;

    QDateTime FZeilenBeginn; // invalid: no key of the current line yet
    qint64 FTippzeitMs = 0;
    int FAnschlaege = 0;
    int FRichtig = 0;
};
