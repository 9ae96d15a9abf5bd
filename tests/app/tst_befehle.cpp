// Commands, their keys, the menus' enabling rules and the key hints.

#include "DatenC.h"
#include "EinstellungenC.h"
#include "HauptFixture.h"
#include "TextPane.h"

#include <QLabel>
#include <QMenu>
#include <QtTest>

class TstBefehle : public QObject {
    Q_OBJECT
    std::unique_ptr<THauptFixture> F;
    TForm1* Form = nullptr;

    void Neu() {
        F = std::make_unique<THauptFixture>();
        F->Anlegen();
        Form = F->Erzeugen();
        F->Zeigen();
        F->Fakes.MessageBoxes.Gefragt.clear();
    }
    QString Hinweis() {
        Form->Timer1StatusTimer();
        return Innen(Form).StatusPanel[3]->text();
    }

private Q_SLOTS:
    void init() { BenutzerOrdnerLeeren(); }
    void cleanup() { F.reset(); }

    void dateiOhneBereichTutNichts() {
        Neu();
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_D, Qt::ControlModifier);
        QVERIFY(F->Auswahl.Gezeigt.isEmpty());
        QVERIFY(F->Fakes.MessageBoxes.Gefragt.isEmpty());
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(F->Auswahl.Gezeigt.size(), 1);
        QCOMPARE(F->Auswahl.Gezeigt.first().Caption, QStringLiteral("Trainingsbereich wählen"));
        QCOMPARE(F->Auswahl.Gezeigt.first().Liste, QStringList{"Probebereich"});
    }

    // A desktop without a program for a folder or an address gets a message,
    // not silence.
    void oeffnenOhneProgrammGemeldet() {
        Neu();
        F->Fakes.Shell.OeffnenGelingtS = false;
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_P, Qt::ControlModifier);
        Form->Aktion("MenuHilfeHomepage")->trigger();
        const QStringList texte = F->Fakes.MessageBoxes.Texte();
        QCOMPARE(texte.size(), 2);
        QVERIFY(texte.first().startsWith(QStringLiteral("Der Protokollordner")));
        QVERIFY(texte.last().contains(QStringLiteral("konnte nicht geöffnet werden")));
    }

    void zwischenablageBlockiert_data() {
        QTest::addColumn<int>("taste");
        QTest::addColumn<int>("umschalt");
        QTest::newRow("Strg+V") << int(Qt::Key_V) << int(Qt::ControlModifier);
        QTest::newRow("Strg+C") << int(Qt::Key_C) << int(Qt::ControlModifier);
        QTest::newRow("Strg+X") << int(Qt::Key_X) << int(Qt::ControlModifier);
        QTest::newRow("Strg+A") << int(Qt::Key_A) << int(Qt::ControlModifier);
        QTest::newRow("Umsch+Einfg") << int(Qt::Key_Insert) << int(Qt::ShiftModifier);
        QTest::newRow("Strg+Einfg") << int(Qt::Key_Insert) << int(Qt::ControlModifier);
    }
    void zwischenablageBlockiert() {
        QFETCH(int, taste);
        QFETCH(int, umschalt);
        Neu();
        F->Starten(mNachtippen);
        Innen(Form).Memo2->setFocus();
        QTest::keyClick(Innen(Form).Memo2, Qt::Key(taste), Qt::KeyboardModifiers(umschalt));
        QCOMPARE(F->Pieptoene(), 1);
        QCOMPARE(Innen(Form).Memo2->Text(), QString());
        QCOMPARE(Innen(Form).Memo2->SelLength(), 0);
    }

    void popupNurZeilenbefehle() {
        Neu();
        F->Starten(mUeberschreiben);
        Form->SetAktivNr(1);
        QMetaObject::invokeMethod(Innen(Form).PopupMenu1, "aboutToShow");
        QStringList sichtbar;
        for (QAction* a : Innen(Form).PopupMenu1->actions())
            if (a->isVisible()) sichtbar << a->text().section('\t', 0, 0);
        QCOMPARE(sichtbar, QStringList({"Zeile &überspringen", "&Vorhergehende Zeile"}));
        QVERIFY(Form->Aktion("PuWeiter")->isEnabled());
        QVERIFY(Form->Aktion("PuZurueck")->isEnabled());
    }

    void bereichSchliessen() {
        Neu();
        F->Starten(mUeberschreiben);
        Form->SetAktivNr(1);
        F->Fakes.MessageBoxes.Antworten = {TMsgAntwort::Nein, TMsgAntwort::Ja};
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_F4, Qt::ControlModifier);
        QCOMPARE(F->Fakes.MessageBoxes.Texte().last(),
                 QStringLiteral("Soll das Training abgebrochen und der Bereich geschlossen werden?"));
        QCOMPARE(Form->AktivNr(), 1);
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_F4, Qt::ControlModifier);
        QCOMPARE(Form->AktivNr(), -1);
        QCOMPARE(Innen(Form).Memo1->Text(), QString());
        QCOMPARE(Innen(Form).Memo2->Text(), QString());
        QCOMPARE(Innen(Form).Lbl1Datentitel->text(), QStringLiteral("(KeinTitel)"));
        QVERIFY(Form->windowTitle().startsWith(QStringLiteral("(KeinBereich)")));
        // the placeholders are for the eye; a screen reader hears what they mean
        QCOMPARE(Innen(Form).Lbl1Datentitel->accessibleName(), QStringLiteral("keine Datei gewählt"));
        QVERIFY(Form->accessibleName().startsWith(QStringLiteral("kein Bereich gewählt")));
        QCOMPARE(Innen(Form).StatusPanel[0]->text(), QStringLiteral("Zeile: 0/0"));
        QCOMPARE(F->Toene().last(), QStringLiteral("Click"));
        QCOMPARE(Hinweis(), QStringLiteral("Strg+B=Bereich wählen"));
    }

    void modusWechselBringtZeileNeu() {
        Neu();
        F->Starten(mNachtippen);
        Form->SetAktivNr(1);
        F->Optionen.Aendern = [](TEinstellungen& AE) { AE.Modus = mUeberschreiben; };
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(F->Optionen.Gezeigt, 1);
        QCOMPARE(Form->AktivNr(), 1);
        QCOMPARE(Innen(Form).Memo2->Text(), QStringLiteral("ab cd"));
        QVERIFY(Innen(Form).Memo2->IsUnderlined(0));
        QVERIFY(!Innen(Form).Memo1->isVisible());
        QCOMPARE(Innen(Form).StatusPanel[2]->text(), QStringLiteral("Modus: Überschreiben"));
        QVERIFY(Innen(Form).Timer1SprechenText->isActive());
    }

    void hinweise() {
        Neu();
        QCOMPARE(Hinweis(), QStringLiteral("Strg+B=Bereich wählen"));
        F->Starten(mUeberschreiben);
        QCOMPARE(Hinweis(), QStringLiteral("Strg+Rechts=Überspringen"));
        Form->SetAktivNr(2);
        QCOMPARE(Hinweis(), QStringLiteral("Strg+Rechts=Überspringen; Strg+Links=Vorhergehende"));
        Form->SetAktivNr(-1);
        QCOMPARE(Hinweis(), QStringLiteral("Strg+D=Datei wählen; Strg+N=Nochmals starten"));
        QVERIFY(!Hinweis().endsWith(';'));
    }

    void menueTastenMitDeutschenNamen_data() {
        QTest::addColumn<QString>("aktion");
        QTest::addColumn<QString>("text");
        QTest::newRow("weiter") << "MenuAktWeiter"
                                << "Zeile &überspringen\tStrg+Rechts";
        QTest::newRow("stopp") << "MenuSpracheStoppen"
                               << "Wiedergabe sto&ppen\tEsc";
        QTest::newRow("sprechen") << "MenuSpracheTextSprechen"
                                  << "Text &sprechen\tStrg+Auf";
        QTest::newRow("schliessen") << "MenuDateiClose"
                                    << "S&chließen\tStrg+F4";
        QTest::newRow("hilfe") << "MenuHilfeHilfe"
                               << "&Hilfe...\tF1";
    }
    void menueTastenMitDeutschenNamen() {
        QFETCH(QString, aktion);
        QFETCH(QString, text);
        Neu();
        QCOMPARE(Form->Aktion(aktion)->text(), text);
    }

    void dateiwahlAbgebrochenBeendetZeile() {
        Neu();
        F->Starten(mUeberschreiben);
        Form->SetAktivNr(1);
        F->Auswahl.Antworten = {0, -1};
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(F->Auswahl.Gezeigt.size(), 2);
        // the chooser's list is written in the training font's colour
        QCOMPARE(F->Auswahl.Gezeigt.last().SchriftFarbe, Innen(Form).Memo2->palette().color(QPalette::Text));
        QCOMPARE(Form->AktivNr(), -1);
        QVERIFY(Innen(Form).Memo2->ReadOnly());
        QCOMPARE(Innen(Form).Memo2->Text(), QString());
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Return);
        QCOMPARE(F->Pieptoene(), 1);
        QCOMPARE(Form->Fehler(), 0);
    }

    void desktopVerknuepfung() {
        Neu();
        QVERIFY(DesktopLinkBenutzer.endsWith(QStringLiteral("/Tastaro.desktop")));
        Form->Aktion("MenuDateiDesktopLink")->trigger();
        QCOMPARE(F->Fakes.Shell.Verknuepfungen, QStringList{DesktopLinkBenutzer + "|" + ProgrammDatei});
        // with the launcher present the command removes it
        SchreibeDatei(DesktopLinkBenutzer, "[Desktop Entry]\n");
        Form->Aktion("MenuDateiDesktopLink")->trigger();
        QVERIFY(!QFile::exists(DesktopLinkBenutzer));
        QCOMPARE(F->Fakes.Shell.Verknuepfungen.size(), 1);
    }

    void sprachbefehle() {
        Neu();
        F->Starten(mUeberschreiben);
        Innen(Form).Einstellungen->Sapi = sapiBedarf;
        Innen(Form).Einstellungen->Stimme = QStringLiteral("Teststimme");
        Form->SetStimme();
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(F->Speech.Gesprochen().size(), 1);
        // the screen reader is silenced before the voice speaks
        QCOMPARE(
            F->Speech.Welt->Aufrufe.mid(F->Speech.Welt->Aufrufe.size() - 3),
            QStringList({"Orca.Silence", "A.Stop", "A.Speak(" + F->Speech.Gesprochen().first() + ",1)"}));
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(F->Speech.Gesprochen().size(), 2);
        QVERIFY(F->Speech.Gesprochen().last().contains(QStringLiteral("Heinrich")));
        // a refused command says why: in the voice, else through the screen
        // reader, else with a beep
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(F->Speech.Gesprochen().size(), 3);
        QCOMPARE(F->Speech.Gesprochen().last(), QStringLiteral("Es ist noch nichts geschrieben."));
        Innen(Form).Einstellungen->Sapi = sapiAus;
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(F->Speech.Gesprochen().size(), 3);
        QCOMPARE(F->Speech.Welt->Aufrufe.last(),
                 QStringLiteral("Orca.Output(Die Sprachausgabe ist ausgeschaltet.,1)"));
        F->Speech.Welt->ScreenReaderAktivS = false;
        QTest::keyClick(Innen(Form).Memo2, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(F->Pieptoene(), 1);
    }
};

QTEST_MAIN(TstBefehle)
#include "tst_befehle.moc"
