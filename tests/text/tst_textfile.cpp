#include "TextFile.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QTemporaryDir>

#include "VollerDatentraeger.h"
#include <QTest>

Q_DECLARE_METATYPE(TFileTextType)

namespace {

QByteArray Bytes(std::initializer_list<unsigned char> AList) {
    QByteArray Data;
    for (unsigned char B : AList)
        Data.append(static_cast<char>(B));
    return Data;
}

QByteArray Utf16Le(const QString& AText) {
    QByteArray Data;
    for (QChar C : AText)
        Data.append(static_cast<char>(C.unicode() & 0xFF)).append(static_cast<char>(C.unicode() >> 8));
    return Data;
}

QByteArray Utf16Be(const QString& AText) {
    QByteArray Data;
    for (QChar C : AText)
        Data.append(static_cast<char>(C.unicode() >> 8)).append(static_cast<char>(C.unicode() & 0xFF));
    return Data;
}

const QString Gruesse = QString::fromUtf8("Grüße");

} // namespace

class TstTextFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir FDir;
    QString Path(const QString& AName) const { return FDir.filePath(AName); }
    QString Put(const QByteArray& AData) {
        const QString Name = Path(QStringLiteral("probe.txt"));
        QFile File(Name);
        if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate) || File.write(AData) != AData.size())
            qFatal("cannot write probe file");
        return Name;
    }

private Q_SLOTS:
    void detectAndRead_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<TFileTextType>("type");
        QTest::addColumn<QString>("text");

        const QByteArray Ascii70k(70000, 'a');
        QByteArray LateBad = QByteArray("\xC3\xA4") + Ascii70k;
        LateBad[68000] = '\xFF';
        QByteArray Straddle = QByteArray(65535, 'a') + "\xC3\xA4";

        QTest::newRow("empty file") << QByteArray() << fttAnsi << QString();
        QTest::newRow("UTF-8 mark only") << Bytes({0xEF, 0xBB, 0xBF}) << fttUtf8Bom << QString();
        QTest::newRow("pure ASCII") << QByteArray("Hallo Welt\r\n") << fttAnsi
                                    << QStringLiteral("Hallo Welt\r\n");
        QTest::newRow("Grüße UTF-8") << Gruesse.toUtf8() << fttUtf8 << Gruesse;
        QTest::newRow("Grüße 1252") << QByteArray("Gr\xFC\xDF"
                                                  "e")
                                    << fttAnsi << Gruesse;
        QTest::newRow("euro 1252") << QByteArray("5 \x80") << fttAnsi << QString::fromUtf8("5 €");
        QTest::newRow("malformed after 64 KiB") << LateBad << fttAnsi << DecodeAnsi(LateBad);
        QTest::newRow("sequence across blocks") << Straddle << fttUtf8 << QString::fromUtf8(Straddle);
        QTest::newRow("sequence cut at end") << QByteArray("Gr\xC3") << fttAnsi << QString::fromUtf8("GrÃ");
        QTest::newRow("overlong C0 80") << QByteArray("a\xC0\x80") << fttAnsi << QString::fromUtf8("aÀ€");
        QTest::newRow("overlong E0 80 80")
            << QByteArray("a\xE0\x80\x80") << fttAnsi << QString::fromUtf8("aà€€");
        QTest::newRow("surrogate ED A0 80")
            << QByteArray("a\xED\xA0\x80") << fttAnsi << QStringLiteral("a\u00ED\u00A0\u20AC");
        QTest::newRow("above 10FFFF")
            << QByteArray("a\xF4\x90\x80\x80") << fttAnsi << QStringLiteral("a\u00F4\u0090\u20AC\u20AC");
        QTest::newRow("four-byte sequence")
            << QByteArray("a\xF0\x9F\x98\x80") << fttUtf8 << QString::fromUtf8("a😀");
        const QString Text16 = QString::fromUtf8("Hallo Welt Grüße"); // 16 characters, 32 bytes
        QTest::newRow("UTF-16 LE no mark 32 bytes") << Utf16Le(Text16) << fttUnicode << Text16;
        QTest::newRow("UTF-16 BE no mark") << Utf16Be(Text16) << fttUnicode << Text16;
        QTest::newRow("UTF-16 LE mark") << Bytes({0xFF, 0xFE}) + Utf16Le(Gruesse) << fttUnicode << Gruesse;
        QTest::newRow("UTF-16 BE mark") << Bytes({0xFE, 0xFF}) + Utf16Be(Gruesse) << fttUnicode << Gruesse;
        QTest::newRow("UTF-16 odd last byte")
            << Bytes({0xFF, 0xFE, 'a', 0, 'b'}) << fttUnicode << QStringLiteral("a\uFFFD");
        QTest::newRow("UTF-8 mark, 1252 body") << Bytes({0xEF, 0xBB, 0xBF}) + "Gr\xFC\xDF"
                                                                              "e"
                                               << fttUtf8Bom << Gruesse;
        QTest::newRow("UTF-8 mark, UTF-8 body")
            << Bytes({0xEF, 0xBB, 0xBF}) + Gruesse.toUtf8() << fttUtf8Bom << Gruesse;
        QTest::newRow("{\\rt garbage") << QByteArray("{\\rt") << fttRtf << QString();
        QTest::newRow("{\\rt then text") << QByteArray("{\\rtx Hallo") << fttRtf << QStringLiteral("Hallo");
        QTest::newRow("RTF document") << QByteArray("{\\rtf1\\ansi Gr\\'fc\\'dfe\\par Welt\\par}") << fttRtf
                                      << Gruesse + QStringLiteral("\r\nWelt");
    }

    void detectAndRead() {
        QFETCH(QByteArray, content);
        QFETCH(TFileTextType, type);
        QFETCH(QString, text);
        const QString Name = Put(content);
        QCOMPARE(GetFileTextType(Name), type);
        TFileTextType Found = fttUnknown;
        QCOMPARE(ReadTextFile(Name, Found), text);
        QCOMPARE(Found, type);
        QCOMPARE(ReadTextFile(Name), text);
    }

    void utf16WithoutMarkNeedsThirtyTwoBytes() {
        const QByteArray Le = Utf16Le(QStringLiteral("Hallo Welt, Tag!"));
        QCOMPARE(GetFileTextType(Put(Le)), fttUnicode);
        QCOMPARE(GetFileTextType(Put(Le.left(31))), fttAnsi);
    }

    void isValidUtf8_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("multiByte");
        QTest::newRow("ASCII") << QByteArray("abc") << true << false;
        QTest::newRow("umlaut") << QByteArray("\xC3\xBC") << true << true;
        QTest::newRow("lone continuation") << QByteArray("a\x80") << false << true;
        QTest::newRow("F5 lead") << QByteArray("\xF5\x80\x80\x80") << false << true;
        QTest::newRow("lead then ASCII") << QByteArray("\xC3"
                                                       "a")
                                         << false << true;
        QTest::newRow("U+10FFFF") << QByteArray("\xF4\x8F\xBF\xBF") << true << true;
    }

    void isValidUtf8() {
        QFETCH(QByteArray, content);
        QFETCH(bool, valid);
        QFETCH(bool, multiByte);
        const TUtf8Check Check = IsValidUtf8(Put(content));
        QCOMPARE(Check.ValidS, valid);
        QCOMPARE(Check.MultiByteS, multiByte);
    }

    void ansiTableCoversEveryByte() {
        QByteArray All;
        for (int B = 0; B < 256; ++B)
            All.append(static_cast<char>(B));
        const QString Text = DecodeAnsi(All);
        QCOMPARE(Text.size(), 256);
        QCOMPARE(Text[0x80], QChar(0x20AC));
        QCOMPARE(Text[0x9F], QChar(0x0178));
        for (int Undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
            QCOMPARE(Text[Undefined], QChar(Undefined));
        QCOMPARE(EncodeAnsi(Text), All);
        QCOMPARE(EncodeAnsi(QString::fromUtf8("ł✓😀")), QByteArray("???"));
    }

    void writeAndReadBack_data() {
        QTest::addColumn<TFileTextType>("form");
        QTest::addColumn<QString>("text");
        QTest::addColumn<TFileTextType>("readAs");
        QTest::addColumn<QString>("readBack");
        QTest::addColumn<QByteArray>("start");

        const QString Mixed = QString::fromUtf8("Grüße € ł ✓ 😀\r\n\tZeile {2} \\\r\n\r\nEnde");
        QTest::newRow("UTF-8") << fttUtf8 << Mixed << fttUtf8 << Mixed << Gruesse.left(2).toUtf8();
        QTest::newRow("UTF-8 ASCII only")
            << fttUtf8 << QStringLiteral("abc") << fttAnsi << QStringLiteral("abc") << QByteArray("abc");
        QTest::newRow("UTF-8 mark") << fttUtf8Bom << Mixed << fttUtf8Bom << Mixed
                                    << Bytes({0xEF, 0xBB, 0xBF});
        QTest::newRow("UTF-8 mark empty")
            << fttUtf8Bom << QString() << fttUtf8Bom << QString() << Bytes({0xEF, 0xBB, 0xBF});
        QTest::newRow("UTF-16") << fttUnicode << Mixed << fttUnicode << Mixed << Bytes({0xFF, 0xFE, 'G', 0});
        QTest::newRow("ANSI") << fttAnsi << QString::fromUtf8("Grüße € ł") << fttAnsi
                              << QString::fromUtf8("Grüße € ?") << QByteArray("Gr\xFC");
        QTest::newRow("unknown as ANSI")
            << fttUnknown << Gruesse << fttAnsi << Gruesse << QByteArray("Gr\xFC");
        QTest::newRow("RTF") << fttRtf << Mixed << fttRtf << Mixed
                             << QByteArray("{\\rtf1\\ansi\\ansicpg1252");
        QTest::newRow("RTF empty") << fttRtf << QString() << fttRtf << QString() << QByteArray("{\\rtf1");
    }

    void writeAndReadBack() {
        QFETCH(TFileTextType, form);
        QFETCH(QString, text);
        QFETCH(TFileTextType, readAs);
        QFETCH(QString, readBack);
        QFETCH(QByteArray, start);
        const QString Name = Path(QStringLiteral("written.txt"));
        WriteTextFile(Name, QStringLiteral("an older, longer content that must go"), fttAnsi);
        QFont Font(QStringLiteral("Courier New"), 14);
        WriteTextFile(Name, text, form, &Font);
        QFile File(Name);
        QVERIFY(File.open(QIODevice::ReadOnly));
        QVERIFY(File.readAll().startsWith(start));
        TFileTextType Found = fttUnknown;
        QCOMPARE(ReadTextFile(Name, Found), readBack);
        QCOMPARE(Found, readAs);
    }

    void missingFile() {
        const QString Name = Path(QStringLiteral("fehlt.txt"));
        QCOMPARE(GetFileTextType(Name), fttUnknown);
        QCOMPARE(GetFileTextType(FDir.path()), fttUnknown);
        try {
            ReadTextFile(Name);
            QFAIL("no error raised");
        } catch (const ETextFileError& E) {
            QCOMPARE(E.Message(), QStringLiteral("FileTextType konnte nicht ermittelt werden."));
        }
        try {
            ReadUtf8OrAnsi(Name);
            QFAIL("no error raised");
        } catch (const ETextFileError& E) {
            QVERIFY(E.Message().startsWith(
                QStringLiteral("Datei konnte weder als UTF-8 noch als ANSI gelesen werden: ")));
        }
    }

    void readUtf8OrAnsi_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("text");
        QTest::newRow("mark and UTF-8") << Bytes({0xEF, 0xBB, 0xBF}) + Gruesse.toUtf8() << Gruesse;
        QTest::newRow("UTF-8 without mark") << Gruesse.toUtf8() << Gruesse;
        QTest::newRow("1252") << QByteArray("Gr\xFC\xDF"
                                            "e")
                              << Gruesse;
        QTest::newRow("mark only") << Bytes({0xEF, 0xBB, 0xBF}) << QString();
        QTest::newRow("mark, overlong")
            << Bytes({0xEF, 0xBB, 0xBF, 0xC0, 0x80}) << QStringLiteral("\u00C0\u20AC");
        QTest::newRow("mark, surrogate")
            << Bytes({0xEF, 0xBB, 0xBF, 0xED, 0xA0, 0x80}) << QStringLiteral("\u00ED\u00A0\u20AC");
        QTest::newRow("two mark bytes") << Bytes({0xEF, 0xBB}) << QString::fromUtf8("ï»");
    }

    void readUtf8OrAnsi() {
        QFETCH(QByteArray, content);
        QFETCH(QString, text);
        QCOMPARE(ReadUtf8OrAnsi(Put(content)), text);
    }

    void writerErrors() {
        QVERIFY_THROWS_EXCEPTION(ETextFileError, WriteTextFile(Path(QStringLiteral("kein/Ordner/x.txt")),
                                                               QStringLiteral("x"), fttUtf8));
        QVERIFY_THROWS_EXCEPTION(ETextFileError, WriteTextFile(FDir.path(), QStringLiteral("x"), fttAnsi));

        const QString Locked = Path(QStringLiteral("gesperrt"));
        QVERIFY(QDir().mkpath(Locked));
        QFile::setPermissions(Locked, QFile::ReadOwner | QFile::ExeOwner);
        const bool RootS = QFile(Locked + QStringLiteral("/probe")).open(QIODevice::WriteOnly);
        if (!RootS)
            QVERIFY_THROWS_EXCEPTION(ETextFileError, WriteTextFile(Locked + QStringLiteral("/x.txt"),
                                                                   QStringLiteral("x"), fttAnsi));
        QFile::setPermissions(Locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // On a full disk the write fails loudly and the old file stays whole,
    // however much of the new one would have fitted.
    void fullDiskKeepsOldFile_data() {
        QTest::addColumn<int>("free");
        QTest::addColumn<int>("size");
        QTest::newRow("nothing free, small file") << 0 << 300;
        QTest::newRow("4 KiB free, 5 KB file") << 4096 << 5000;
    }

    void fullDiskKeepsOldFile() {
        QFETCH(int, free);
        QFETCH(int, size);
        const QString Name = Path(QStringLiteral("voll-%1.txt").arg(free));
        WriteTextFile(Name, QStringLiteral("alt\r\n"), fttAnsi);
        {
            const TVollerDatentraeger Full{rlim_t(free)};
            QVERIFY_THROWS_EXCEPTION(ETextFileError, WriteTextFile(Name, QString(size, u'x'), fttAnsi));
        }
        QCOMPARE(ReadTextFile(Name), QStringLiteral("alt\r\n"));
        QCOMPARE(
            QDir(FDir.path()).entryList({QStringLiteral("voll-%1*").arg(free)}, QDir::Files | QDir::Hidden),
            QStringList{QFileInfo(Name).fileName()});
    }
};

QTEST_MAIN(TstTextFile)
#include "tst_textfile.moc"
