#include "VorlageC.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A small vocabulary whose words are easy to recognise in the results.
const QByteArray cWoerter = "1=\"Umbruch\"\n"
                            "2=\"Leerzeile\"\n"
                            "3=\"Akut\"|\"Gravis\"|\"Zirkumflex\"\n"
                            "4=\"und\"|\"Zahl\"|\"Ende\"|\"klein\"|\"groß\"|\"Großbuchstaben\"\n"
                            ".=\"Punkt\"\n"
                            ",=\"Komma\"\n"
                            ":=\"Doppelpunkt\"\n"
                            "'=\"Apostroph\"\n"
                            "\"=\"Anführung\"|\"Abführung\"\n"
                            "-=\"Gedankenstrich\"|\"Ergänzungsstrich\"|\"Bindestrich\"|\"Minus\"|\"Strich\"\n"
                            "(=\"Klammer auf\"\n"
                            ")=\"Klammer zu\"\n"
                            "\xC3\x9F=\"scharfes s\"\n";

// Parts as "text/Typ/Zusatz" joined by " ", line breaks shown as \r.
QString Teile(const TVorlageWortRec& AWort) {
    QStringList r;
    for (const TVorlageWortTeileRec& t : AWort.Teile)
        r << QStringLiteral("%1/%2/%3").arg(t.Text).arg(t.Typ).arg(t.Zusatz);
    return r.join(' ');
}

} // namespace

class TstVorlage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void splitWord_data();
    void splitWord();
    void positions_data();
    void positions();
    void spokenWord_data();
    void spokenWord();
    void afterColonTheCaseIsSaid();
    void manyLeadingZerosAreSpokenQuickly();
    void chunks();
    void userPosition();
    void wordListing();
    void integerConversion_data();
    void integerConversion();
    void withoutSpeechTextsNothingFails();

private:
    QTemporaryDir FDir;
    QString FDatei;
};

void TstVorlage::initTestCase() {
    FDatei = FDir.filePath("SpracheCharText.txt");
    QFile f(FDatei);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(cWoerter);
}

void TstVorlage::splitWord_data() {
    QTest::addColumn<QString>("wort");
    QTest::addColumn<QString>("teile");
    QTest::addColumn<bool>("pause");
    // Typ: 3 Text, 4 Grenze, 5 Satzzeichen, 6 Strich
    QTest::newRow("Haus.") << "Haus."
                           << "Haus/3/0 ./5/0" << true;
    QTest::newRow("3.") << "3."
                        << "3/3/0 ./5/0" << false;
    QTest::newRow("z.B.") << "z.B."
                          << "z.B/3/0 ./5/0" << true;
    QTest::newRow("lone period") << "."
                                 << "./5/0" << false;
    QTest::newRow("E-Mail") << "E-Mail"
                            << "E/3/0 -/6/3 Mail/3/0" << false;
    QTest::newRow("-5") << "-5"
                        << "-/6/4 5/3/0" << false;
    QTest::newRow("Vor-") << "Vor-"
                          << "Vor/3/0 -/6/2" << false;
    QTest::newRow("lone dash") << "-"
                               << "-/6/1" << true;
    QTest::newRow("--") << "--"
                        << "--/6/5" << false;
    QTest::newRow("quoted Hallo,") << "\"Hallo,\""
                                   << "\"/4/1 Hallo/3/0 ,/5/0 \"/4/2" << true;
    QTest::newRow("geht's") << "geht's"
                            << "geht's/3/0" << false;
    QTest::newRow("apostrophes") << "'Hallo'"
                                 << "'/4/0 Hallo/3/0 '/4/0" << false;
    QTest::newRow("(ja)") << "(ja)"
                          << "(/4/0 ja/3/0 )/4/0" << false;
    QTest::newRow("usw.)") << "usw.)"
                           << "usw/3/0 ./5/0 )/4/0" << true;
    QTest::newRow("10:30") << "10:30"
                           << "10:30/3/0" << false;
    QTest::newRow("3,5") << "3,5"
                         << "3,5/3/0" << false;
    QTest::newRow("a/b") << "a/b"
                         << "a/3/0 //4/0 b/3/0" << false;
    QTest::newRow("comma") << "ja,"
                           << "ja/3/0 ,/5/0" << true;
    QTest::newRow("several marks") << "was?!"
                                   << "was/3/0 ?!/5/0" << true;
    QTest::newRow("dash in quotes") << "\"-\""
                                    << "\"/4/1 -/6/1 \"/4/2" << false;
    QTest::newRow("dash after bracket") << "(-"
                                        << "(/4/0 -/6/1" << true;
    QTest::newRow("tab is text") << "a\tb"
                                 << "a\tb/3/0" << false;
}

void TstVorlage::splitWord() {
    QFETCH(QString, wort);
    QFETCH(QString, teile);
    QFETCH(bool, pause);
    TVorlage v(FDatei);
    v.Split(wort);
    QCOMPARE(v.Count(), 1);
    QCOMPARE(Teile(v.Wort.at(0)), teile);
    QCOMPARE(v.Wort.at(0).PauseS, pause);
}

void TstVorlage::positions_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("woerter"); // "text@start+length" per word
    QTest::newRow("two lines") << "ab cd\r\nef"
                               << "ab@0+2 cd@3+2 \r@5+1 ef@6+2";
    QTest::newRow("final break") << "ab\n"
                                 << "ab@0+2";
    QTest::newRow("first line empty") << "\nab"
                                      << "\r\r@-1+2 ab@1+2";
    QTest::newRow("two empty lines") << "ab\n\n\ncd"
                                     << "ab@0+2 \r\r@2+2 \r\r@3+2 cd@5+2";
    QTest::newRow("blank line") << "ab\r   \rcd"
                                << "ab@0+2 \r@2+1 \r@6+1 cd@7+2";
    QTest::newRow("leading blanks") << "  ab"
                                    << "ab@2+2";
    QTest::newRow("empty") << ""
                           << "";
}

void TstVorlage::positions() {
    QFETCH(QString, text);
    QFETCH(QString, woerter);
    TVorlage v(FDatei);
    v.Split(text);
    QStringList r;
    for (const TVorlageWortRec& w : std::as_const(v.Wort)) {
        QString t;
        for (const TVorlageWortTeileRec& teil : w.Teile)
            t += teil.Text;
        r << QStringLiteral("%1@%2+%3").arg(t).arg(w.ReSelStart).arg(w.ReSelLength);
        if (w.Teile.at(0).Typ == wtZeilenschaltung || w.Teile.at(0).Typ == wtLeerzeile) QVERIFY(w.PauseS);
    }
    QCOMPARE(r.join(' '), woerter);
}

void TstVorlage::spokenWord_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("gesprochen");
    QTest::newRow("Haus") << "Haus"
                          << "Haus";
    QTest::newRow("haus") << "haus"
                          << "haus";
    QTest::newRow("a") << "a"
                       << "klein a";
    QTest::newRow("B") << "B"
                       << "groß B";
    QTest::newRow("ß") << "ß"
                       << "scharfes s";
    QTest::newRow("USA") << "USA"
                         << "Großbuchstaben U S A Ende";
    QTest::newRow("iPhone") << "iPhone"
                            << "klein i groß P klein h klein o klein n klein e Ende";
    QTest::newRow("café") << "café"
                          << "café e Akut";
    QTest::newRow("grave and circumflex") << "Là-bas être"
                                          << "Là a Gravis Bindestrich bas être e Zirkumflex";
    QTest::newRow("007") << "007"
                         << "Zahl 0 0 7";
    QTest::newRow("2024") << "2024"
                          << "Zahl 2024";
    QTest::newRow("0815") << "0815"
                          << "Zahl 0 815";
    QTest::newRow("00") << "00"
                        << "Zahl 0 0";
    QTest::newRow("0") << "0"
                       << "Zahl 0";
    QTest::newRow("0,5") << "0,5"
                         << "Zahl 0 ,5";
    QTest::newRow("zeros before a letter") << "000a"
                                           << "Zahl 0 0 0 und klein a";
    QTest::newRow("z.B") << "z.B"
                         << "klein z Punkt und groß B";
    QTest::newRow("H2O") << "H2O"
                         << "groß H und Zahl 2 und groß O";
    QTest::newRow("3,5 Liter") << "3,5l"
                               << "Zahl 3,5 und klein l";
    QTest::newRow("Haus.") << "Haus."
                           << "Haus Punkt";
    QTest::newRow("E-Mail") << "E-Mail"
                            << "groß E Bindestrich Mail";
    QTest::newRow("-5") << "-5"
                        << "Minus Zahl 5";
    QTest::newRow("quoted") << "\"Hallo,\""
                            << "Anführung Hallo Komma Abführung";
    QTest::newRow("geht's") << "geht's"
                            << "geht Apostroph und klein s";
    QTest::newRow("unnamed sign") << "a€"
                                  << "klein a und";
    QTest::newRow("line break") << "ja\nnein"
                                << "ja Umbruch nein";
    QTest::newRow("empty line") << "ja\n\nnein"
                                << "ja Leerzeile nein";
}

void TstVorlage::spokenWord() {
    QFETCH(QString, text);
    QFETCH(QString, gesprochen);
    TVorlage v(FDatei);
    v.Split(text);
    QCOMPARE(v.GetSprichSlStr(), gesprochen);
}

void TstVorlage::afterColonTheCaseIsSaid() {
    TVorlage v(FDatei);
    v.Split("Achtung: Haus und: haus, Haus");
    QCOMPARE(v.GetSprichSlStr(),
             QString("Achtung Doppelpunkt groß Haus und Doppelpunkt klein haus Komma Haus"));
}

void TstVorlage::manyLeadingZerosAreSpokenQuickly() {
    // A pasted or generated line can hold a huge number; speaking it must not
    // freeze the program (separating the zeros used to take seconds).
    const qsizetype n = 1000000;
    TVorlage v(FDatei);
    QElapsedTimer uhr;
    uhr.start();
    v.Split(QString(n, u'0'));
    const QString gesprochen = v.GetSprichSlStr();
    QVERIFY2(uhr.elapsed() < 5000, qPrintable(QString::number(uhr.elapsed())));
    QCOMPARE(gesprochen.size(), 5 + 2 * n - 1);
    QVERIFY(gesprochen.startsWith(QStringLiteral("Zahl 0 0 0")));
    QVERIFY(gesprochen.endsWith(QStringLiteral(" 0 0")));
}

void TstVorlage::chunks() {
    TVorlage v(FDatei);
    v.Split("Das ist gut. Wir gehen.");
    QCOMPARE(v.SprichSl.size(), 2);
    QCOMPARE(v.SprichSl.at(0).TextNormal, QString("Das ist gut."));
    QCOMPARE(v.SprichSl.at(0).ReSelLength, 12);
    QCOMPARE(v.SprichSl.at(1).ReSelStart, 13);
    QCOMPARE(v.GetSprichSlStr(), QString("Das ist gut Punkt Wir gehen Punkt"));
    QCOMPARE(v.GetSprichSlStr(1), QString("Das ist gut. Wir gehen."));
    QCOMPARE(v.GetSprichSlStr(2), QString());
    QCOMPARE(v.GetSprichSlStr(-1), QString());

    // The line break after a sentence end belongs to that sentence's chunk.
    v.Split("Er kam. Sie ging.\nNeu hier");
    QCOMPARE(v.SprichSl.size(), 3);
    QCOMPARE(v.SprichSl.at(1).TextSprich, QString("Sie ging Punkt Umbruch"));
    QCOMPARE(v.SprichSl.at(2).TextNormal, QString("Neu hier"));
    QCOMPARE(v.SprichSl.at(2).ReSelStart, 18);

    v.Split("Nur ein Satz.");
    QCOMPARE(v.GetSprichSlStr(0), QString("Nur ein Satz."));
    v.Split("   ");
    QCOMPARE(v.SprichSl.size(), 0);
    QCOMPARE(v.GetSprichSlStr(), QString());
}

void TstVorlage::userPosition() {
    TVorlage v(FDatei);
    v.Split("Das ist gut. Wir gehen heim.");
    QCOMPARE(v.GetVoiceBenutzerPos(""), (TVoiceBenutzerPos{0, 0}));
    QCOMPARE(v.GetVoiceBenutzerPos("Das"), (TVoiceBenutzerPos{1, 1}));
    QCOMPARE(v.GetVoiceBenutzerPos("das ist"), (TVoiceBenutzerPos{1, 2}));
    QCOMPARE(v.GetVoiceBenutzerPos("Das ist gut. Wir"), (TVoiceBenutzerPos{2, 1}));
    QCOMPARE(v.GetVoiceBenutzerPos("Das ist gut. Wir gehen heim. Noch mehr"), (TVoiceBenutzerPos{2, 3}));
    v.Split("");
    QCOMPARE(v.GetVoiceBenutzerPos("Das"), (TVoiceBenutzerPos{0, 0}));
}

void TstVorlage::wordListing() {
    TVorlage v(FDatei);
    v.Split("E-Mail");
    QCOMPARE(TVorlage::GetWortStr(v.Wort.at(0)), QString("1.: \"E\" | Typ: Text | Flag: Nichts\r\n"
                                                         "2.: \"-\" | Typ: Strich | Flag: Bindestrich\r\n"
                                                         "3.: \"Mail\" | Typ: Text | Flag: Nichts\r\n"));
    v.Split("\"a\"");
    QVERIFY(TVorlage::GetWortStr(v.Wort.at(0)).contains("Typ: Grenze | Flag: Gedankenstrich/Anführung"));
    QVERIFY(TVorlage::GetWortStr(v.Wort.at(0)).contains("Typ: Grenze | Flag: Wortersatz/Ausführung"));
}

void TstVorlage::integerConversion_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("wert");
    QTest::newRow("decimal") << "2024" << true << 2024;
    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("blanks and sign") << "  +5" << true << 5;
    QTest::newRow("negative") << "-12" << true << -12;
    QTest::newRow("dollar hex") << "$1F" << true << 31;
    QTest::newRow("x hex") << "x10" << true << 16;
    QTest::newRow("0x hex") << "0X10" << true << 16;
    QTest::newRow("hex wraps") << "$FFFFFFFF" << true << -1;
    QTest::newRow("max") << "2147483647" << true << 2147483647;
    QTest::newRow("min") << "-2147483648" << true << int(-2147483647 - 1);
    QTest::newRow("too big") << "2147483648" << false << 0;
    QTest::newRow("trailing letter") << "12a" << false << 0;
    QTest::newRow("trailing blank") << "12 " << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("prefix only") << "0x" << false << 0;
    QTest::newRow("decimal comma") << "3,5" << false << 0;
}

void TstVorlage::integerConversion() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, wert);
    int value = 0;
    QCOMPARE(TryStrToInt32(text, value), ok);
    if (ok) QCOMPARE(value, wert);
}

void TstVorlage::withoutSpeechTextsNothingFails() {
    QTemporaryDir leer;
    TVorlage v(leer.filePath("fehlt.txt"));
    v.Split("Haus. \"ß\" USA");
    QCOMPARE(v.GetSprichSlStr(), QString("Haus ß U S A"));
    // Arbitrary code units, control characters and long lines never break the split.
    QRandomGenerator rng(4711);
    for (int runde = 0; runde < 200; ++runde) {
        QString s;
        const int n = rng.bounded(300);
        for (int i = 0; i < n; ++i)
            s += QChar(static_cast<char16_t>(rng.bounded(2) ? rng.bounded(128) : rng.bounded(0x10000)));
        v.Split(s);
        for (const TVorlageWortRec& w : std::as_const(v.Wort))
            QVERIFY(!w.Teile.isEmpty());
        Q_UNUSED(v.GetSprichSlStr());
        Q_UNUSED(v.GetVoiceBenutzerPos(s));
    }
}

QTEST_GUILESS_MAIN(TstVorlage)
#include "tst_vorlage.moc"
