// ctest-labels: threads

// The training run on a real main window: lines come up, keys are judged,
// Enter checks the line.

#include "DatenC.h"
#include "EinstellungenC.h"
#include "EinstellungenSpeicher.h"
#include "HauptFixture.h"
#include "RememberFilesC.h"
#include "TextFile.h"
#include "TextPane.h"
#include "VerlaufC.h"
#include "VollerDatentraeger.h"

#include <QAccessible>
#include <QLabel>
#include <QtTest>

namespace {
// Sends each character with its own text, so case and umlauts arrive as typed.
void Zeichen(QWidget* AWidget, const QString& AText) {
    for (QChar c : AText) {
        QTest::sendKeyEvent(QTest::Press, AWidget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, AWidget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}
} // namespace

class TstLauf : public QObject {
    Q_OBJECT
    THauptFixture* F = nullptr;
    std::unique_ptr<THauptFixture> FHalter;
    TForm1* Form = nullptr;

    void Neu(TModus AModus, int ADatei = 0) {
        FHalter = std::make_unique<THauptFixture>();
        F = FHalter.get();
        F->Anlegen();
        Form = F->Erzeugen();
        F->Zeigen();
        F->Fakes.MessageBoxes.Gefragt.clear();
        F->Starten(AModus, ADatei);
        F->Fakes.Sounds.Gespielt.clear();
    }

    // A synthesizer voice, so that what the window says is recorded.
    void StimmeEin() {
        Innen(Form).Einstellungen->Sapi = sapiEin;
        Innen(Form).Einstellungen->Stimme = QStringLiteral("Teststimme");
        Form->SetStimme();
    }

private Q_SLOTS:
    void init() { BenutzerOrdnerLeeren(); }
    void cleanup() {
        FHalter.reset();
        Form = nullptr;
    }

    void zeileKommtHoch_data() {
        QTest::addColumn<int>("modus");
        QTest::newRow("Nachtippen") << int(mNachtippen);
        QTest::newRow("Ueberschreiben") << int(mUeberschreiben);
    }
    void zeileKommtHoch() {
        QFETCH(int, modus);
        Neu(TModus(modus));
        QCOMPARE(Form->AktivNr(), 0);
        QCOMPARE(Innen(Form).Memo1->Text(), QStringLiteral("Hallo Welt"));
        QVERIFY(!Innen(Form).Memo2->ReadOnly());
        QCOMPARE(Innen(Form).StatusPanel[0]->text(), QStringLiteral("Zeile: 1/3"));
        QCOMPARE(Innen(Form).StatusPanel[1]->text(), QStringLiteral("Fehler: 0"));
        if (modus == mUeberschreiben) {
            QCOMPARE(Innen(Form).Memo2->Text(), QStringLiteral("Hallo Welt"));
            for (int i = 0; i < 10; ++i)
                QVERIFY(Innen(Form).Memo2->IsUnderlined(i));
            QCOMPARE(Innen(Form).Memo2->SelStart(), 0);
        } else {
            QCOMPARE(Innen(Form).Memo2->Text(), QString());
        }
        // the line is spoken 400 ms later when speech is on
        StimmeEin();
        Form->SetAktivNr(0);
        QVERIFY(Innen(Form).Timer1SprechenText->isActive());
        QCOMPARE(Innen(Form).Timer1SprechenText->interval(), 400);
        QTRY_COMPARE(F->Speech.Gesprochen().size(), 1);
        QVERIFY(F->Speech.Gesprochen().first().contains(QStringLiteral("Hallo")));
    }

    void eingabe_data() {
        QTest::addColumn<int>("modus");
        QTest::addColumn<bool>("grossKlein");
        QTest::addColumn<QString>("getippt");
        QTest::addColumn<bool>("richtig");
        QTest::addColumn<QString>("pane");
        QTest::addColumn<int>("caret");
        QTest::newRow("richtig N") << int(mNachtippen) << true << "Hallo Welt" << true << "" << 0;
        QTest::newRow("richtig U") << int(mUeberschreiben) << true << "Hallo Welt" << true << "ab cd" << 0;
        QTest::newRow("Wlt N") << int(mNachtippen) << true << "Hallo Wlt" << false << "Hallo" << 5;
        QTest::newRow("Wlt U") << int(mUeberschreiben) << true << "Hallo Wlt" << false << "Hallo Welt" << 5;
        QTest::newRow("klein beachtet") << int(mNachtippen) << true << "hallo welt" << false << "" << 0;
        QTest::newRow("klein egal") << int(mNachtippen) << false << "hallo welt" << true << "" << 0;
        QTest::newRow("HALLO Wxlt egal")
            << int(mNachtippen) << false << "HALLO Wxlt" << false << "hallo" << 5;
        QTest::newRow("erstes Wort halb")
            << int(mUeberschreiben) << true << "Hal" << false << "Hallo Welt" << 0;
        QTest::newRow("erstes Wort ganz") << int(mNachtippen) << true << "Hallo" << false << "Hallo" << 5;
    }
    void eingabe() {
        QFETCH(int, modus);
        QFETCH(bool, grossKlein);
        QFETCH(QString, getippt);
        QFETCH(bool, richtig);
        QFETCH(QString, pane);
        QFETCH(int, caret);
        Neu(TModus(modus));
        Innen(Form).Einstellungen->GrossKleinS = grossKlein;
        Innen(Form).Einstellungen->ProtokollS = true;
        Form->ProtokollSchreiben(ptNeu);
        Zeichen(Innen(Form).Memo2, getippt);
        QCOMPARE(Innen(Form).GeschriebenText, getippt);
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Return);
        const QStringList toene = F->Toene();
        QCOMPARE(toene.count(QStringLiteral("Typing")), getippt.size());
        if (richtig) {
            QCOMPARE(toene.mid(getippt.size(), 2), QStringList({"Richtig!", "Click!"}));
            QCOMPARE(Form->AktivNr(), 1);
            QCOMPARE(Form->Fehler(), 0);
            QVERIFY(Innen(Form).Protokoll.Zeilen().last().contains(QStringLiteral("Zeile: 1/3 (Richtig)")));
        } else {
            QCOMPARE(toene.mid(getippt.size()), QStringList({"Falsch!"}));
            QCOMPARE(Form->AktivNr(), 0);
            QCOMPARE(Form->Fehler(), 1);
            QCOMPARE(Innen(Form).StatusPanel[1]->text(), QStringLiteral("Fehler: 1"));
            QCOMPARE(Innen(Form).Protokoll.Zeilen().last(), QStringLiteral("Getippt: ") + getippt);
            QVERIFY(Innen(Form).Timer1SprechenText->isActive());
            QCOMPARE(Innen(Form).GeschriebenText, pane.left(caret));
        }
        QCOMPARE(Innen(Form).Memo2->Text(), pane);
        QCOMPARE(Innen(Form).Memo2->SelStart(), caret);
    }

    // With speech on, the outcome of Enter is said before the line is spoken
    // again, and a file's title before its first line; Strg+E switches the
    // outcome off, says so and stores it.
    void ansageNachEnter_data() {
        QTest::addColumn<QString>("getippt");
        QTest::addColumn<bool>("ansagenS");
        QTest::addColumn<QString>("anfang");
        QTest::addColumn<QString>("ende");
        QTest::newRow("richtig") << "Hallo Welt" << true << "Richtig. "
                                 << "";
        QTest::newRow("falsch") << "Hallo Wlt" << true << "Falsch. Wort 2: erwartet "
                                << " Weiter ab Wort 2. Hallo Welt";
        QTest::newRow("ausgeschaltet") << "Hallo Wlt" << false << "Hallo Welt"
                                       << "";
    }
    void ansageNachEnter() {
        QFETCH(QString, getippt);
        QFETCH(bool, ansagenS);
        QFETCH(QString, anfang);
        QFETCH(QString, ende);
        Neu(mUeberschreiben);
        StimmeEin();
        Form->Timer1LosTimer();
        QTRY_COMPARE(F->Speech.Gesprochen().size(), 1);
        QVERIFY(F->Speech.Gesprochen().last().startsWith(QStringLiteral("Erste Datei. Hallo")));
        if (!ansagenS) {
            QTest::keyClick(Innen(Form).Memo2, Qt::Key_E, Qt::ControlModifier);
            QCOMPARE(F->Speech.Gesprochen().last(), QStringLiteral("Ergebnis ansagen: aus."));
            QVERIFY(!Innen(Form).Einstellungen->ErgebnisAnsagenS);
            TEinstellungen gespeichert;
            TGespeicherteWerte werte;
            QVERIFY(EinstellungenLaden(*TastaroSettingsStore(), gespeichert, werte));
            QVERIFY(!gespeichert.ErgebnisAnsagenS);
        }
        const qsizetype vorher = F->Speech.Gesprochen().size();
        Zeichen(Innen(Form).Memo2, getippt);
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Return);
        QTRY_COMPARE(F->Speech.Gesprochen().size(), vorher + 1);
        const QString gesagt = F->Speech.Gesprochen().last();
        QVERIFY2(gesagt.startsWith(anfang) && gesagt.endsWith(ende), qPrintable(gesagt));
    }

    // A letter with its case turned round while Caps Lock is on is told once a line.
    void feststelltaste_data() {
        QTest::addColumn<QString>("getippt");
        QTest::addColumn<bool>("anS");
        QTest::addColumn<int>("gesagt");
        QTest::newRow("inverted, Caps Lock on") << "hALLO wELT" << true << 1;
        QTest::newRow("inverted, Caps Lock off") << "hALLO wELT" << false << 0;
        QTest::newRow("right case, Caps Lock on") << "Hallo Welt" << true << 0;
        QTest::newRow("another letter") << "Xallo" << true << 0;
    }
    void feststelltaste() {
        QFETCH(QString, getippt);
        QFETCH(bool, anS);
        QFETCH(int, gesagt);
        Neu(mUeberschreiben);
        StimmeEin();
        Form->Timer1LosTimer();
        QTRY_COMPARE(F->Speech.Gesprochen().size(), 1);
        F->Fakes.Shell.Feststelltaste = anS;
        Zeichen(Innen(Form).Memo2, getippt);
        QCOMPARE(int(F->Speech.Gesprochen().count(QStringLiteral("Feststelltaste ist eingeschaltet"))),
                 gesagt);
    }

    void protokollAufVollemDatentraeger() {
        Neu(mUeberschreiben);
        Innen(Form).Einstellungen->ProtokollS = true;
        Form->ProtokollSchreiben(ptNeu);
        auto falscheZeile = [this] {
            Zeichen(Innen(Form).Memo2, QStringLiteral("x"));
            QTest::keyClick(Innen(Form).Memo2, Qt::Key_Return);
        };
        falscheZeile();
        const QString Datei = Form->ProtokollFilename();
        const QString Vorher = ReadTextFile(Datei);
        {
            const TVollerDatentraeger Voll{0};
            falscheZeile();
            falscheZeile();
        }
        QCOMPARE(ReadTextFile(Datei), Vorher);
        const QStringList Texte = F->Fakes.MessageBoxes.Texte();
        QCOMPARE(Texte.size(), 1);
        QVERIFY(Texte.first().startsWith(QStringLiteral("Das Protokoll konnte nicht gespeichert werden.")));
        falscheZeile();
        QCOMPARE(ReadTextFile(Datei).count(QStringLiteral("Getippt: x")), 4);
    }

    void rueckschrittUeberschreiben() {
        Neu(mUeberschreiben, 0);
        Form->SetAktivNr(2); // "Hallo"
        Zeichen(Innen(Form).Memo2, QStringLiteral("Hx"));
        QVERIFY(!Innen(Form).Memo2->IsUnderlined(1));
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Backspace);
        QCOMPARE(Innen(Form).Memo2->Text(), QStringLiteral("Hallo"));
        QVERIFY(Innen(Form).Memo2->IsUnderlined(1));
        QVERIFY(!Innen(Form).Memo2->IsUnderlined(0));
        QCOMPARE(Innen(Form).Memo2->SelStart(), 1);
        QCOMPARE(Innen(Form).GeschriebenText, QStringLiteral("H"));
    }

    // Esc silences for good: the line waiting to be spoken stays unsaid.
    void escVerschweigtWartendeZeile() {
        Neu(mUeberschreiben);
        StimmeEin();
        Form->SetAktivNr(0);
        QVERIFY(Innen(Form).Timer1SprechenText->isActive());
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Escape);
        QTest::qWait(600);
        QCOMPARE(F->Speech.Gesprochen(), QStringList());
    }

    void escBeendetAudiotext() {
        Neu(mUeberschreiben);
        F->Fakes.Audio.DauerMs = 60000;
        QTimer::singleShot(100, Form, [this] { QTest::keyClick(Innen(Form).Memo2, Qt::Key_Escape); });
        QElapsedTimer uhr;
        uhr.start();
        Form->SetAktivNr(2);
        QVERIFY(uhr.elapsed() < 5000);
        QVERIFY(F->Fakes.Audio.Gespielt.last().first.endsWith(QStringLiteral("Mp3Texte/ton.mp3")));
        QVERIFY(F->Fakes.Audio.Stops >= 1);
        QCOMPARE(Innen(Form).Memo1->Text(), QStringLiteral("Hallo"));
        QVERIFY(!Innen(Form).Memo2->ReadOnly());
        QCOMPARE(F->Toene().last(), QStringLiteral("Click!"));
    }

    // A skip or a step back during a line's audio text brings up a line of
    // its own; the line that waited must not go on with its old pair.
    void tasteWaehrendAudiotext_data() {
        QTest::addColumn<int>("taste");
        QTest::addColumn<int>("zeile");
        QTest::addColumn<QString>("vorlage");
        QTest::newRow("Strg+Rechts") << int(Qt::Key_Right) << 2 << "Cc";
        QTest::newRow("Strg+Links") << int(Qt::Key_Left) << 0 << "Aa";
    }
    void tasteWaehrendAudiotext() {
        QFETCH(int, taste);
        QFETCH(int, zeile);
        QFETCH(QString, vorlage);
        Neu(mUeberschreiben);
        const QString bereich = Innen(Form).Kategorie->Get(0).Path;
        SchreibeDatei(bereich + "/c.txt", "Dritte\r\nAa\r\nAa\r\nBb{{ton.mp3}}\r\nBb\r\nCc\r\nCc\r\n");
        Innen(Form).Daten->Load(bereich, QStringLiteral("*.txt *.rtf"));
        Innen(Form).Daten->SetAktivNr(Innen(Form).Daten->FindFilename(bereich + "/c.txt"));
        F->Fakes.Audio.DauerMs = 60000;
        F->Fakes.Sounds.Gespielt.clear();
        QTimer::singleShot(100, Form, [this, taste] {
            QTest::keyClick(Innen(Form).Memo2, Qt::Key(taste), Qt::ControlModifier);
        });
        Form->SetAktivNr(1);
        QCOMPARE(Form->AktivNr(), zeile);
        QCOMPARE(Innen(Form).Memo1->Text(), vorlage);
        QCOMPARE(Innen(Form).Memo2->Text(), vorlage);
        QCOMPARE(Innen(Form).StatusPanel[0]->text(), QStringLiteral("Zeile: %1/3").arg(zeile + 1));
        QCOMPARE(F->Toene().count(QStringLiteral("Click!")), 1);
    }

    // Held Esc repeats; the line comes up only once it is released, so no
    // repeat stops what is said about the new line.
    void escGehaltenWirdAufgebraucht() {
        Neu(mUeberschreiben);
        F->Fakes.Audio.DauerMs = 60000;
        QList<bool> zeileBereitS;
        auto druecken = [this, &zeileBereitS] {
            zeileBereitS << !Innen(Form).Memo2->ReadOnly();
            QTest::sendKeyEvent(QTest::Press, Innen(Form).Memo2, Qt::Key_Escape, QString(), Qt::NoModifier);
        };
        for (int ms : {100, 200, 300})
            QTimer::singleShot(ms, Form, druecken);
        QTimer::singleShot(400, Form, [this] {
            QTest::sendKeyEvent(QTest::Release, Innen(Form).Memo2, Qt::Key_Escape, QString(), Qt::NoModifier);
        });
        Form->SetAktivNr(2);
        QTest::qWait(500);
        QCOMPARE(zeileBereitS, QList<bool>({false, false, false}));
        QVERIFY(!Innen(Form).Memo2->ReadOnly());
        QCOMPARE(F->Toene().last(), QStringLiteral("Click!"));
    }

    // Another file chosen while a line runs, then "Abbrechen" on the
    // continue question: the old line must not run on against the new file.
    void dateiwahlMitAbbrechenBeendetZeile() {
        Neu(mUeberschreiben);
        Innen(Form).Einstellungen->ProtokollS = true;
        Form->SetAktivNr(1);
        const QString zweite = Innen(Form).Daten->Get(1).Filename;
        Innen(Form).RememberFiles->Add(zweite, 1);
        F->Auswahl.Antworten = {1};
        F->Fakes.MessageBoxes.Antworten = {TMsgAntwort::Abbrechen};
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_D, Qt::ControlModifier);
        QTRY_COMPARE(F->Fakes.MessageBoxes.Gefragt.size(), 1);
        QCOMPARE(Form->AktivNr(), -1);
        QVERIFY(Innen(Form).Memo2->ReadOnly());
        Zeichen(Innen(Form).Memo2, QStringLiteral("ab\r"));
        QCOMPARE(Form->Fehler(), 0);
        QVERIFY(QDir(ProtokollOrdner).entryList({QStringLiteral("*Zweite*")}).isEmpty());
        QCOMPARE(Innen(Form).RememberFiles->Find(zweite), 1);
    }

    // Choosing while no line runs must not forget where the user stopped.
    void wahlOhneZeileBehaeltPosition_data() {
        QTest::addColumn<int>("taste");
        QTest::addColumn<QList<int>>("wahl");
        QTest::newRow("Bereich") << int(Qt::Key_B) << QList<int>{0, 0};
        QTest::newRow("Datei") << int(Qt::Key_D) << QList<int>{0};
    }
    void wahlOhneZeileBehaeltPosition() {
        QFETCH(int, taste);
        QFETCH(QList<int>, wahl);
        Neu(mUeberschreiben);
        Form->SetAktivNr(-1);
        const QString datei = Innen(Form).Daten->Get(0).Filename;
        Innen(Form).RememberFiles->Add(datei, 2);
        F->Auswahl.Antworten = std::deque<int>(wahl.begin(), wahl.end());
        F->Fakes.MessageBoxes.Antworten = {TMsgAntwort::Abbrechen};
        QTest::keyClick(Innen(Form).Memo2, Qt::Key(taste), Qt::ControlModifier);
        QTRY_COMPARE(F->Fakes.MessageBoxes.Gefragt.size(), 1);
        QCOMPARE(Innen(Form).RememberFiles->Find(datei), 2);
    }

    // A screen reader must not call the typing pane read-only: it is where
    // the user types, even while the line is still coming up.
    void eingabeNieSchreibgeschuetztAngesagt() {
        Neu(mUeberschreiben);
        Form->SetAktivNr(-1);
        QVERIFY(Innen(Form).Memo2->ReadOnly());
        const QAccessible::State eingabe = QAccessible::queryAccessibleInterface(Innen(Form).Memo2)->state();
        QVERIFY(!eingabe.readOnly);
        QVERIFY(eingabe.editable);
        QVERIFY(QAccessible::queryAccessibleInterface(Innen(Form).Memo1)->state().readOnly);
        Zeichen(Innen(Form).Memo2, QStringLiteral("x"));
        QCOMPARE(Innen(Form).Memo2->Text(), QString());
    }

    void rueckschrittNachtippen() {
        Neu(mNachtippen);
        Zeichen(Innen(Form).Memo2, QStringLiteral("Hax"));
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Backspace);
        QCOMPARE(Innen(Form).Memo2->Text(), QStringLiteral("Ha"));
        QCOMPARE(Innen(Form).GeschriebenText, QStringLiteral("Ha"));
    }

    void piepen_data() {
        QTest::addColumn<QString>("fall");
        QTest::newRow("Rücktaste ohne Korrektur") << "korrektur";
        QTest::newRow("Rücktaste ohne Text") << "leer";
        QTest::newRow("Enter ohne Text") << "enter";
        QTest::newRow("Taste ohne bereite Zeile") << "bereit";
    }
    void piepen() {
        QFETCH(QString, fall);
        Neu(mUeberschreiben);
        if (fall == "korrektur") {
            Innen(Form).Einstellungen->KorrekturS = false;
            Zeichen(Innen(Form).Memo2, QStringLiteral("H"));
        }
        if (fall == "bereit") Form->SetAktivNr(-1);
        const QString vorher = Innen(Form).Memo2->Text();
        const QString getipptVorher = Innen(Form).GeschriebenText;
        const int toeneVorher = int(F->Fakes.Sounds.Gespielt.size());
        if (fall == "enter")
            QTest::keyClick(Innen(Form).Memo2, Qt::Key_Return);
        else if (fall == "bereit")
            Zeichen(Innen(Form).Memo2, QStringLiteral("a"));
        else
            QTest::keyClick(Innen(Form).Memo2, Qt::Key_Backspace);
        QCOMPARE(F->Pieptoene(), 1);
        QCOMPARE(Innen(Form).Memo2->Text(), vorher);
        QCOMPARE(Innen(Form).GeschriebenText, getipptVorher);
        QCOMPARE(F->Toene().size(), toeneVorher + 1); // the beep, and no typing sound
    }

    void steuerzeichenStill() {
        Neu(mNachtippen);
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Tab);
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(Innen(Form).Memo2->Text(), QString());
        QCOMPARE(F->Pieptoene(), 0);
        QVERIFY(F->Fakes.Sounds.Gespielt.isEmpty());
    }

    void tippenInVorlage_data() {
        QTest::addColumn<int>("modus");
        QTest::newRow("Nachtippen") << int(mNachtippen);
        QTest::newRow("Ueberschreiben") << int(mUeberschreiben);
    }
    void tippenInVorlage() {
        QFETCH(int, modus);
        Neu(TModus(modus));
        Innen(Form).Memo1->setVisible(true);
        Innen(Form).Memo1->setFocus();
        Zeichen(Innen(Form).Memo1, QStringLiteral("H"));
        QCOMPARE(Innen(Form).GeschriebenText, QStringLiteral("H"));
        QVERIFY(Innen(Form).Memo2->hasFocus());
        QCOMPARE(Innen(Form).Memo2->Text(),
                 modus == mNachtippen ? QStringLiteral("H") : QStringLiteral("Hallo Welt"));
        QVERIFY(!Innen(Form).Memo2->IsUnderlined(0));
        QCOMPARE(Innen(Form).Memo1->Text(), QStringLiteral("Hallo Welt"));
    }

    void vorlageVerschwindet() {
        Neu(mNachtippen);
        Innen(Form).Einstellungen->TextVerschwindenS = true;
        Zeichen(Innen(Form).Memo2, QStringLiteral("H"));
        QCOMPARE(Innen(Form).Memo1->Text(), QString());
        Zeichen(Innen(Form).Memo2, QStringLiteral("allo Welt"));
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Return);
        QCOMPARE(Innen(Form).Memo1->Text(), QStringLiteral("ab cd"));
    }

    void ueberspringenUndZurueck() {
        Neu(mUeberschreiben);
        Innen(Form).Einstellungen->ProtokollS = true;
        Form->ProtokollSchreiben(ptNeu);
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Left, Qt::ControlModifier); // first line: nothing
        QCOMPARE(Form->AktivNr(), 0);
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(Form->AktivNr(), 1);
        QCOMPARE(Form->Fehler(), 1);
        QCOMPARE(F->Toene().first(), QStringLiteral("Falsch!"));
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(Form->AktivNr(), 0);
        QCOMPARE(Form->Fehler(), 1);
        QVERIFY(Innen(Form)
                    .Protokoll.Zeilen()
                    .at(Innen(Form).Protokoll.Zeilen().size() - 2)
                    .contains("(Übersprungen)"));
        QVERIFY(Innen(Form).Protokoll.Zeilen().last().contains("Zeile: 2/3 (Zurückgesprungen)"));
        // skipping the last line finishes the file
        Form->SetAktivNr(2);
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(F->Fertig.Gezeigt.size(), 1);
        const TFertigDaten& d = F->Fertig.Gezeigt.first();
        QCOMPARE(d.Zeilen,
                 QStringList({"Trainingstitel: \"Erste Datei\"", "Trainierte Zeilen: 3", "Fehleingaben: 2",
                              "Mit der Eingabetaste kann die nächste Trainingsdatei gestartet werden.",
                              // the run's speed and accuracy come after the report's own lines
                              "Anschläge pro Minute: 0", "Fehlerquote: 100 %", "Tippzeit: 0:00 Minuten"}));
        QVERIFY(!d.EndeS);
        QCOMPARE(Form->AktivNr(), -1);
        QVERIFY(
            Innen(Form).Protokoll.Zeilen().join('\n').contains("Fehleingaben: 2\nAnschläge pro Minute: 0"));
    }

    // A finished file goes into the history; Strg+F reads it back.
    void fortschrittNachFertigerDatei() {
        Neu(mUeberschreiben);
        Zeichen(Innen(Form).Memo2, QStringLiteral("Hallo Welt"));
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Return);
        Form->SetAktivNr(2);
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(F->Fertig.Gezeigt.size(), 1);
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(F->Fertig.Gezeigt.size(), 2);
        const TFertigDaten& d = F->Fertig.Gezeigt.last();
        QCOMPARE(d.Titel, QStringLiteral("Fortschritt"));
        QCOMPARE(d.Zeilen.value(0), QStringLiteral("Letzte Läufe:"));
        QVERIFY2(
            d.Zeilen.value(1).contains(QStringLiteral("Erste Datei: 0 Anschläge pro Minute, 1 Fehleingaben")),
            qPrintable(d.Zeilen.join('|')));
    }

    // The drill is made of the course's words with the weakest characters and
    // runs like a file; without a history there is nothing to drill.
    void schwacheTastenUeben() {
        Neu(mUeberschreiben);
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_U, Qt::ControlModifier);
        QVERIFY(
            F->Fakes.MessageBoxes.Texte().last().startsWith(QStringLiteral("Es gibt noch keine schwachen")));
        TLaufEintrag e;
        e.Zeit = QDateTime(QDate(2026, 12, 10), QTime(9, 0));
        e.Zeichen[QLatin1Char('W')] = {1, 4};
        QVERIFY(QDir().mkpath(BenutzerOrdner) && TVerlauf::Anhaengen(BenutzerOrdner + "Verlauf.jsonl", e));
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_U, Qt::ControlModifier);
        QTRY_COMPARE(Form->AktivNr(), 0);
        const TDatenRec uebung = Innen(Form).Daten->Get(Innen(Form).Daten->AktivNr());
        QVERIFY(uebung.Titel.startsWith(QStringLiteral("Schwache Tasten: ")));
        QVERIFY(!uebung.Daten.isEmpty());
        for (const TDateiRec& z : uebung.Daten)
            QVERIFY2(z.B.contains(QLatin1Char('w'), Qt::CaseInsensitive), qPrintable(z.B));
    }

    // Exploring names keys instead of typing them; Esc twice ends it.
    void tastenErkunden() {
        Neu(mUeberschreiben);
        StimmeEin();
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_T, Qt::ControlModifier);
        QVERIFY(F->Speech.Gesprochen().last().startsWith(QStringLiteral("Tasten erkunden.")));
        Zeichen(Innen(Form).Memo2, QStringLiteral("j"));
        QVERIFY2(
            F->Speech.Gesprochen().last().endsWith(QStringLiteral(": rechter Zeigefinger, Grundstellung")),
            qPrintable(F->Speech.Gesprochen().last()));
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Return);
        QCOMPARE(F->Speech.Gesprochen().last(), QStringLiteral("Eingabetaste: rechter kleiner Finger"));
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Escape);
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Escape);
        QCOMPARE(F->Speech.Gesprochen().last(), QStringLiteral("Tasten erkunden beendet."));
        // nothing was typed, counted or checked
        QVERIFY(Innen(Form).GeschriebenText.isEmpty());
        QCOMPARE(Form->Fehler(), 0);
        QCOMPARE(Form->AktivNr(), 0);
        Zeichen(Innen(Form).Memo2, QStringLiteral("H"));
        QCOMPARE(Innen(Form).GeschriebenText, QStringLiteral("H"));
    }

    // A run left for a new one is recorded as aborted, under its own file.
    void abgebrochenerLaufImVerlauf() {
        Neu(mUeberschreiben);
        Zeichen(Innen(Form).Memo2, QStringLiteral("Hallo Welt"));
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Return);
        Innen(Form).Daten->SetAktivNr(1);
        Form->Timer1LosTimer();
        const QList<TLaufEintrag> v = TVerlauf::Lesen(BenutzerOrdner + "Verlauf.jsonl");
        QCOMPARE(v.size(), 1);
        QVERIFY(!v.first().FertigS);
        QCOMPARE(v.first().Datei, QStringLiteral("Erste Datei"));
        QCOMPARE(v.first().Zeilen, 1);
    }

    void fertigWeiterStartetNaechsteDatei() {
        Neu(mUeberschreiben);
        F->Fertig.Antworten = {TFertigErgebnis::Weiter};
        Form->SetAktivNr(3);
        QCOMPARE(Innen(Form).Daten->AktivNr(), 1);
        QCOMPARE(Innen(Form).Lbl1Datentitel->text(), QStringLiteral("Zweite Datei"));
        QTRY_COMPARE(Form->AktivNr(), 0);
        QCOMPARE(Innen(Form).Memo2->Text(), QStringLiteral("x"));
        // the last file of the area offers no further file
        Form->SetAktivNr(1);
        QCOMPARE(F->Fertig.Gezeigt.last().Zeilen.at(3),
                 QStringLiteral("Es sind keine weiteren Trainingsdateien vorhanden."));
        QVERIFY(F->Fertig.Gezeigt.last().EndeS);
    }

    void fortsetzenFrage_data() {
        QTest::addColumn<int>("antwort");
        QTest::addColumn<int>("zeile");
        QTest::newRow("Ja") << int(TMsgAntwort::Ja) << 2;
        QTest::newRow("Nein") << int(TMsgAntwort::Nein) << 0;
        QTest::newRow("Abbrechen") << int(TMsgAntwort::Abbrechen) << 1;
    }
    void fortsetzenFrage() {
        QFETCH(int, antwort);
        QFETCH(int, zeile);
        Neu(mUeberschreiben);
        Form->SetAktivNr(1);
        Form->SetFehler(3);
        Innen(Form).RememberFiles->Add(Innen(Form).Daten->Get(0).Filename, 2);
        F->Fakes.MessageBoxes.Antworten = {TMsgAntwort(antwort)};
        Form->Timer1LosTimer();
        QCOMPARE(
            F->Fakes.MessageBoxes.Texte().last(),
            QStringLiteral(
                "Willst du das Training fortsetzen oder neu beginnen?\rJa=Fortsetzen; Nein=Neu beginnen"));
        QCOMPARE(Form->AktivNr(), zeile);
        QCOMPARE(Form->Fehler(), antwort == int(TMsgAntwort::Abbrechen) ? 3 : 0);
    }
};

QTEST_MAIN(TstLauf)
#include "tst_lauf.moc"
