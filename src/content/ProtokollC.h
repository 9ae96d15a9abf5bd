#pragma once
// The training protocol of one run: its entries and the file they are saved
// to. What an entry says about the run is handed in by the caller, so the
// protocol's text needs no window.

#include "DatenC.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// The run as an entry sees it.
struct TProtokollLage {
    QDateTime Jetzt;
    QString Benutzer;
    QString Bereich;
    QString Titel;
    qint64 Originalanschlaege = 0;
    int Zeile = 0;  // the active line, counted from 1
    int Zeilen = 0; // the lines of the file
    QString Text;   // the line to type
    QString Getippt;
    int Fehler = 0;
    QString Datei;        // the protocol file; empty: none
    QStringList Nachtrag; // lines after the end block (the run's speed and accuracy)
};

class TProtokoll {
public:
    // Adds the entry for APt. A new protocol (ptNeu) only begins in memory;
    // a continued one (ptFortsetzen) reads what ALage.Datei holds first.
    // True when the entry is to be saved.
    bool Eintragen(TProtokollText APt, const TProtokollLage& ALage);
    // Writes the entries to AName, one per line; throws when that fails, and
    // the file then keeps what it held before.
    void Speichern(const QString& AName) const;
    void Clear() { FZeilen.clear(); }
    bool Leer() const { return FZeilen.join(QString()).isEmpty(); }
    const QStringList& Zeilen() const { return FZeilen; }

    // "<user>_<area>_<title>.pro" in AOrdner; a '/' of a title becomes '_'.
    static QString Dateiname(const QString& AOrdner, const QString& ABenutzer, const QString& ABereich,
                             const QString& ATitel);

private:
    QStringList FZeilen;
    QDateTime FStartzeit;
};
