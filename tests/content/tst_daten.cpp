// Training areas and the file lists of an area: title files, masks, sorting.

#include "DatenC.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

void WriteFile(const QString& AName, const QByteArray& AContent) {
    QFile F(AName);
    if (!F.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write test file");
    F.write(AContent);
}

QString Training(const QString& ATitel) {
    return ATitel + QStringLiteral("\nA\nb\n");
}

} // namespace

class TstDaten : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parseKatFile_data() {
        // %ABS% stands for the test folder, %NAME% for its name.
        QTest::addColumn<QString>("Content");
        QTest::addColumn<QString>("Titel");
        QTest::addColumn<QString>("Ordner"); // the area folder below the test folder; empty: none
        QTest::newRow("title and folder") << "0 Titel\n1 Sub"
                                          << "Titel"
                                          << "Sub/";
        QTest::newRow("folder with backslash") << "0 Titel\r\n1 Sub\\\r\n"
                                               << "Titel"
                                               << "Sub/";
        QTest::newRow("folder with slash") << "0 Titel\n1 Sub/"
                                           << "Titel"
                                           << "Sub/";
        QTest::newRow("folder first") << "1 Sub\n0 Titel"
                                      << "Titel"
                                      << "Sub/";
        QTest::newRow("tab after 0 is ignored") << "0\tTitel\n1 Sub"
                                                << ""
                                                << "Sub/";
        QTest::newRow("tab after 1 is ignored") << "0 Titel\n1\tSub"
                                                << "Titel"
                                                << "";
        QTest::newRow("0 alone is the title") << "0\n1 Sub"
                                              << "0"
                                              << "Sub/";
        QTest::newRow("blanks around") << "   0    Titel mit  Blanks   \n1 Sub"
                                       << "Titel mit  Blanks"
                                       << "Sub/";
        QTest::newRow("later 0 before the folder wins") << "0 Erst\n0 Zweit\n1 Sub"
                                                        << "Zweit"
                                                        << "Sub/";
        QTest::newRow("later 0 after both is not read") << "0 Erst\n1 Sub\n0 Zweit"
                                                        << "Erst"
                                                        << "Sub/";
        QTest::newRow("other lines ignored") << "Bereich\n# 0 nein\n0 Titel\n1 Sub"
                                             << "Titel"
                                             << "Sub/";
        QTest::newRow("absolute folder") << "0 Titel\n1 %ABS%/Sub"
                                         << "Titel"
                                         << "";
        QTest::newRow("missing folder") << "0 Titel\n1 Fehlt"
                                        << "Titel"
                                        << "";
        QTest::newRow("no folder line") << "0 Titel"
                                        << "Titel"
                                        << "";
        QTest::newRow("nested folders") << "0 Titel\n1 Sub\\Unter\\"
                                        << "Titel"
                                        << "Sub/Unter/";
        QTest::newRow("two periods inside a name") << "0 Titel\n1 Sub..x"
                                                   << "Titel"
                                                   << "Sub..x/";
        QTest::newRow("folder climbing out") << "0 Titel\n1 .."
                                             << "Titel"
                                             << "";
        QTest::newRow("climbing out and back in") << "0 Titel\n1 ..\\%NAME%\\Sub"
                                                  << "Titel"
                                                  << "";
        QTest::newRow("climbing out midway") << "0 Titel\n1 Sub/../Sub"
                                             << "Titel"
                                             << "";
        QTest::newRow("two byte order marks") << QStringLiteral("\uFEFF\uFEFF0 Titel\n1 Sub") << "Titel"
                                              << "Sub/";
    }
    void parseKatFile() {
        QFETCH(QString, Content);
        QTemporaryDir Dir;
        QVERIFY(QDir(Dir.path()).mkpath(QStringLiteral("Sub/Unter")));
        QVERIFY(QDir(Dir.path()).mkdir(QStringLiteral("Sub..x")));
        const QString Name = Dir.filePath(QStringLiteral("a.kat"));
        Content.replace(QStringLiteral("%ABS%"), Dir.path());
        Content.replace(QStringLiteral("%NAME%"), QFileInfo(Dir.path()).fileName());
        WriteFile(Name, Content.toUtf8());
        const TKatRec Rec = ParseKatFile(Name);
        QCOMPARE(Rec.Filename, Name);
        QTEST(Rec.Titel, "Titel");
        QFETCH(QString, Ordner);
        QCOMPARE(Rec.Path, Ordner.isEmpty() ? QString() : Dir.path() + QLatin1Char('/') + Ordner);
    }

    void parseMissingKatFile() {
        const TKatRec Rec = ParseKatFile(QStringLiteral("/gibt/es/nicht.kat"));
        QVERIFY(Rec.Filename.isEmpty() && Rec.Titel.isEmpty() && Rec.Path.isEmpty());
    }

    void mask_data() {
        QTest::addColumn<QString>("Name");
        QTest::addColumn<QString>("Mask");
        QTest::addColumn<bool>("Expected");
        QTest::newRow("umlaut name") << "Übung1.txt"
                                     << "*.txt" << true;
        QTest::newRow("backup file") << "Notiz.txt~"
                                     << "*.txt" << false;
        QTest::newRow("case") << "LEKTION.TXT"
                              << "*.txt" << true;
        QTest::newRow("other kind") << "a.rtf"
                                    << "*.txt" << false;
        QTest::newRow("star dot star") << "ohne"
                                       << "*.*" << true;
        QTest::newRow("trailing period") << "ohne"
                                         << "*." << true;
        QTest::newRow("empty mask") << "x.y"
                                    << "  " << true;
        QTest::newRow("blanks around mask") << "a.kat"
                                            << " *.kat " << true;
        QTest::newRow("question mark") << "a1.txt"
                                       << "a?.txt" << true;
        QTest::newRow("question mark is one char") << "a12.txt"
                                                   << "a?.txt" << false;
        QTest::newRow("star in the middle") << "Grund-3.txt"
                                            << "Grund*3.txt" << true;
    }
    void mask() {
        QFETCH(QString, Name);
        QFETCH(QString, Mask);
        QTEST(MatchesFileMask(Name, Mask), "Expected");
    }

    void sorting_data() {
        QTest::addColumn<QStringList>("Titles");   // in order of Add
        QTest::addColumn<QStringList>("Expected"); // title@position of Add
        QTest::newRow("umlaut spelled out")
            << QStringList{"Zahlen", "Übungen", "Tippen"} << QStringList{"Tippen@2", "Übungen@1", "Zahlen@0"};
        QTest::newRow("equal titles, later first")
            << QStringList{"Gleich", "Gleich", "Gleich"} << QStringList{"Gleich@2", "Gleich@1", "Gleich@0"};
        QTest::newRow("case does not count")
            << QStringList{"b", "A", "a"} << QStringList{"a@2", "A@1", "b@0"};
        QTest::newRow("ß as ss") << QStringList{"Strasse", "Straße", "Strand"}
                                 << QStringList{"Strand@2", "Straße@1", "Strasse@0"};
    }
    void sorting() {
        QFETCH(QStringList, Titles);
        TKat Kat;
        TDaten Daten;
        for (int I = 0; I < Titles.size(); ++I) {
            const QString Name = QString::number(I);
            Kat.Add({Titles.at(I), QStringLiteral("/p/"), Name});
            Daten.Add({Name, Titles.at(I), 0, {}});
        }
        QStringList KatOrder;
        QStringList DatenOrder;
        for (int I = 0; I < Kat.Count(); ++I) {
            KatOrder << Kat[I].Titel + QLatin1Char('@') + Kat[I].Filename;
            DatenOrder << Daten[I].Titel + QLatin1Char('@') + Daten[I].Filename;
        }
        QTEST(KatOrder, "Expected");
        QTEST(DatenOrder, "Expected");

        // Loading a folder sorts all files at once, in the same order as
        // adding them one by one in the order the folder lists them.
        QTemporaryDir Dir;
        for (int I = 0; I < Titles.size(); ++I)
            WriteFile(Dir.filePath(QString::number(I)), Training(Titles.at(I)).toUtf8());
        Daten.Load(Dir.path(), QStringLiteral("*"));
        QStringList LoadOrder;
        for (int I = 0; I < Daten.Count(); ++I)
            LoadOrder << Daten[I].Titel + QLatin1Char('@') + QFileInfo(Daten[I].Filename).fileName();
        QTEST(LoadOrder, "Expected");
    }

    void titleSortKey() {
        QCOMPARE(TitleSortKey(QStringLiteral("Übungen")), QStringLiteral("uebungen"));
        QCOMPARE(TitleSortKey(QStringLiteral("ÄÖÜ Straße")), QStringLiteral("aeoeue strasse"));
    }

    void aktivNr() {
        TKat Kat;
        Kat.Add({QStringLiteral("a"), QStringLiteral("/p/"), QStringLiteral("a.kat")});
        Kat.Add({QStringLiteral("b"), QStringLiteral("/p/"), QStringLiteral("b.kat")});
        Kat.SetAktivNr(1);
        QCOMPARE(Kat.AktivNr(), 1);
        Kat.SetAktivNr(Kat.Count());
        QCOMPARE(Kat.AktivNr(), -1);
        Kat.SetAktivNr(0);
        Kat.SetAktivNr(-5);
        QCOMPARE(Kat.AktivNr(), -1);
        QVERIFY(Kat.Get(2).Titel.isEmpty());
        QCOMPARE(TKat().TitelTextString(), QString());
    }

    void katLoadListsSortedAreas() {
        QTemporaryDir Dir;
        QDir D(Dir.path());
        for (const char* Sub : {"Z", "U", "T", "dir.kat"})
            QVERIFY(D.mkdir(QString::fromLatin1(Sub)));
        WriteFile(Dir.filePath(QStringLiteral("Zahlen.kat")), "0 Zahlen\n1 Z\n");
        WriteFile(Dir.filePath(QStringLiteral("Uebungen.kat")), "\xEF\xBB\xBF"
                                                                "0 \xC3\x9C"
                                                                "bungen\r\n1 U\\\r\n");
        WriteFile(Dir.filePath(QStringLiteral("Grundreihe.kat")), "0 Tippen\n1 T\n");
        WriteFile(Dir.filePath(QStringLiteral("Ohne.kat")), "0 Ohne Ordner\n1 Fehlt\n");
        WriteFile(Dir.filePath(QStringLiteral("Alt.kat~")), "0 Alt\n1 T\n");
        TKat Kat(Dir.path(), QStringLiteral("*.kat"));
        QCOMPARE(Kat.Count(), 3);
        QCOMPARE(Kat.TitelTextString(), QStringLiteral("Tippen\r\nÜbungen\r\nZahlen"));
        QCOMPARE(Kat[1].Path, Dir.path() + QStringLiteral("/U/"));
        QCOMPARE(Kat.FindFilename(QStringLiteral("/woanders/GRUNDREIHE.KAT")), 0);
        QCOMPARE(Kat.FindFilename(Dir.filePath(QStringLiteral("Zahlen.kat"))), 2);
        QCOMPARE(Kat.FindFilename(QString()), -1);
        QCOMPARE(Kat.FindFilename(QStringLiteral("Alt.kat~")), -1);

        Kat.Load(Dir.filePath(QStringLiteral("fehlt")), QStringLiteral("*.kat"));
        QCOMPARE(Kat.Count(), 0);
        Kat.Load(Dir.path(), QString());
        QCOMPARE(Kat.Count(), 0);
    }

    void datenLoadsMatchingFiles() {
        QTemporaryDir Dir;
        WriteFile(Dir.filePath(QStringLiteral("Übung1.txt")), Training(QStringLiteral("Beta")).toUtf8());
        WriteFile(Dir.filePath(QStringLiteral("b.text")), Training(QStringLiteral("Alpha")).toUtf8());
        WriteFile(Dir.filePath(QStringLiteral("c.txt")), Training(QStringLiteral("Gamma")).toUtf8());
        WriteFile(Dir.filePath(QStringLiteral("Notiz.txt~")), Training(QStringLiteral("Aaa")).toUtf8());
        WriteFile(Dir.filePath(QStringLiteral("kurz.txt")), "Titel\nnur A\n");
        WriteFile(Dir.filePath(QStringLiteral("leer.txt")), "");
        QVERIFY(QDir(Dir.path()).mkdir(QStringLiteral("ordner.txt")));

        TDaten Daten(Dir.path(), QStringLiteral("  *.txt   *.text "), QStringLiteral("/mp3"));
        QCOMPARE(Daten.Path, Dir.path() + QLatin1Char('/'));
        QCOMPARE(Daten.TitelTextString(), QStringLiteral("Alpha\r\nBeta\r\nGamma"));
        QCOMPARE(Daten[1].Filename, Dir.filePath(QStringLiteral("Übung1.txt")));
        QCOMPARE(Daten[1].OriginalCount, 1);
        QCOMPARE(Daten[1].Daten.size(), 1);
        QCOMPARE(Daten.FindFilename(QStringLiteral("ÜBUNG1.TXT")), 1);
        QCOMPARE(Daten.FindFilename(QStringLiteral("kurz.txt")), -1);

        Daten.Load(Dir.path(), QStringLiteral("*.txt *.txt"));
        QCOMPARE(Daten.Count(), 4);

        Daten.SetAktivNr(0);
        Daten.Load(Dir.filePath(QStringLiteral("fehlt")), QStringLiteral("*.txt"));
        QCOMPARE(Daten.Count(), 0);
        QCOMPARE(Daten.AktivNr(), -1);
        QVERIFY(Daten.Path.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstDaten)
#include "tst_daten.moc"
