// Reading one training file: title, pairs, marks, cleaning and keystroke count.

#include "DatenC.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TstDatei : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;

    QString Write(const QString& AName, const QByteArray& AContent) {
        const QString Name = FDir.filePath(AName);
        QFile F(Name);
        if (!F.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write test file");
        F.write(AContent);
        return Name;
    }

private Q_SLOTS:
    void keystrokeCount_data() {
        QTest::addColumn<QString>("Text");
        QTest::addColumn<int>("Expected");
        QTest::newRow("Das Haus") << QStringLiteral("Das Haus") << 10;
        QTest::newRow("braces count 2 each") << QStringLiteral("{{x.mp3}}") << 13;
        QTest::newRow("unshifted signs") << QStringLiteral("#+,-.<") << 6;
        QTest::newRow("digits") << QStringLiteral("0123456789") << 10;
        QTest::newRow("small umlauts") << QStringLiteral("äöüß") << 4;
        QTest::newRow("capital umlauts") << QStringLiteral("ÄÖÜ") << 6;
        QTest::newRow("shifted and AltGr") << QStringLiteral(">@€\\") << 8;
        QTest::newRow("LF free, CR and tab 1") << QStringLiteral("\n\r\t") << 2;
        QTest::newRow("empty") << QString() << 0;
    }
    void keystrokeCount() {
        QFETCH(QString, Text);
        QFETCH(int, Expected);
        QCOMPARE(TDatei::KeystrokeCount(Text), Expected);
    }

    void load_data() {
        QTest::addColumn<QByteArray>("Content");
        QTest::addColumn<QString>("Titel");
        QTest::addColumn<int>("Count");
        QTest::addColumn<int>("Index");
        QTest::addColumn<QString>("A");
        QTest::addColumn<QString>("B");
        QTest::addColumn<QString>("Mp3"); // relative to the audio folder; empty: none
        QTest::addColumn<bool>("A2");
        QTest::addColumn<bool>("B2");
        QTest::addColumn<int>("Original");

        QTest::newRow("two lines give no pairs") << QByteArray("T\nA\n") << "" << 0 << 0 << ""
                                                 << ""
                                                 << "" << false << false << 0;
        QTest::newRow("four lines, last B missing") << QByteArray("T\nA1\nb\nA2") << "T" << 2 << 1 << "A2"
                                                    << "-"
                                                    << "" << false << false << 1;
        QTest::newRow("final line break adds no pair")
            << QByteArray("T\r\nA\r\nb\r\n") << "T" << 1 << 0 << "A"
            << "b"
            << "" << false << false << 1;
        QTest::newRow("CR line ends") << QByteArray("T\rA\rb\rA2\rc") << "T" << 2 << 1 << "A2"
                                      << "c"
                                      << "" << false << false << 2;
        QTest::newRow("empty title") << QByteArray("\nA\nb") << "-" << 1 << 0 << "A"
                                     << "b"
                                     << "" << false << false << 1;
        QTest::newRow("title of only the voice mark") << QByteArray(" {{+}} \nA\nb") << "-" << 1 << 0 << "A"
                                                      << "b"
                                                      << "" << true << true << 1;
        QTest::newRow("voice mark on the A line")
            << QByteArray("T\n{{+}} Das Haus ist alt.\nDas Haus ist alt.") << "T" << 1 << 0
            << "Das Haus ist alt."
            << "Das Haus ist alt."
            << "" << true << false << 19;
        QTest::newRow("only the first voice mark goes")
            << QByteArray("T\nA\n{{+}} b {{+}}") << "T" << 1 << 0 << "A"
            << "b {{+}}"
            << "" << false << true << 11;
        QTest::newRow("audio mark in front")
            << QByteArray("T\n{{x.mp3}} Hallo\nb") << "T" << 1 << 0 << "Hallo"
            << "b"
            << "x.mp3" << false << false << 1;
        QTest::newRow("audio name trimmed")
            << QByteArray("T\nHallo {{ x.mp3 }}\nb") << "T" << 1 << 0 << "Hallo"
            << "b"
            << "x.mp3" << false << false << 1;
        QTest::newRow("closing before opening stays text")
            << QByteArray("T\na }} b {{ c\nb") << "T" << 1 << 0 << "a }} b {{ c"
            << "b"
            << "" << false << false << 1;
        QTest::newRow("empty audio name") << QByteArray("T\nHallo {{}}\nb") << "T" << 1 << 0 << "Hallo"
                                          << "b"
                                          << "" << false << false << 1;
        QTest::newRow("A line of only the audio mark")
            << QByteArray("T\n{{x.mp3}}\nb") << "T" << 1 << 0 << "-"
            << "b"
            << "x.mp3" << false << false << 1;
        QTest::newRow("audio name with backslash")
            << QByteArray("T\n{{Sub\\x.mp3}} a\nb") << "T" << 1 << 0 << "a"
            << "b"
            << "Sub/x.mp3" << false << false << 1;
        QTest::newRow("nested audio folders")
            << QByteArray("T\n{{Sub\\Unter/x.mp3}} a\nb") << "T" << 1 << 0 << "a"
            << "b"
            << "Sub/Unter/x.mp3" << false << false << 1;
        QTest::newRow("two periods inside a name")
            << QByteArray("T\n{{a..b.mp3}} a\nb") << "T" << 1 << 0 << "a"
            << "b"
            << "a..b.mp3" << false << false << 1;
        QTest::newRow("audio name climbing out")
            << QByteArray("T\n{{..\\..\\a.mp3}} a\nb") << "T" << 1 << 0 << "a"
            << "b"
            << "" << false << false << 1;
        QTest::newRow("audio name climbing out midway")
            << QByteArray("T\n{{Sub/../../a.mp3}}\nb") << "T" << 1 << 0 << "-"
            << "b"
            << "" << false << false << 1;
        QTest::newRow("two UTF-8 byte order marks")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFT\nA\nb") << "T" << 1 << 0 << "A"
            << "b"
            << "" << false << false << 1;
        QTest::newRow("two UTF-16 byte order marks")
            << QByteArray("\xFF\xFE\xFF\xFET\0\n\0A\0\n\0b\0", 14) << "T" << 1 << 0 << "A"
            << "b"
            << "" << false << false << 1;
        QTest::newRow("audio mark in B is typed") << QByteArray("T\nA\n{{x.mp3}}") << "T" << 1 << 0 << "A"
                                                  << "{{x.mp3}}"
                                                  << "" << false << false << 13;
        QTest::newRow("typographic quotes")
            << QByteArray("T\n\xE2\x80\x9CZitat\xE2\x80\x9D\n\xE2\x80\x9CZitat\xE2\x80\x9D") << "T" << 1 << 0
            << "\"Zitat\""
            << "\"Zitat\""
            << "" << false << false << 10;
        QTest::newRow("tabs become blanks") << QByteArray("T\n\ta\tb\na\t\tb") << "T" << 1 << 0 << "a b"
                                            << "a  b"
                                            << "" << false << false << 4;
        QTest::newRow("empty B counts nothing") << QByteArray("T\n\n\nA\nb") << "T" << 2 << 0 << "-"
                                                << "-"
                                                << "" << false << false << 1;
    }
    void load() {
        QFETCH(QByteArray, Content);
        QFETCH(int, Index);
        const QString Name = Write(QStringLiteral("t.txt"), Content);
        const QString Mp3Ordner = FDir.filePath(QStringLiteral("Mp3Texte"));
        TDatei Datei(Name, Mp3Ordner);
        QCOMPARE(Datei.Filename, Name);
        QTEST(Datei.Titel, "Titel");
        QTEST(Datei.Count(), "Count");
        QTEST(Datei.OriginalCount, "Original");
        if (Datei.Count() == 0) return;
        const TDateiRec Rec = Datei.Get(Index);
        QTEST(Rec.A, "A");
        QTEST(Rec.B, "B");
        QFETCH(QString, Mp3);
        QCOMPARE(Rec.Mp3Filename, Mp3.isEmpty() ? QString() : Mp3Ordner + QLatin1Char('/') + Mp3);
        QTEST(Rec.AStimme2S, "A2");
        QTEST(Rec.BStimme2S, "B2");
    }

    void missingFileLeavesEmpty() {
        TDatei Datei(FDir.filePath(QStringLiteral("gibtsnicht.txt")), QString());
        QVERIFY(Datei.Filename.isEmpty());
        QVERIFY(Datei.Titel.isEmpty());
        QCOMPARE(Datei.Count(), 0);
    }

    void reloadStartsFromEmpty() {
        TDatei Datei(Write(QStringLiteral("a.txt"), "T\nA\nb\nA\nb"), QString());
        QCOMPARE(Datei.Count(), 2);
        Datei.Load(Write(QStringLiteral("b.txt"), "U\nA\nbb"), QString());
        QCOMPARE(Datei.Titel, QStringLiteral("U"));
        QCOMPARE(Datei.Count(), 1);
        QCOMPARE(Datei.OriginalCount, 2);
    }

    void outOfRangeAccess() {
        TDatei Datei(Write(QStringLiteral("c.txt"), "T\nA\nb"), QString());
        QVERIFY(Datei.Get(1).A.isEmpty());
        QVERIFY(Datei.Get(-1).B.isEmpty());
        Datei.Put(5, {QStringLiteral("x"), QStringLiteral("y"), {}, true, true});
        QCOMPARE(Datei.Count(), 1);
        Datei.Put(0, {QStringLiteral("x"), QStringLiteral("y"), {}, true, true});
        QCOMPARE(Datei[0].A, QStringLiteral("x"));
    }
};

QTEST_GUILESS_MAIN(TstDatei)
#include "tst_datei.moc"
