// ctest-labels: threads

// The main window's start, layout and shut-down, on a real window.

#include "DatenC.h"
#include "EinstellungenC.h"
#include "EinstellungenSpeicher.h"
#include "HauptFixture.h"
#include "RememberFilesC.h"
#include "SitzungsEnde.h"
#include "TextPane.h"

#include <QAccessible>
#include <QLabel>
#include <QSettings>
#include <QtTest>

#include <csignal>

namespace {

// The window shown, the first file of the first area running on line 2.
TForm1* MitLaufenderZeile(THauptFixture& f) {
    f.Anlegen();
    TForm1* form = f.Erzeugen();
    f.Zeigen();
    Innen(form).Kategorie->SetAktivNr(0);
    Innen(form).Daten->Load(Innen(form).Kategorie->Get(0).Path, "*.txt *.rtf");
    Innen(form).Daten->SetAktivNr(0);
    form->Timer1LosTimer();
    form->SetAktivNr(1);
    return form;
}

} // namespace

class TstHaupt : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        // every test starts from an empty per-user store
        BenutzerOrdnerLeeren();
    }

    void startOhneBereichFragtNachBereich() {
        THauptFixture f;
        f.Anlegen();
        TForm1* form = f.Erzeugen();
        QCOMPARE(Innen(form).Kategorie->Count(), 1);
        QCOMPARE(form->windowTitle(), QStringLiteral("(KeinBereich) - Tastaro V1.31"));
        QCOMPARE(Innen(form).Lbl1Datentitel->text(), QStringLiteral("(KeinTitel)"));
        f.Fakes.MessageBoxes.Antworten = {TMsgAntwort::Ja};
        f.Auswahl.Antworten = {0, 1};
        f.Zeigen();
        QCOMPARE(f.Fakes.MessageBoxes.Texte().first(),
                 QStringLiteral("Willst du jetzt einen Trainingsbereich und eine -datei wählen?"));
        // Yes leads to the area chooser and on to the file chooser
        QTRY_COMPARE(f.Auswahl.Gezeigt.size(), 2);
        QCOMPARE(f.Auswahl.Gezeigt[0].Caption, QStringLiteral("Trainingsbereich wählen"));
        QCOMPARE(f.Auswahl.Gezeigt[1].Caption, QStringLiteral("Trainingsdatei wählen"));
        QCOMPARE(f.Auswahl.Gezeigt[1].Liste, QStringList({"Erste Datei", "Zweite Datei"}));
        QCOMPARE(form->windowTitle(), QStringLiteral("Probebereich - Tastaro V1.31"));
        QCOMPARE(Innen(form).Lbl1Datentitel->text(), QStringLiteral("Zweite Datei"));
    }

    void toeneGleichNachDemAufbau() {
        // The sounds are read on the loading thread; a sound asked for at once
        // waits for them instead of playing nothing.
        THauptFixture f;
        f.Anlegen();
        THauptDienste d;
        d.Services = f.Fakes.Services();
        d.Sprache = f.Speech.Platform();
        TForm1 form(d);
        for (TSound s : {sClick, sFalsch, sRichtig, sFertig, sTyping})
            form.Ton(s, false);
        QCOMPARE(f.Toene(), QStringList({"Click", "Falsch", "Richtig", "Fertig", "Typing"}));
    }

    void keinBereichGefunden() {
        THauptFixture f;
        PfadeBerechnen(f.Ordner.path() + "/Tastaro", f.Ordner.path()); // no Trainingstexte folder
        f.Erzeugen();
        QCOMPARE(Innen(f.Form).Kategorie->Count(), 0);
        f.Fakes.MessageBoxes.Antworten = {TMsgAntwort::Ja};
        f.Zeigen();
        QTRY_COMPARE(f.Fakes.MessageBoxes.Texte().size(), 2);
        QCOMPARE(f.Fakes.MessageBoxes.Texte().last(),
                 QStringLiteral("Es wurde kein Trainingsbereich gefunden!"));
    }

    void letzterBereichUndDateiWiederhergestellt() {
        THauptFixture f;
        f.Anlegen();
        {
            auto store = TastaroSettingsStore();
            store->setValue("KategorieFilename", "Probe.kat");
            store->setValue("DatenFilename", "a.txt");
            store->setValue("Stimme", "teststimme");
            store->setValue("VoiceRate", 3);
        }
        TForm1* form = f.Erzeugen();
        form->RegistryLadenSpeichern(true);
        QCOMPARE(Innen(form).Daten->AktivNr(), 0);
        // the voice is looked up only once the window is on screen
        QCOMPARE(Innen(form).Speech->TokenNrIndex().Nr, -1);
        QVERIFY(f.Speech.Welt->Aufrufe.isEmpty());
        f.Fakes.MessageBoxes.Antworten = {TMsgAntwort::Nein};
        // nor while the start question is asked (the screen reader reads it)
        QStringList beimFragen{"-"};
        f.Fakes.MessageBoxes.BeimFragen = [&](const QString&) { beimFragen = f.Speech.Welt->Aufrufe; };
        f.Zeigen();
        QCOMPARE(beimFragen, QStringList());
        QCOMPARE(Innen(form).Speech->TokenNrIndex(), (TNrIndex{1, 0}));
        QVERIFY(f.Speech.Welt->Aufrufe.contains("A.Rate(3)"));
        QTRY_COMPARE(f.Fakes.MessageBoxes.Texte(), QStringList{"Soll das Training sofort gestartet werden?"});
        QTest::qWait(50);
        QCOMPARE(form->AktivNr(), -1);
        QCOMPARE(Innen(form).Lbl1Datentitel->text(), QStringLiteral("Erste Datei"));
    }

    // A first start with a screen reader running speaks through it; stored
    // speech settings are never overridden.
    void ersterStartSpricht_data() {
        QTest::addColumn<bool>("screenReaderS");
        QTest::addColumn<QString>("gespeichert"); // stored "Sapi", empty: none
        QTest::addColumn<int>("sapi");
        QTest::addColumn<QString>("stimme");
        QTest::newRow("erster Start mit Orca") << true << "" << int(sapiEin) << ScreenReaderStimme;
        QTest::newRow("erster Start ohne Screenreader") << false << "" << int(sapiAus) << "";
        QTest::newRow("Sprache bewusst aus") << true << "2" << int(sapiAus) << "";
    }
    void ersterStartSpricht() {
        QFETCH(bool, screenReaderS);
        QFETCH(QString, gespeichert);
        THauptFixture f;
        f.Anlegen();
        f.Speech.Welt->ScreenReaderAktivS = screenReaderS;
        if (!gespeichert.isEmpty()) TastaroSettingsStore()->setValue("Sapi", gespeichert);
        TForm1* form = f.Erzeugen();
        form->RegistryLadenSpeichern(true);
        QTEST(int(Innen(form).Einstellungen->Sapi), "sapi");
        QTEST(Innen(form).Einstellungen->Stimme, "stimme");
    }

    // Stored values beyond reason give a window within the screen and a font
    // the font dialog offers, and that is what is saved back.
    void unsinnigeWerteBegrenzt() {
        THauptFixture f;
        f.Anlegen();
        {
            auto store = TastaroSettingsStore();
            store->setValue("Width", 100000);
            store->setValue("Height", 100000);
            store->setValue("FontSize", 2147483647);
        }
        TForm1* form = f.Erzeugen();
        form->RegistryLadenSpeichern(true);
        const QSize arbeit = form->screen()->availableGeometry().size();
        QVERIFY(form->width() <= arbeit.width() && form->height() <= arbeit.height());
        QCOMPARE(Innen(form).TrainingFont.pointSize(), 35);
        form->RegistryLadenSpeichern(false);
        auto store = TastaroSettingsStore();
        QVERIFY(store->value("Width").toInt() <= arbeit.width());
        QCOMPARE(store->value("FontSize").toInt(), 35);
    }

    void layout_data() {
        QTest::addColumn<int>("modus");
        QTest::newRow("Nachtippen") << int(mNachtippen);
        QTest::newRow("Ueberschreiben") << int(mUeberschreiben);
    }
    void layout() {
        QFETCH(int, modus);
        THauptFixture f;
        f.Anlegen();
        TForm1* form = f.Erzeugen();
        form->SetModus(TModus(modus));
        f.Zeigen();
        form->resize(1100, 800);
        QTRY_COMPARE(form->width(), 1100);
        form->SchalterEinrichten();
        const int cw = form->centralWidget()->width();
        QCOMPARE(Innen(form).Lbl1Datentitel->y(), 20);
        QCOMPARE(Innen(form).Memo1->x(), 10);
        QCOMPARE(Innen(form).Memo1->width(), cw - 20);
        QCOMPARE(Innen(form).Memo1->height(), 4 * Innen(form).StatusBar1->height());
        QCOMPARE(Innen(form).Memo1->y(), Innen(form).Lbl1Datentitel->geometry().bottom() + 1 + 20);
        QCOMPARE(Innen(form).Memo1->isVisible(), modus == mNachtippen);
        const int top2 = modus == mNachtippen ? Innen(form).Memo1->y() + Innen(form).Memo1->height() + 20
                                              : Innen(form).Memo1->y();
        QCOMPARE(Innen(form).Memo2->y(), top2);
        // status panels: 15 %, 14 %, 22 % and the rest of the width
        QCOMPARE(Innen(form).StatusPanel[0]->width(), int(cw / 100.0 * 15));
        QCOMPARE(Innen(form).StatusPanel[1]->width(), int(cw / 100.0 * 14));
        QCOMPARE(Innen(form).StatusPanel[2]->width(), int(cw / 100.0 * 22));
        QCOMPARE(Innen(form).StatusPanel[0]->width() + Innen(form).StatusPanel[1]->width() +
                     Innen(form).StatusPanel[2]->width() + Innen(form).StatusPanel[3]->width(),
                 cw);
        QCOMPARE(Innen(form).StatusPanel[2]->text(), modus == mNachtippen
                                                         ? QStringLiteral("Modus: Nachtippen")
                                                         : QStringLiteral("Modus: Überschreiben"));
        QVERIFY(form->minimumWidth() <= 1000 && form->minimumHeight() <= 700);
        // a screen reader finds the panels as the window's status bar
        QAccessibleInterface* zugang = QAccessible::queryAccessibleInterface(Innen(form).StatusBar1);
        QVERIFY(zugang);
        QCOMPARE(zugang->role(), QAccessible::StatusBar);
        QCOMPARE(zugang->childCount(), 4);
    }

    void schliessenOhneZeileFragtNicht() {
        THauptFixture f;
        f.Anlegen();
        TForm1* form = f.Erzeugen();
        f.Zeigen();
        const int vorher = int(f.Fakes.MessageBoxes.Gefragt.size());
        QVERIFY(form->close());
        QCOMPARE(int(f.Fakes.MessageBoxes.Gefragt.size()), vorher);
    }

    void schliessenWaehrendZeileFragt() {
        THauptFixture f;
        TForm1* form = MitLaufenderZeile(f);
        f.Fakes.MessageBoxes.Antworten = {TMsgAntwort::Nein, TMsgAntwort::Ja};
        QVERIFY(!form->close());
        QCOMPARE(f.Fakes.MessageBoxes.Texte().last(),
                 QStringLiteral("Soll das Training abgebrochen und das Programm geschlossen werden?"));
        QCOMPARE(form->AktivNr(), 1);
        QVERIFY(form->close());
        // the line is remembered and saved at closing
        TRememberFiles gemerkt(RememberFilesDatei);
        QVERIFY(gemerkt.Load());
        QCOMPARE(gemerkt.Find(Innen(form).Daten->Get(0).Filename), 1);
    }

    // The session ends under the running line: nothing is asked, the line and
    // the settings are kept.
    void sitzungsendeSichertOhneFrage_data() {
        QTest::addColumn<bool>("signalS");
        QTest::newRow("SIGTERM") << true;
        QTest::newRow("logout") << false;
    }
    void sitzungsendeSichertOhneFrage() {
        QFETCH(bool, signalS);
        THauptFixture f;
        TForm1* form = MitLaufenderZeile(f);
        Innen(form).Einstellungen->ErgebnisAnsagenS = false;
        const int vorher = int(f.Fakes.MessageBoxes.Gefragt.size());
        if (signalS) {
            SitzungsEndeAbfangen(form, [form] { form->SitzungBeenden(); });
            ::raise(SIGTERM);
            QTRY_VERIFY(Innen(form).BeendenS);
        } else {
            form->DatenSichern();
        }
        QCOMPARE(int(f.Fakes.MessageBoxes.Gefragt.size()), vorher);
        TRememberFiles gemerkt(RememberFilesDatei);
        QVERIFY(gemerkt.Load());
        QCOMPARE(gemerkt.Find(Innen(form).Daten->Get(0).Filename), 1);
        QCOMPARE(TastaroSettingsStore()->value(QStringLiteral("ErgebnisAnsagen")).toBool(), false);
    }

    void leereOrdnerWerdenEntfernt() {
        THauptFixture f;
        f.Anlegen();
        f.Erzeugen();
        QVERIFY(QDir(BenutzerOrdner).exists());
        QVERIFY(QDir(ProtokollOrdner).exists());
        SchreibeDatei(ProtokollOrdner + "bleibt.pro", "x");
        f.Form.reset();
        QVERIFY(QDir(ProtokollOrdner).exists());
        QVERIFY(!QDir(BenutzerOrdner).exists()); // nothing remembered: the folder was empty
        QFile::remove(ProtokollOrdner + "bleibt.pro");
        f.Erzeugen();
        f.Form.reset();
        QVERIFY(!QDir(ProtokollOrdner).exists());
    }
};

QTEST_MAIN(TstHaupt)
#include "tst_haupt.moc"
