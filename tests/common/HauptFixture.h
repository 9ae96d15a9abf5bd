#pragma once
// Doubles of the main window's dialogs and speech output, the tests' view of
// its state, and a fixture that builds a real main window over a small
// training area in a temporary folder.

#include "FakeServices.h"
#include "FertigDialog.h"
#include "Haupt.h"
#include "Pfade.h"
#include "SpeechFakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <memory>

// The main window's own state, as far as the tests look at it or set it up.
struct THauptInnen {
    TTextPane*& Memo1;
    TTextPane*& Memo2;
    QLabel*& Lbl1Datentitel;
    QWidget*& StatusBar1;
    QLabel* (&StatusPanel)[4];
    QTimer*& Timer1SprechenText;
    QMenu*& PopupMenu1;
    QFont& TrainingFont;
    std::unique_ptr<TKat>& Kategorie;
    std::unique_ptr<TDaten>& Daten;
    std::unique_ptr<TRememberFiles>& RememberFiles;
    std::unique_ptr<TEinstellungen>& Einstellungen;
    std::unique_ptr<TUpdater>& Updater;
    std::unique_ptr<TSpeech>& Speech;
    TProtokoll& Protokoll;
    QString& GeschriebenText;
    bool& BeendenS;

    explicit THauptInnen(TForm1* F)
        : Memo1(F->Memo1), Memo2(F->Memo2), Lbl1Datentitel(F->Lbl1Datentitel), StatusBar1(F->StatusBar1),
          StatusPanel(F->StatusPanel), Timer1SprechenText(F->Timer1SprechenText), PopupMenu1(F->PopupMenu1),
          TrainingFont(F->TrainingFont), Kategorie(F->Kategorie), Daten(F->Daten),
          RememberFiles(F->RememberFiles), Einstellungen(F->Einstellungen), Updater(F->Updater),
          Speech(F->Speech), Protokoll(F->Protokoll), GeschriebenText(F->GeschriebenText),
          BeendenS(F->BeendenS) {}
};
inline THauptInnen Innen(TForm1* AForm) {
    return THauptInnen(AForm);
}
inline THauptInnen Innen(const std::unique_ptr<TForm1>& AForm) {
    return THauptInnen(AForm.get());
}

class TFakeFertig : public IFertigDialog {
public:
    QList<TFertigDaten> Gezeigt;
    std::deque<TFertigErgebnis> Antworten;
    TFertigErgebnis Zeigen(QWidget*, const TFertigDaten& ADaten, IAudioPlayer*) override {
        Gezeigt << ADaten;
        if (Antworten.empty()) return TFertigErgebnis::Schliessen;
        const TFertigErgebnis e = Antworten.front();
        Antworten.pop_front();
        return e;
    }
};

class TFakeAuswahl : public IAuswahlDialog {
public:
    QList<TAuswahlDaten> Gezeigt;
    std::deque<int> Antworten; // -1 = cancelled
    int Waehlen(QWidget*, const TAuswahlDaten& ADaten) override {
        Gezeigt << ADaten;
        if (Antworten.empty()) return -1;
        const int e = Antworten.front();
        Antworten.pop_front();
        return e;
    }
};

class TFakeOptionen : public IOptionenDialog {
public:
    std::function<void(TEinstellungen&)> Aendern;
    int Gezeigt = 0;
    bool Zeigen(QWidget*, TEinstellungen& AEinstellungen, const TDialogAussehen&, const TSpeechPlatform&,
                TTolkSRD*) override {
        ++Gezeigt;
        if (!Aendern) return false;
        Aendern(AEinstellungen);
        return true;
    }
};

class TFakeSchrift : public ISchriftDialog {
public:
    bool Zeigen(QWidget*, QFont&, QColor&, QColor&, TTolkSRD*, IMessageBoxes*) override { return false; }
};

// Empties the per-user folders the test run was given (ctest sets them).
// Without them the folders would be the user's own, or with an empty name
// the working folder: the test stops instead of deleting anything.
inline void BenutzerOrdnerLeeren() {
    for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR"}) {
        const QString ordner = qEnvironmentVariable(v);
        if (!QDir::isAbsolutePath(ordner)) qFatal("%s is not set; run the test through ctest", v);
        QDir(ordner).removeRecursively();
    }
}

inline void SchreibeDatei(const QString& APfad, const QByteArray& AInhalt) {
    QDir().mkpath(QFileInfo(APfad).absolutePath());
    QFile f(APfad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(AInhalt);
}

struct THauptFixture {
    QTemporaryDir Ordner;
    TFakeServices Fakes;
    TFakeSprache Speech;
    TFakeFertig Fertig;
    TFakeAuswahl Auswahl;
    TFakeOptionen Optionen;
    TFakeSchrift Schrift;
    std::unique_ptr<TForm1> Form;
    QString UpdateBaseUrl;      // empty: the build's update address
    bool EchteSpracheS = false; // the real screen reader and voices instead of Speech

    // A program folder with one area of two files.
    void Anlegen() {
        const QString p = Ordner.path() + QStringLiteral("/");
        SchreibeDatei(p + "Trainingstexte/Probe.kat", "0 Probebereich\r\n1 Probe\r\n");
        SchreibeDatei(
            p + "Trainingstexte/Probe/a.txt",
            "Erste Datei\r\nHallo Welt\r\nHallo Welt\r\nab cd\r\nab cd\r\nHallo{{ton.mp3}}\r\nHallo\r\n");
        SchreibeDatei(p + "Mp3Texte/ton.mp3", "ID3");
        SchreibeDatei(p + "Trainingstexte/Probe/b.txt", "Zweite Datei\r\nx\r\nx\r\n");
        // distinct bytes per sound, so that a test can tell which one played
        for (const char* n : {"Click", "Falsch", "Richtig", "Fertig", "Typing"})
            SchreibeDatei(p + "Sounds/" + n + ".wav", QByteArray(n));
        PfadeBerechnen(p + QStringLiteral("Tastaro"), p);
    }

    TForm1* Erzeugen() {
        THauptDienste d;
        d.Services = Fakes.Services();
        if (!EchteSpracheS) d.Sprache = Speech.Platform();
        d.Fertig = &Fertig;
        d.Auswahl = &Auswahl;
        d.Optionen = &Optionen;
        d.Schrift = &Schrift;
        d.UpdateBaseUrl = UpdateBaseUrl;
#ifdef TASTARO_BIN_DIR
        d.AbrufProgramm = QStringLiteral(TASTARO_BIN_DIR "/tastaro-abruf");
#endif
        Form = std::make_unique<TForm1>(d);
        Form->LoadKatThread();
        Form->WaitForLoadKatThread();
        return Form.get();
    }

    // Chooses the area and file ADatei and starts the run in AModus.
    void Starten(TModus AModus, int ADatei = 0) {
        Innen(Form).Kategorie->SetAktivNr(0);
        Innen(Form).Daten->Load(Innen(Form).Kategorie->Get(0).Path, QStringLiteral("*.txt *.rtf"));
        Innen(Form).Daten->SetAktivNr(ADatei);
        Form->SetModus(AModus);
        Form->SchalterEinrichten();
        Form->Timer1LosTimer();
    }

    // The sounds played so far, by name, with "!" for a waiting one.
    QStringList Toene() const {
        QStringList l;
        for (const auto& [daten, warte] : Fakes.Sounds.Gespielt)
            l << (daten == Piepton() ? QStringLiteral("Piep") : QString::fromLatin1(daten)) +
                     (warte ? QStringLiteral("!") : QString());
        return l;
    }

    // The beeps so far: the tone through the sound player, or the system bell
    // while the sounds are off.
    int Pieptoene() const {
        return int(Toene().count(QStringLiteral("Piep"))) + Fakes.Shell.Beeps;
    }

    // Shows the window and lets the start question ("Nein") pass.
    void Zeigen() {
        Form->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form.get()));
        Form->activateWindow();
        QTRY_VERIFY(!Fakes.MessageBoxes.Gefragt.isEmpty());
    }
};
