// ctest-labels: threads

// Large inputs on a real window: an area whose files take a while to read,
// and a list of remembered lines too large to read whole.

#include "DatenC.h"
#include "HauptFixture.h"
#include "RememberFilesC.h"
#include "TextPane.h"

#include <QtTest>

class TstLaden : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { BenutzerOrdnerLeeren(); }

    void tastenWaehrendDesLadens_data() {
        QTest::addColumn<int>("taste");
        QTest::addColumn<int>("umschalt");
        QTest::addColumn<int>("auswahlen"); // chooser dialogs shown in all
        QTest::addColumn<int>("bereich");   // the area chosen afterwards
        QTest::newRow("Strg+D startet nichts") << int(Qt::Key_D) << int(Qt::ControlModifier) << 2 << 1;
        QTest::newRow("Strg+B startet nichts") << int(Qt::Key_B) << int(Qt::ControlModifier) << 2 << 1;
        QTest::newRow("Esc bricht ab") << int(Qt::Key_Escape) << 0 << 1 << -1;
    }
    // The window handles its events while the files are read, keys then
    // start no command, and the file chooser lists the whole area.
    void tastenWaehrendDesLadens() {
        QFETCH(int, taste);
        QFETCH(int, umschalt);
        QFETCH(int, auswahlen);
        THauptFixture f;
        f.Anlegen();
        const QString t = f.Ordner.path() + QStringLiteral("/Trainingstexte/");
        SchreibeDatei(t + "Zweiter.kat", "0 Zweiter Bereich\r\n1 Gross\r\n");
        // named against the order of their titles, so that they must be sorted
        for (int i = 0; i < 3000; ++i)
            SchreibeDatei(
                t + QStringLiteral("Gross/%1.txt").arg(2999 - i),
                QStringLiteral("Übung %1\r\nfj\r\nfj\r\n").arg(i, 4, 10, QLatin1Char('0')).toUtf8());
        TForm1* form = f.Erzeugen();
        f.Zeigen();
        f.Auswahl.Antworten = {1, -1};
        // comes due while the area chosen with Strg+B is being read
        int auswahlenWaehrendDesLadens = -1;
        QTimer::singleShot(0, form, [&] {
            auswahlenWaehrendDesLadens = int(f.Auswahl.Gezeigt.size());
            QTest::keyClick(Innen(form).Memo2, Qt::Key(taste), Qt::KeyboardModifiers(umschalt));
        });
        QTest::keyClick(Innen(form).Memo2, Qt::Key_B, Qt::ControlModifier);
        QTRY_COMPARE(int(f.Auswahl.Gezeigt.size()), auswahlen);
        QCOMPARE(auswahlenWaehrendDesLadens, 1);
        QTEST(Innen(form).Kategorie->AktivNr(), "bereich");
        if (f.Auswahl.Gezeigt.size() < 2) return;
        const QStringList liste = f.Auswahl.Gezeigt.at(1).Liste;
        QCOMPARE(liste.size(), 3000);
        QCOMPARE(liste.first(), QStringLiteral("Übung 0000"));
        QCOMPARE(liste.last(), QStringLiteral("Übung 2999"));
    }

    // Told once, after the start question, not in its place.
    void zuGrosseMerkListeWirdGemeldet() {
        THauptFixture f;
        f.Anlegen();
        QByteArray liste;
        while (liste.size() <= TRememberFiles::LeseGrenze)
            liste += "3 | /nirgends/verschwundene Lektion.txt\r\n";
        SchreibeDatei(RememberFilesDatei, liste);
        f.Erzeugen();
        f.Zeigen();
        QTRY_COMPARE(f.Fakes.MessageBoxes.Gefragt.size(), 2);
        QCOMPARE(f.Fakes.MessageBoxes.Gefragt.at(0).Art, QStringLiteral("Frage"));
        QCOMPARE(f.Fakes.MessageBoxes.Gefragt.at(1).Art, QStringLiteral("Information"));
        QVERIFY(f.Fakes.MessageBoxes.Gefragt.at(1).Text.contains(QStringLiteral("nur zum Teil gelesen")));
        QTest::qWait(600);
        QCOMPARE(f.Fakes.MessageBoxes.Gefragt.size(), 2);
    }
};

QTEST_MAIN(TstLaden)
#include "tst_laden.moc"
