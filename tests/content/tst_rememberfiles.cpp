// Remembered lines per training file and their file "RememberFiles.txt".

#include "RememberFilesC.h"
#include "VollerDatentraeger.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

void WriteFile(const QString& AName, const QByteArray& AContent) {
    QFile F(AName);
    if (!F.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write test file");
    F.write(AContent);
}

QByteArray ReadFile(const QString& AName) {
    QFile F(AName);
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
}

} // namespace

class TstRememberFiles : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;
    QString FTraining; // an existing training file
    QString FListe;    // "RememberFiles.txt"

private Q_SLOTS:
    void init() {
        FTraining = FDir.filePath(QStringLiteral("Lektion 3.txt"));
        WriteFile(FTraining, "T\nA\nB\n");
        FListe = FDir.filePath(QStringLiteral("RememberFiles.txt"));
        QFile::setPermissions(FListe, QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(FListe);
        QDir(FDir.filePath(QStringLiteral("RememberFiles.txt.tmp"))).removeRecursively();
    }

    void load_data() {
        QTest::addColumn<QString>("Content"); // %F stands for the training file
        QTest::addColumn<int>("Line");
        QTest::newRow("plain") << "12 | %F\r\n" << 12;
        QTest::newRow("no blanks") << "12|%F" << 12;
        QTest::newRow("leading and doubled bars") << "|12||%F|" << 12;
        QTest::newRow("further fields ignored") << "  5 | %F | alt  " << 5;
        QTest::newRow("not a number") << "x | %F" << -1;
        QTest::newRow("zero") << "0 | %F" << -1;
        QTest::newRow("negative") << "-3 | %F" << -1;
        QTest::newRow("no bar") << "12 %F" << -1;
        QTest::newRow("no file name") << "12 |  " << -1;
        QTest::newRow("later entry wins") << "12 | %F\n\n7 | %F\n" << 7;
        QTest::newRow("deleted training file") << "12 | %F.weg" << -1;
    }
    void load() {
        QFETCH(QString, Content);
        WriteFile(FListe, Content.replace(QStringLiteral("%F"), FTraining).toUtf8());
        TRememberFiles Liste(FListe);
        QVERIFY(Liste.Load());
        QTEST(Liste.Find(FTraining), "Line");
        QVERIFY(!Liste.Changed());
    }

    void oversizedListIsReadFromItsEnd_data() {
        QTest::addColumn<QString>("Encoding");
        QTest::addColumn<qint64>("Filler"); // bytes of entries for files that are gone
        QTest::addColumn<QString>("Tail");  // %F stands for the training file
        QTest::addColumn<int>("Line");
        QTest::addColumn<bool>("Cut");
        const qint64 Gross = TRememberFiles::LeseGrenze + 1000;
        QTest::newRow("within the limit, read whole") << "utf8" << qint64(1000) << "" << 12 << false;
        QTest::newRow("beyond the limit, the start is lost") << "utf8" << Gross << "" << -1 << true;
        QTest::newRow("beyond the limit, newest entry wins") << "utf8" << Gross << "7 | %F\r\n4 | %F\r\n"
                                                             << 4 << true;
        QTest::newRow("beyond the limit, UTF-16") << "utf16" << Gross << "7 | %F\r\n" << 7 << true;
        QTest::newRow("beyond the limit, ANSI") << "ansi" << Gross << "7 | %F\r\n" << 7 << true;
    }
    void oversizedListIsReadFromItsEnd() {
        QFETCH(QString, Encoding);
        QFETCH(qint64, Filler);
        QFETCH(QString, Tail);
        // an umlaut in the name tells a wrong decoding
        FTraining = FDir.filePath(QStringLiteral("Übung 3.txt"));
        WriteFile(FTraining, "T\nA\nB\n");
        QString Text = QStringLiteral("12 | ") + FTraining + QStringLiteral("\r\n");
        const QString Weg = QStringLiteral("5 | ") + FDir.filePath(QStringLiteral("gelöscht.txt\r\n"));
        while (Text.size() < Filler)
            Text += Weg;
        Text += Tail.replace(QStringLiteral("%F"), FTraining);
        QByteArray Bytes = Encoding == QLatin1String("ansi") ? Text.toLatin1() : Text.toUtf8();
        if (Encoding == QLatin1String("utf16"))
            Bytes = QByteArray("\xFF\xFE") +
                    QByteArray(reinterpret_cast<const char*>(Text.utf16()), Text.size() * 2);
        WriteFile(FListe, Bytes);
        TRememberFiles Liste(FListe);
        QVERIFY(Liste.Load());
        QTEST(Liste.Find(FTraining), "Line");
        QTEST(Liste.Gekuerzt(), "Cut");
        QVERIFY(!Liste.Changed());
    }

    void loadMissingAndUnreadable() {
        TRememberFiles Liste(FListe);
        QVERIFY(Liste.Load());
        QCOMPARE(Liste.Count(), 0);
        QVERIFY(QDir(FDir.path()).mkdir(QStringLiteral("Ordner.txt")));
        TRememberFiles Kaputt(FDir.filePath(QStringLiteral("Ordner.txt")));
        QVERIFY(!Kaputt.Load());
        QCOMPARE(Kaputt.Count(), 0);
    }

    void addRules() {
        TRememberFiles Liste(FListe);
        Liste.Add(FTraining, 4);
        QCOMPARE(Liste.Find(QStringLiteral("  ") +
                            FTraining.toUpper().replace(FDir.path().toUpper(), FDir.path()) +
                            QStringLiteral(" ")),
                 4);
        QVERIFY(Liste.Changed());
        QVERIFY(Liste.Save());
        Liste.Add(FTraining, 4);
        QVERIFY(!Liste.Changed());
        Liste.Add(FTraining, 0);
        QCOMPARE(Liste.Find(FTraining), -1);
        QVERIFY(Liste.Changed());

        Liste.Add(FTraining, 9);
        QFile::remove(FTraining);
        Liste.Add(FTraining, 7);
        QCOMPARE(Liste.Find(FTraining), -1);
        QCOMPARE(Liste.Count(), 0);
        Liste.Add(QStringLiteral("   "), 3);
        QCOMPARE(Liste.Count(), 0);
    }

    void saveWritesAllEntries() {
        const QString Zweite = FDir.filePath(QStringLiteral("Zahlen 1.rtf"));
        WriteFile(Zweite, "x");
        TRememberFiles Liste(FListe);
        Liste.Add(FTraining, 12);
        Liste.Add(Zweite, 4);
        QVERIFY(Liste.Save());
        QVERIFY(!Liste.Changed());
        QCOMPARE(ReadFile(FListe), (QStringLiteral("12 | ") + FTraining + QStringLiteral("\r\n4 | ") +
                                    Zweite + QStringLiteral("\r\n"))
                                       .toUtf8());
        TRememberFiles Wieder(FListe);
        QVERIFY(Wieder.Load());
        QCOMPARE(Wieder.Find(Zweite), 4);
        QVERIFY(!QFile::exists(FListe + QStringLiteral(".tmp")));
    }

    void saveWithoutChangesWritesNothing() {
        TRememberFiles Liste(FListe);
        QVERIFY(Liste.Save());
        QVERIFY(!QFile::exists(FListe));
    }

    void saveAfterLastEntryDeletesFile() {
        TRememberFiles Liste(FListe);
        Liste.Add(FTraining, 3);
        QVERIFY(Liste.Save());
        QVERIFY(QFile::exists(FListe));
        Liste.Delete(FTraining);
        QVERIFY(Liste.Save());
        QVERIFY(!QFile::exists(FListe));
    }

    void staleEntryIsKept() {
        WriteFile(FListe, (QStringLiteral("3 | ") + FTraining + QStringLiteral(".weg\r\n")).toUtf8());
        TRememberFiles Liste(FListe);
        QVERIFY(Liste.Load());
        QVERIFY(Liste.Save());
        QVERIFY(ReadFile(FListe).contains(".weg"));
    }

    void readOnlyFileIsReplaced() {
        WriteFile(FListe, "alt");
        QVERIFY(QFile::setPermissions(FListe, QFile::ReadOwner | QFile::ReadUser));
        TRememberFiles Liste(FListe);
        Liste.Add(FTraining, 2);
        QVERIFY(Liste.Save());
        QCOMPARE(ReadFile(FListe), (QStringLiteral("2 | ") + FTraining + QStringLiteral("\r\n")).toUtf8());
    }

    void failedSaveKeepsOldFile_data() {
        QTest::addColumn<bool>("vollS");
        // A folder where the temporary file must go makes the write fail
        // after the list was built.
        QTest::newRow("Ordner im Weg") << false;
        QTest::newRow("voller Datentraeger") << true;
    }
    void failedSaveKeepsOldFile() {
        QFETCH(bool, vollS);
        const QByteArray Alt = (QStringLiteral("5 | ") + FTraining + QStringLiteral("\r\n")).toUtf8();
        WriteFile(FListe, Alt);
        const QString Temp = FListe + QStringLiteral(".tmp");
        if (!vollS) QVERIFY(QDir(FDir.path()).mkpath(QStringLiteral("RememberFiles.txt.tmp/voll")));
        TRememberFiles Liste(FListe);
        QVERIFY(Liste.Load());
        Liste.Add(FTraining, 8);
        {
            const auto Voll = vollS ? std::make_unique<TVollerDatentraeger>(0) : nullptr;
            QVERIFY(!Liste.Save());
        }
        QVERIFY(Liste.Changed());
        QCOMPARE(ReadFile(FListe), Alt);

        QDir(Temp).removeRecursively();
        QVERIFY(Liste.Save());
        QCOMPARE(ReadFile(FListe), (QStringLiteral("8 | ") + FTraining + QStringLiteral("\r\n")).toUtf8());
    }

    void staleTemporaryFileIsReplaced() {
        WriteFile(FListe + QStringLiteral(".tmp"), "Rest eines Absturzes");
        TRememberFiles Liste(FListe);
        Liste.Add(FTraining, 6);
        QVERIFY(Liste.Save());
        QCOMPARE(ReadFile(FListe), (QStringLiteral("6 | ") + FTraining + QStringLiteral("\r\n")).toUtf8());
    }
};

QTEST_GUILESS_MAIN(TstRememberFiles)
#include "tst_rememberfiles.moc"
