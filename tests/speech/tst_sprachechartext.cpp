#include "SpracheCharTextC.h"
#include "TextFile.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString Schreibe(const QTemporaryDir& ADir, const QByteArray& AInhalt, const QString& AName = "s.txt") {
    const QString pfad = ADir.filePath(AName);
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly)) return QString();
    f.write(AInhalt);
    return pfad;
}

const QString cGeliefert = QStringLiteral(TASTARO_SOURCE_DATA_DIR "/Config/SpracheCharText.txt");

} // namespace

class TstSpracheCharText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileRules_data();
    void fileRules();
    void alternativesAndFallbacks();
    void keyListsTakeLastText();
    void laterKeyLineReplacesEarlier();
    void missingOrBrokenFileLeavesListsEmpty();
    void configFolderIsPreferred();
    void shippedFileHasAllWords();
};

// Each row: file content, the characters looked up, expected speech.
void TstSpracheCharText::fileRules_data() {
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("suche");
    QTest::addColumn<QString>("erwartet");
    QTest::newRow("comment with key") << QByteArray("; 1=\"Umbruch\"\n") << "1"
                                      << "";
    QTest::newRow("semicolon entry") << QByteArray(";=\"Strichpunkt\"\n") << ";"
                                     << "Strichpunkt";
    QTest::newRow("1= with more") << QByteArray("1==\"gleich\"\n") << "1="
                                  << "";
    QTest::newRow("1= is a key") << QByteArray("1=\"eins\"\n") << "1"
                                 << "";
    QTest::newRow("no quote ignored") << QByteArray(".=Punkt\n") << "."
                                      << "";
    QTest::newRow("empty middle quotes") << QByteArray(",=\"a\"|\"\"|\"b\"\n") << ","
                                         << "a";
    QTest::newRow("double bar") << QByteArray(",=  \"a\" || \"b\"  \n") << ","
                                << "a";
    QTest::newRow("first entry wins") << QByteArray(".=\"Punkt\"\n.=\"Stop\"\n") << "."
                                      << "Punkt";
    QTest::newRow("quote defined") << QByteArray("\"=\"Anführung\"\n") << "\""
                                   << "Anführung";
    QTest::newRow("bar and equals") << QByteArray("|=\"Strich\"\n==\"gleich\"\n") << "|="
                                    << "Strich gleich";
    QTest::newRow("leading tabs, CR only") << QByteArray("\t .=\"Punkt\"\r,=\"Komma\"\r") << ".,"
                                           << "Punkt Komma";
    QTest::newRow("text keeps inner quote") << QByteArray("*=\"der \"Stern\"\"\n") << "*"
                                            << "der \"Stern\"";
    QTest::newRow("only comma named") << QByteArray(",=\"Komma\"\n") << "a,b"
                                      << "Komma";
    QTest::newRow("empty lookup") << QByteArray(",=\"Komma\"\n") << ""
                                  << "";
    QTest::newRow("entry without texts") << QByteArray("#=\"\"\n,=\"Komma\"\n") << "#,#"
                                         << "Komma";
    QTest::newRow("case exact") << QByteArray("a=\"klein a\"\n") << "A"
                                << "";
    QTest::newRow("utf8 bom") << QByteArray("\xEF\xBB\xBF\xC3\x9F=\"scharfes s\"\n") << "ß"
                              << "scharfes s";
}

void TstSpracheCharText::fileRules() {
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, suche);
    QFETCH(QString, erwartet);
    QTemporaryDir dir;
    TSpracheCharText t(Schreibe(dir, inhalt));
    QCOMPARE(t.FindCharStr(suche, 0), erwartet);
}

void TstSpracheCharText::alternativesAndFallbacks() {
    QTemporaryDir dir;
    TSpracheCharText t(Schreibe(dir, "\"=\"auf\"|\"zu\"\n\"=\"nie\"\n"));
    QCOMPARE(t.Count(), 2); // the second entry is kept, but never found
    QCOMPARE(t.FindCharStr("\"", 0), QString("auf"));
    QCOMPARE(t.FindCharStr("\"", 1), QString("auf"));
    QCOMPARE(t.FindCharStr("\"", 2), QString("zu"));
    QCOMPARE(t.FindCharStr("\"", 3), QString("auf"));
    QCOMPARE(t.FindCharStr("\"", -4), QString("auf"));
    QCOMPARE(t.FindCharStr("\"\"", 2), QString("zu zu"));
}

void TstSpracheCharText::keyListsTakeLastText() {
    QTemporaryDir dir;
    TSpracheCharText t(Schreibe(dir, "4=\"a\"|\"b\"|\"c\"|\"d\"\n"));
    QCOMPARE(t.GetSonstiges(1), QString("a"));
    QCOMPARE(t.GetSonstiges(4), QString("d"));
    QCOMPARE(t.GetSonstiges(6), QString("d"));
    QCOMPARE(t.GetSonstiges(0), QString("a")); // never before the list
    QCOMPARE(t.GetAkzent(1), QString());
    QCOMPARE(t.GetLeerzeile(1), QString());
}

void TstSpracheCharText::laterKeyLineReplacesEarlier() {
    QTemporaryDir dir;
    TSpracheCharText kommentar(Schreibe(dir, "; 1=\"Umbruch\"\n1=\"Zeile\"\n", "k.txt"));
    QCOMPARE(kommentar.GetZeilenschaltung(1), QString("Zeile"));
    QCOMPARE(kommentar.Count(), 0);
    TSpracheCharText t(Schreibe(dir, "3=\"Akut\"|\"Gravis\"|\"Zirkumflex\"\n3=\"nur\"\n2=\"x\"\n2=\"\"\n"));
    QCOMPARE(t.GetAkzent(1), QString("nur"));
    QCOMPARE(t.GetAkzent(3), QString("nur"));
    QCOMPARE(t.GetLeerzeile(1), QString()); // replaced by an empty list
}

void TstSpracheCharText::missingOrBrokenFileLeavesListsEmpty() {
    QTemporaryDir dir;
    TSpracheCharText fehlt(dir.filePath("gibtesnicht.txt"));
    QVERIFY(!fehlt.LoadListe());
    QCOMPARE(fehlt.Count(), 0);
    QCOMPARE(fehlt.FindCharStr(".,", 0), QString());

    QByteArray kaputt;
    for (int i = 0; i < 4096; ++i)
        kaputt.append(static_cast<char>((i * 37) % 256));
    TSpracheCharText broken(Schreibe(dir, kaputt, "kaputt.txt"));
    Q_UNUSED(broken.FindCharStr(QString::fromLatin1(kaputt), 3)); // must simply not fail

    TSpracheCharText ordner(dir.path()); // a folder, not a file
    QCOMPARE(ordner.Count(), 0);
}

void TstSpracheCharText::configFolderIsPreferred() {
    QTemporaryDir dir;
    QCOMPARE(TSpracheCharText::ChooseFilename(dir.path()), dir.filePath("SpracheCharText.txt"));
    QVERIFY(QDir(dir.path()).mkdir("Config"));
    Schreibe(dir, ".=\"Punkt\"\n", "Config/SpracheCharText.txt");
    QCOMPARE(TSpracheCharText::ChooseFilename(dir.path() + "/"), dir.filePath("Config/SpracheCharText.txt"));
}

void TstSpracheCharText::shippedFileHasAllWords() {
    TSpracheCharText t(cGeliefert);
    QVERIFY(t.LoadListe());
    QVERIFY(!t.GetZeilenschaltung(1).isEmpty());
    QVERIFY(!t.GetLeerzeile(1).isEmpty());
    for (int i = 1; i <= 3; ++i)
        QVERIFY(!t.GetAkzent(i).isEmpty());
    QStringList sonstiges;
    for (int i = 1; i <= 6; ++i)
        sonstiges << t.GetSonstiges(i);
    QCOMPARE(sonstiges.removeDuplicates(), 0);
    QStringList striche;
    for (int z = 1; z <= 5; ++z)
        striche << t.FindCharStr("-", z);
    QCOMPARE(striche.removeDuplicates(), 0); // every use of the dash sounds different
    QVERIFY(t.FindCharStr("\"", 1) != t.FindCharStr("\"", 2));
    QVERIFY(!t.FindCharStr(";", 0).isEmpty());
    QVERIFY(!t.FindCharStr("ß", 0).isEmpty());
    QCOMPARE(t.FindCharStr("1234", 0), QString());
}

// Nothing a user must type may be silent: every character that the template
// does not speak as a letter or digit needs a name in the shipped file.
QTEST_GUILESS_MAIN(TstSpracheCharText)
#include "tst_sprachechartext.moc"
