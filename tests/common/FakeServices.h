#pragma once
// Test doubles of the desktop services: scripted message box answers that
// record every text asked, recorded sounds, a scripted audio player, a
// settable clock and a recording shell.

#include "Services.h"

#include <QElapsedTimer>
#include <QList>
#include <QPair>
#include <QStringList>
#include <deque>
#include <functional>

class TFakeMessageBoxes : public IMessageBoxes {
public:
    struct Eintrag {
        QString Art; // "Frage", "FrageJNA", "Information", "Fehler"
        QString Text;
    };
    QList<Eintrag> Gefragt;
    std::deque<TMsgAntwort> Antworten; // consumed in order; empty -> Standard
    TMsgAntwort Standard = TMsgAntwort::Nein;
    // Called while a box is "open", so a test can look at the program then.
    std::function<void(const QString&)> BeimFragen;

    bool Frage(QWidget*, const QString& AText) override { return Antwort("Frage", AText) == TMsgAntwort::Ja; }
    TMsgAntwort FrageJaNeinAbbrechen(QWidget*, const QString& AText) override {
        return Antwort("FrageJNA", AText);
    }
    void Information(QWidget*, const QString& AText) override { Antwort("Information", AText); }
    void Fehler(QWidget*, const QString& AText) override { Antwort("Fehler", AText); }
    QStringList Texte() const {
        QStringList l;
        for (const auto& e : Gefragt)
            l << e.Text;
        return l;
    }

private:
    TMsgAntwort Antwort(const QString& AArt, const QString& AText) {
        Gefragt.append({AArt, AText});
        if (BeimFragen) BeimFragen(AText);
        if (Antworten.empty()) return Standard;
        TMsgAntwort a = Antworten.front();
        Antworten.pop_front();
        return a;
    }
};

class TFakeSoundPlayer : public ISoundPlayer {
public:
    QList<QPair<QByteArray, bool>> Gespielt; // data, wait flag
    int Stops = 0;
    void Play(const QByteArray& AWav, bool AWarteS) override { Gespielt.append({AWav, AWarteS}); }
    void Stop() override { ++Stops; }
};

class TFakeAudioPlayer : public IAudioPlayer {
public:
    QList<QPair<QString, bool>> Gespielt;
    int Stops = 0;
    bool Ergebnis = true;
    int DauerMs = 0; // how long a started text plays
    bool Play(const QString& AFilename, bool AWarteS) override {
        Gespielt.append({AFilename, AWarteS});
        FLaeuftS = Ergebnis && !AWarteS && DauerMs > 0;
        FUhr.start();
        return Ergebnis;
    }
    void Stop() override {
        ++Stops;
        FLaeuftS = false;
    }
    bool IsPlaying() const override { return FLaeuftS && FUhr.elapsed() < DauerMs; }

private:
    bool FLaeuftS = false;
    QElapsedTimer FUhr;
};

class TFakeClock : public IClock {
public:
    QDateTime Jetzt = QDateTime(QDate(2026, 1, 15), QTime(9, 30, 0));
    QDateTime Now() const override { return Jetzt; }
};

class TFakeShell : public IShell {
public:
    QStringList Geoeffnet, Gestartet, Textdateien, Verknuepfungen;
    int Beeps = 0;
    bool OeffnenGelingtS = true;
    bool Open(QWidget*, const QString& A) override {
        Geoeffnet << A;
        return OeffnenGelingtS;
    }
    bool StartProgram(const QString& AProgram, const QStringList& AArgs, const QString&) override {
        Gestartet << (AArgs.isEmpty() ? AProgram : AProgram + " " + AArgs.join(' '));
        return true;
    }
    bool OpenTextFile(const QString& A) override {
        Textdateien << A;
        return true;
    }
    bool CreateShortcut(const QString& ALink, const QString& ATarget, const QString&) override {
        Verknuepfungen << ALink + "|" + ATarget;
        return true;
    }
    void Beep() override { ++Beeps; }
    bool Feststelltaste = false;
    bool FeststelltasteAn() const override { return Feststelltaste; }
};

struct TFakeServices {
    TFakeMessageBoxes MessageBoxes;
    TFakeSoundPlayer Sounds;
    TFakeAudioPlayer Audio;
    TFakeClock Clock;
    TFakeShell Shell;
    TServices Services() { return {&MessageBoxes, &Sounds, &Audio, &Clock, &Shell}; }
};
