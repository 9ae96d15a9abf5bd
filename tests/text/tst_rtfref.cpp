#include "RtfRef.h"

#include <QFont>
#include <QTest>

namespace {

// What LibreOffice Writer saves for a short German exercise.
const char* const LibreOfficeSample =
    "{\\rtf1\\ansi\\deff4\\adeflang1025\n"
    "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f1\\froman\\fprq2\\fcharset2 "
    "Symbol;}{\\f2\\fswiss\\fprq2\\fcharset0 Arial;}{\\f3\\froman\\fprq2\\fcharset0 Liberation "
    "Serif{\\*\\falt Times New Roman};}{\\f4\\fswiss\\fprq2\\fcharset0 Liberation Sans{\\*\\falt Arial};}}\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red128\\green128\\blue128;}\n"
    "{\\stylesheet{\\s0\\snext0\\rtlch\\af6\\afs24\\alang1081 "
    "\\ltrch\\lang1031\\langfe2052\\hich\\af3\\loch\\widctlpar\\hyphpar0\\ltrpar\\cf0\\f3\\fs24\\lang1031\\ke"
    "rning1 Standard;}\n"
    "{\\s15\\sbasedon0\\snext16\\keepn\\sb240\\sa120 \\u220\\'dcberschrift;}\n"
    "}{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}{\\info{\\title "
    "Lektion "
    "1}{\\creatim\\yr2024\\mo5\\dy4\\hr10\\min12}{\\revtim\\yr2024\\mo5\\dy4\\hr10\\min13}{"
    "\\printim\\yr0\\mo0\\dy0\\hr0\\min0}}{\\*\\userprops}\\deftab709\n"
    "\\hyphauto1\\viewscale100\n"
    "{\\*\\pgdsctbl\n"
    "{\\pgdsc0\\pgdscuse451\\pgwsxn11906\\pghsxn16838\\marglsxn1134\\margrsxn1134\\margtsxn1134\\margbsxn1134"
    "\\pgdscnxt0 Standard;}}\n"
    "\\formshade\\paperh16838\\paperw11906\\margl1134\\margr1134\\margt1134\\margb1134\\sectd\\sbknone\\sftnn"
    "ar\\saftnnrlc\\sectunlocked1\\pgwsxn11906\\pghsxn16838\\marglsxn1134\\margrsxn1134\\margtsxn1134\\margbs"
    "xn1134\\ftnbj\\ftnstart1\\ftnrstcont\\ftnnar\\aenddoc\\aftnrstcont\\aftnstart1\\aftnnrlc\n"
    "{\\*\\ftnsep\\chftnsep}\\pgndec\\pard\\plain \\s0\\snext0\\rtlch\\af6\\afs24\\alang1081 "
    "\\ltrch\\lang1031\\langfe2052\\hich\\af3\\loch\\widctlpar\\hyphpar0\\ltrpar\\cf0\\f3\\fs24\\lang1031\\ke"
    "rning1{\\rtlch \\ltrch\\loch\n"
    "Tastaturtraining Lektion 1}\n"
    "\\par \\pard\\plain \\s0\\snext0\\rtlch\\af6\\afs24\\alang1081 "
    "\\ltrch\\lang1031\\hich\\af3\\loch\\f3\\fs24\\lang1031{\\rtlch \\ltrch\\loch\n"
    "asdf jkl\\u246\\'f6}\n"
    "\\par \\pard\\plain \\s0\\snext0\\rtlch\\af6\\afs24\\alang1081 "
    "\\ltrch\\lang1031\\hich\\af3\\loch\\f3\\fs24\\lang1031{\\rtlch \\ltrch\\loch\n"
    "Gr\\u252\\'fc\\u223\\'dfe {\\b Welt}\\tab \\u8222\\'84Zitat\\u8220\\'93}\n"
    "\\par }";

// What MS Word saves: long header tables, a header line, a hyperlink field and
// the theme and data store blobs after the body.
const char* const WordSample =
    "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff31507\\deff0\\stshfdbch31505\\stshfloch31506\\stshfh"
    "ich31506\\stshfbi31507\\deflang1031\\deflangfe1031\\themelang1031{\\fonttbl{\\f0\\fbidi "
    "\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}\n"
    "{\\f34\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02040503050406030204}Cambria Math;}{\\f37\\fbidi "
    "\\fswiss\\fcharset0\\fprq2{\\*\\panose 020f0502020204030204}Calibri;}{\\flomajor\\f31500\\fbidi "
    "\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}}\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}{\\*\\defchp "
    "\\fs22\\loch\\af31506\\hich\\af31506\\dbch\\af31505 }{\\*\\defpap \\ql "
    "\\li0\\ri0\\sa160\\sl259\\slmult1 }\n"
    "{\\stylesheet{\\ql \\li0\\ri0\\sa160\\sl259\\slmult1 \\f31506\\fs22\\lang1031 \\snext0 \\sqformat "
    "\\spriority0 Normal;}{\\*\\cs10 \\additive \\ssemihidden \\sunhideused \\spriority1 Default Paragraph "
    "Font;}}\n"
    "{\\*\\rsidtbl "
    "\\rsid1004513\\rsid4748279}{\\mmathPr\\mmathFont34\\mbrkBin0\\mbrkBinSub0}{\\info{\\author "
    "Lehrer}{\\operator "
    "Lehrer}{\\creatim\\yr2024\\mo1\\dy8\\hr9\\min30}{\\version2}{\\edmins1}{\\nofpages1}{\\nofwords5}{"
    "\\vern57}}{\\*\\xmlnstbl {\\xmlns1 http://schemas.microsoft.com/office/word/2003/wordml}}\n"
    "\\paperw11906\\paperh16838\\margl1417\\margr1417\\margt1417\\margb1134\\gutter0\\ltrsect\n"
    "\\widowctrl\\ftnbj\\aenddoc\\hyphhotz425\\trackmoves0\\trackformatting1\\donotembedsysfont1\\relyonvml0"
    "\\donotembedlingdata0\\grfdocevents0\\validatexml1\n"
    "\\jexpand\\viewkind1\\viewscale100\\pgbrdrhead\\pgbrdrfoot\\splytwnine\\ftnlytwnine\\htmautsp\\nolnhtadj"
    "tbl\\useltbaln\\alntblind\\lytcalctblwd\\lyttblrtgr\\lnbrkrule\\nobrkwrptbl\n"
    "{\\*\\wgrffmtfilter 2450}\\nofeaturethrottle1\\ilfomacatclnup0{\\*\\ftnsep \\ltrpar \\pard\\plain "
    "\\ltrpar\\ql \\li0\\ri0\\widctlpar\\wrapdefault\\itap0 \\rtlch\\fcs1 \\af31507\\afs22\\alang1025 "
    "\\ltrch\\fcs0 {\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid4748279 \\chftnsep\n"
    "\\par }}\n"
    "\\ltrpar \\sectd "
    "\\ltrsect\\linex0\\headery708\\footery708\\colsx708\\endnhere\\sectlinegrid360\\sectdefaultcl\\sftnbj "
    "{\\*\\pnseclvl1\\pnucrm\\pnstart1\\pnindent720\\pnhang {\\pntxta .}}\n"
    "{\\headerr \\ltrpar \\pard\\plain \\ltrpar\\s15\\ql \\li0\\ri0\\widctlpar {\\rtlch\\fcs1 \\af31507 "
    "\\ltrch\\fcs0 \\insrsid4748279 Kopfzeile Seite }{\\field{\\*\\fldinst {\\rtlch\\fcs1 \\af31507 "
    "\\ltrch\\fcs0 PAGE }}{\\fldrslt {\\rtlch\\fcs1 \\ltrch\\fcs0 1}}}\\par }\n"
    "\\pard\\plain \\ltrpar\\ql "
    "\\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar\\wrapdefault\\aspalpha\\aspnum\\faauto\\adjustright\\rin0\\"
    "lin0\\itap0\\pararsid4748279 \\rtlch\\fcs1 \\af31507\\afs22\\alang1025 \\ltrch\\fcs0 "
    "\\f31506\\fs22\\lang1031\\langfe1031\\cgrid\\langnp1031\\langfenp1031 {\\rtlch\\fcs1 \\af31507 "
    "\\ltrch\\fcs0 \\insrsid4748279 \\'dcbung 1: Gro\\'dfe F\\'fc\\'dfe}{\\rtlch\\fcs1 \\af31507 "
    "\\ltrch\\fcs0 \\insrsid4748279\n"
    "\\par }{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid4748279 Mehr unter }{\\field{\\*\\fldinst "
    "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid4748279  HYPERLINK \"https://example.org/\" "
    "}{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid4748279 {\\*\\datafield "
    "00d0c9ea79f9bace118c8200aa004ba90b02000000170000001500000068007400740070003a002f002f0000}}}{\\fldrslt "
    "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\cs15\\ul\\cf2\\insrsid4748279 Beispiel}}}\\sectd "
    "\\ltrsect\\linex0\\endnhere\\sectlinegrid360\\sectdefaultcl\\sftnbj {\\rtlch\\fcs1 \\af31507 "
    "\\ltrch\\fcs0 \\insrsid4748279\n"
    "\\par }{\\*\\themedata "
    "504b030414000600080000002100e9de0fbfff0000001c020000130000005b436f6e74656e745f54797065735d2e786d6cac91cb"
    "4ec3301045f748fc83e52d4a}\n"
    "{\\*\\colorschememapping "
    "3c3f786d6c2076657273696f6e3d22312e302220656e636f64696e673d225554462d3822207374616e64616c6f6e653d22796573"
    "223f3e0d0a}\n"
    "{\\*"
    "\\latentstyles\\lsdstimax376\\lsdlockeddef0\\lsdsemihiddendef0\\lsdunhideuseddef0\\lsdqformatdef0\\lsdpr"
    "ioritydef99{\\lsdlockedexcept \\lsdqformat1 \\lsdpriority0 \\lsdlocked0 Normal;\\lsdqformat1 "
    "\\lsdpriority9 \\lsdlocked0 heading 1;}}{\\*\\datastore 01050000\n"
    "02000000180000004d73786d6c322e534158584d4c5265616465722e362e3000000000000000000000060000\n"
    "d0cf11e0a1b11ae1000000000000000000000000000000003e000300feff09000600000000000000000000000100000001000000"
    "00000000}}";

// What WordPad saves: code page from the font's character set, old-style
// list bullets.
const char* const WordPadSample =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1031{\\fonttbl{\\f0\\fnil\\fcharset0 "
    "Calibri;}{\\f1\\fnil\\fcharset238 Calibri;}{\\f2\\fnil\\fcharset2 Symbol;}}\n"
    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \n"
    "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang7 Gr\\'fc\\'dfe aus "
    "\\f1\\lang1045\\'a3\\'f3d\\'9f\\f0\\lang7\\par\n"
    "\\pard{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'b7}}\\fi-"
    "360\\li720\\sa200\\sl276\\slmult1 Punkt eins\\par\n"
    "{\\pntext\\f2\\'b7\\tab}Punkt zwei\\par\n"
    "}\n"
    "";

} // namespace

void AddReadRows() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    const auto Row = [](const char* AName, const char* ARtf, const QString& AText) {
        QTest::newRow(AName) << QByteArray(ARtf) << AText;
    };
    Row("paragraphs", "{\\rtf1 Eins\\par Zwei\\par}", QStringLiteral("Eins\r\nZwei"));
    Row("no final par", "{\\rtf1 Eins\\par Zwei}", QStringLiteral("Eins\r\nZwei"));
    Row("empty last paragraph", "{\\rtf1 Eins\\par\\par}", QStringLiteral("Eins\r\n"));
    Row("empty paragraphs between", "{\\rtf1 A\\par\\par\\par B}", QStringLiteral("A\r\n\r\n\r\nB"));
    Row("line", "{\\rtf1 A\\line B}", QStringLiteral("A\r\nB"));
    Row("tab", "{\\rtf1 A\\tab B}", QStringLiteral("A\tB"));
    Row("raw CR LF ignored", "{\\rtf1 Ha\r\nl\nl\ro}", QStringLiteral("Hallo"));
    Row("backslash newline is a paragraph", "{\\rtf1 A\\\nB}", QStringLiteral("A\r\nB"));
    Row("one space eaten", "{\\rtf1\\b  zwei}", QStringLiteral(" zwei"));
    Row("negative parameter", "{\\rtf1\\fi-360 Text}", QStringLiteral("Text"));
    Row("1252 umlauts", "{\\rtf1\\ansi\\ansicpg1252 Gr\\'fc\\'dfe \\'80}", QString::fromUtf8("Grüße €"));
    Row("default code page", "{\\rtf1 \\'e4\\'c4}", QString::fromUtf8("äÄ"));
    Row("code page 1250", "{\\rtf1\\ansi\\ansicpg1250 \\'b3\\'9f}", QString::fromUtf8("łź"));
    Row("code page 1251", "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}", QString::fromUtf8("При"));
    Row("code page 437", "{\\rtf1\\pc \\'81\\'e1}", QString::fromUtf8("üß"));
    Row("code page 850", "{\\rtf1\\ansi\\ansicpg850 \\'81\\'9c}", QString::fromUtf8("ü£"));
    Row("font character set", "{\\rtf1{\\fonttbl{\\f0 A;}{\\f1\\fcharset238 B;}}\\f1\\'b3\\f0\\'b3}",
        QString::fromUtf8("ł³"));
    Row("unicode uc1", "{\\rtf1\\uc1 \\u8364?}", QString::fromUtf8("€"));
    Row("unicode uc0", "{\\rtf1\\uc0 \\u8364 X}", QString::fromUtf8("€X"));
    Row("unicode default skips one", "{\\rtf1 \\u8364?X}", QString::fromUtf8("€X"));
    Row("fallback as hex", "{\\rtf1\\uc1 \\u252\\'fc!}", QString::fromUtf8("ü!"));
    Row("uc2", "{\\rtf1\\uc2 \\u8364\\'80\\'80X}", QString::fromUtf8("€X"));
    Row("uc inside group", "{\\rtf1 {\\uc2 \\u8364??}\\u8364?X}", QString::fromUtf8("€€X"));
    Row("negative unicode", "{\\rtf1 \\u-3913?}", QString(QChar(0xF0B7)));
    Row("surrogate pair", "{\\rtf1 \\u-10179?\\u-8704?}", QString::fromUtf8("😀"));
    Row("non-breaking space and hyphens", "{\\rtf1 a\\~b\\_c\\-d}", QStringLiteral("a\u00A0b-cd"));
    Row("quotes dashes bullet",
        "{\\rtf1 \\lquote a\\rquote \\ldblquote b\\rdblquote \\emdash \\endash \\bullet}",
        QString::fromUtf8("‘a’“b”—–•"));
    Row("escaped braces", "{\\rtf1 \\{a\\}\\\\b}", QStringLiteral("{a}\\b"));
    Row("star destination", "{\\rtf1 A{\\*\\unbekannt versteckt {\\b tief}}B}", QStringLiteral("AB"));
    Row("tables",
        "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}{\\stylesheet{\\s0 Normal;}}Text}",
        QStringLiteral("Text"));
    Row("info group", "{\\rtf1{\\info{\\title Titel}{\\author Ich}}Text}", QStringLiteral("Text"));
    Row("picture", "{\\rtf1 A{\\pict\\pngblip\\picw10 89504e470d0a}B}", QStringLiteral("AB"));
    Row("header and footer", "{\\rtf1{\\header Kopf\\par}{\\footerr Fuss\\par}Text}", QStringLiteral("Text"));
    Row("header position is no header", "{\\rtf1\\headery708\\footery708 Text}", QStringLiteral("Text"));
    Row("field", "{\\rtf1 Siehe {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt Link}} hier}",
        QStringLiteral("Siehe Link hier"));
    Row("field without star", "{\\rtf1{\\field{\\fldinst PAGE}{\\fldrslt 3}}}", QStringLiteral("3"));
    Row("bin in picture", "{\\rtf1 A{\\pict\\bin4 }{\\\\}B}", QStringLiteral("AB"));
    Row("bin beyond end", "{\\rtf1 A\\bin999999 xy}", QStringLiteral("A"));
    Row("table cells", "{\\rtf1 A\\cell B\\cell\\row C}", QStringLiteral("A\tB\r\nC"));
    Row("rt garbage", "{\\rt", QString());
    Row("truncated", "{\\rtf1 Hallo", QStringLiteral("Hallo"));
    Row("truncated control", "{\\rtf1 A\\", QStringLiteral("A"));
    Row("truncated hex", "{\\rtf1 A\\'f", QStringLiteral("A"));
    Row("text after document", "{\\rtf1 A\\par}Rest}", QStringLiteral("A"));
    Row("unbalanced closing", "}}{\\rtf1 A}", QStringLiteral("A"));
    Row("LibreOffice Writer", LibreOfficeSample,
        QString::fromUtf8("Tastaturtraining Lektion 1\r\nasdf jklö\r\nGrüße Welt\t„Zitat“"));
    Row("MS Word", WordSample, QString::fromUtf8("Übung 1: Große Füße\r\nMehr unter Beispiel"));
    Row("WordPad", WordPadSample, QString::fromUtf8("Grüße aus Łódź\r\nPunkt eins\r\nPunkt zwei"));
}

class TstRtfRef : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reads_data() { AddReadRows(); }

    void reads() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(TRtfRef::RtfToText(rtf), text);
    }

    void survivesBrokenInput() {
        QCOMPARE(TRtfRef::RtfToText(QByteArray(300000, '{') + "x"), QStringLiteral("x"));
        QCOMPARE(
            TRtfRef::RtfToText("{\\rtf1 " + QByteArray(300000, '{') + "x" + QByteArray(300000, '}') + "y}"),
            QStringLiteral("xy"));
        // Pseudo-random bytes rich in RTF syntax must neither crash nor hang.
        const QByteArray Alphabet = "{}\\'*ubinparc0123456789- \r\nxyz\x80\xff";
        quint32 Seed = 12345;
        for (int Round = 0; Round < 200; ++Round) {
            QByteArray Junk = "{\\rt";
            for (int I = 0; I < 2000; ++I) {
                Seed = Seed * 1103515245u + 12345u;
                Junk.append(Alphabet[(Seed >> 16) % Alphabet.size()]);
            }
            (void)TRtfRef::RtfToText(Junk);
        }
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("umlauts and euro") << QString::fromUtf8("Grüße, Ärger, Öl, Übung: 5 €");
        QTest::newRow("outside 1252") << QString::fromUtf8("łódź ✓ 😀 Привет");
        QTest::newRow("tabs braces backslashes") << QStringLiteral("a\tb {c} \\d\\ \\par\t");
        QTest::newRow("empty lines") << QStringLiteral("\r\nEins\r\n\r\nZwei\r\n\r\n");
        QTest::newRow("leading blanks and digits") << QStringLiteral("  12 ab\r\n3\r\n u");
        QTest::newRow("C1 controls") << QStringLiteral("\u0081\u008D\u00A0\u00FF");
    }

    void roundTrip() {
        QFETCH(QString, text);
        QCOMPARE(TRtfRef::RtfToText(TRtfRef::TextToRtf(text, nullptr)), text);
        QFont Font(QStringLiteral("Liberation Mono"), 11);
        Font.setItalic(true);
        QCOMPARE(TRtfRef::RtfToText(TRtfRef::TextToRtf(text, &Font)), text);
    }

    void lineBreaksBecomeParagraphs() {
        QCOMPARE(TRtfRef::RtfToText(TRtfRef::TextToRtf(QStringLiteral("a\rb\nc\r\nd"), nullptr)),
                 QStringLiteral("a\r\nb\r\nc\r\nd"));
    }

    void writesFont_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<bool>("strike");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("plain")
            << QStringLiteral("Courier New") << 14 << false << false << false << false
            << QByteArray("{\\f0\\fnil\\fcharset0 Courier New;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs28 ");
        QTest::newRow("all styles") << QStringLiteral("Arial") << 10 << true << true << true << true
                                    << QByteArray("\\f0\\fs20\\b\\i\\ul\\strike ");
    }

    void writesFont() {
        QFETCH(QString, family);
        QFETCH(int, points);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(bool, underline);
        QFETCH(bool, strike);
        QFETCH(QByteArray, expected);
        QFont Font(family, points);
        Font.setBold(bold);
        Font.setItalic(italic);
        Font.setUnderline(underline);
        Font.setStrikeOut(strike);
        const QByteArray Rtf = TRtfRef::TextToRtf(QStringLiteral("x"), &Font);
        QVERIFY(Rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl"));
        QVERIFY2(Rtf.contains(expected), Rtf.constData());
        QVERIFY(Rtf.trimmed().endsWith('}'));
    }

    void writesDefaultFontAndEscapes() {
        const QByteArray Rtf = TRtfRef::TextToRtf(QString::fromUtf8("ü€ł\t{\\}"), nullptr);
        QVERIFY2(Rtf.contains("Arial;") && Rtf.contains("\\fs24 "), Rtf.constData());
        QVERIFY2(Rtf.contains("\\'fc\\'80\\u322?\\tab \\{\\\\\\}\\par"), Rtf.constData());
    }
};

QTEST_MAIN(TstRtfRef)
#include "tst_rtfref.moc"
