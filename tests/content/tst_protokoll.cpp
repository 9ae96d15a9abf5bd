// The protocol's text without a window: every entry, a run past midnight, a
// continued protocol and its file.

#include "ProtokollC.h"
#include "TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
TProtokollLage Lage(const QString& AZeit) {
    TProtokollLage l;
    l.Jetzt = QDateTime(QDate(2026, 3, 4), QTime::fromString(AZeit, QStringLiteral("hh:mm:ss")));
    l.Benutzer = QStringLiteral("anna");
    l.Bereich = QStringLiteral("Grundreihe");
    l.Titel = QStringLiteral("Lektion 1");
    l.Originalanschlaege = 1234567;
    l.Zeile = 2;
    l.Zeilen = 7;
    l.Text = QStringLiteral("asdf jklö");
    l.Getippt = QStringLiteral("asdf jkl");
    l.Fehler = 3;
    return l;
}
} // namespace

class TstProtokoll : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // What each entry adds after a new protocol begun at 23:59:00.
    void eintrag_data() {
        QTest::addColumn<int>("art");
        QTest::addColumn<QString>("zeit");
        QTest::addColumn<QStringList>("neu");
        const QString z = QStringLiteral("Zeile: 2/7 (%1)\rText: asdf jklö");
        QTest::newRow("richtig") << int(ptRichtig) << "23:59:10" << QStringList{z.arg("Richtig")};
        QTest::newRow("falsch") << int(ptFalsch) << "23:59:10"
                                << QStringList{z.arg("Falsch"), QStringLiteral("Getippt: asdf jkl")};
        QTest::newRow("weiter") << int(ptWeiter) << "23:59:10" << QStringList{z.arg("Übersprungen")};
        QTest::newRow("zurück") << int(ptZurueck) << "23:59:10" << QStringList{z.arg("Zurückgesprungen")};
        QTest::newRow("beenden") << int(ptBeenden) << "23:59:10"
                                 << QStringList{QStringLiteral("\rDas Training wurde vorzeitig beendet!")};
        // past midnight the duration counts on into the next day
        QTest::newRow("fertig nach Mitternacht")
            << int(ptFertig) << "00:01:05"
            << QStringList{
                   QString(), QStringLiteral("Endzeit: 00:01:05"), QStringLiteral("Trainingsdauer: 00:02:05"),
                   QStringLiteral("Das Training ist abgeschlossen.\rTrainierte Zeilen: 7\rFehleingaben: 3")};
    }
    void eintrag() {
        QFETCH(int, art);
        QFETCH(QString, zeit);
        QFETCH(QStringList, neu);
        TProtokoll p;
        QVERIFY(!p.Eintragen(ptNeu, Lage(QStringLiteral("23:59:00"))));
        QCOMPARE(p.Zeilen(),
                 (QStringList{QStringLiteral("Tastaro-Protokoll vom 04.03.2026:\rBenutzername: anna\r"
                                             "Trainingsbereich: Grundreihe\rTrainingstitel: Lektion 1\r"
                                             "Originalanschläge: 1.234.567"),
                              QStringLiteral("Startzeit: 23:59:00"), QString()}));
        QVERIFY(p.Eintragen(TProtokollText(art), Lage(zeit)));
        QCOMPARE(p.Zeilen().mid(3), neu);
    }

    // A continued protocol carries on from its file, whatever line break it
    // uses; a missing file begins afresh and an unreadable one keeps the list.
    void fortsetzen_data() {
        QTest::addColumn<QByteArray>("inhalt"); // empty: no file; "/": a folder in its place
        QTest::addColumn<QStringList>("erwartet");
        const QString fort = QStringLiteral("\rFortsetzungs-Zeit: 10:00:00");
        QTest::newRow("CR LF") << QByteArray("eins\r\nzwei\r\n") << QStringList{"eins", "zwei", fort};
        QTest::newRow("LF, ohne letzten Umbruch")
            << QByteArray("eins\nzwei") << QStringList{"eins", "zwei", fort};
        QTest::newRow("keine Datei") << QByteArray() << QStringList{fort};
        QTest::newRow("unlesbar") << QByteArray("/") << QStringList{"alt", fort};
    }
    void fortsetzen() {
        QFETCH(QByteArray, inhalt);
        QFETCH(QStringList, erwartet);
        QTemporaryDir ordner;
        TProtokollLage l = Lage(QStringLiteral("10:00:00"));
        l.Datei = ordner.filePath(QStringLiteral("p.pro"));
        if (inhalt == "/") {
            QVERIFY(QDir().mkpath(l.Datei));
        } else if (!inhalt.isEmpty()) {
            QFile f(l.Datei);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(inhalt);
        }
        TProtokoll p;
        p.Eintragen(ptBeenden, l);
        // "alt" stands for what the list held before
        if (erwartet.first() == QLatin1String("alt")) erwartet.replace(0, p.Zeilen().first());
        QVERIFY(!p.Eintragen(ptFortsetzen, l));
        QCOMPARE(p.Zeilen(), erwartet);
    }

    void dateiUndSpeichern() {
        QTemporaryDir ordner;
        const QString name = TProtokoll::Dateiname(ordner.path() + QLatin1Char('/'), QStringLiteral("anna"),
                                                   QStringLiteral("A/B"), QStringLiteral("Lektion 1"));
        QCOMPARE(name, ordner.path() + QStringLiteral("/anna_A_B_Lektion 1.pro"));
        TProtokoll p;
        p.Eintragen(ptNeu, Lage(QStringLiteral("08:00:00")));
        p.Speichern(name);
        QCOMPARE(ReadTextFile(name), p.Zeilen().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
        QVERIFY(!p.Leer());
        p.Clear();
        QVERIFY(p.Leer());
    }
};

QTEST_MAIN(TstProtokoll)
#include "tst_protokoll.moc"
