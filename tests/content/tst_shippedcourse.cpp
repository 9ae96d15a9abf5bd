// The course that ships with the program: every area is listed in order, and
// every training file in it loads with title, pairs and keystroke count.

#include "DatenC.h"
#include "SpracheCharTextC.h"
#include "TextFile.h"
#include "VorlageC.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

class TstShippedCourse : public QObject {
    Q_OBJECT

    QString FData;

private Q_SLOTS:
    void initTestCase() {
        FData = qEnvironmentVariable("TASTARO_DATA_DIR", QStringLiteral(TASTARO_SOURCE_DATA_DIR));
        QVERIFY(QFileInfo(FData).isDir());
    }

    void everyAreaAndFileLoads() {
        const QString Mp3Ordner = FData + QStringLiteral("/Mp3Texte/");
        TKat Kat(FData + QStringLiteral("/Trainingstexte"), QStringLiteral("*.kat"));
        QVERIFY(Kat.Count() >= 6);
        QCOMPARE(Kat.Count(), static_cast<int>(QDir(FData + QStringLiteral("/Trainingstexte"))
                                                   .entryList({QStringLiteral("*.kat")}, QDir::Files)
                                                   .size()));

        // Letters, digits and the signs of a German keyboard that need no dead key.
        const QString Erlaubt = QStringLiteral(" .,;:!?-'\"()/&%§$€+*=#_<>@[]{}\\|°äöüÄÖÜß");
        QSet<TFileTextType> Arten;
        bool Stimme2S = false;
        bool AudioS = false;
        for (int K = 0; K < Kat.Count(); ++K) {
            const TKatRec Bereich = Kat[K];
            if (K > 0)
                QVERIFY2(TitleSortKey(Kat[K - 1].Titel) <= TitleSortKey(Bereich.Titel),
                         qPrintable(Bereich.Titel));
            Arten.insert(GetFileTextType(Bereich.Filename));

            TDaten Daten(Bereich.Path, QStringLiteral("*.txt *.rtf"), Mp3Ordner);
            const int Dateien =
                QDir(Bereich.Path)
                    .entryList({QStringLiteral("*.txt"), QStringLiteral("*.rtf")}, QDir::Files)
                    .size();
            QVERIFY2(Daten.Count() == Dateien,
                     qPrintable(Bereich.Titel + QStringLiteral(": a file did not load")));
            QVERIFY2(Daten.Count() >= 5, qPrintable(Bereich.Titel));

            for (int D = 0; D < Daten.Count(); ++D) {
                const TDatenRec Rec = Daten[D];
                const QString Wo = Rec.Filename;
                Arten.insert(GetFileTextType(Rec.Filename));
                QVERIFY2(Rec.Daten.size() >= 10, qPrintable(Wo));
                QVERIFY2(!Rec.Titel.contains(QStringLiteral("{{")), qPrintable(Wo));
                int Summe = 0;
                // The default mode shows and speaks only B: an instruction in A
                // reaches the user as the pair's audio text, and an area's
                // first line says how the area works.
                QVERIFY2(D > 0 || !Rec.Daten.first().Mp3Filename.isEmpty(), qPrintable(Wo));
                for (const TDateiRec& Paar : Rec.Daten) {
                    QVERIFY2(Paar.A == Paar.B || !Paar.Mp3Filename.isEmpty(),
                             qPrintable(Wo + QStringLiteral(": no audio text for ") + Paar.A));
                    QVERIFY2(Paar.A != QStringLiteral("-") && Paar.B != QStringLiteral("-"), qPrintable(Wo));
                    QVERIFY2(!Paar.A.contains(QStringLiteral("{{")),
                             qPrintable(Wo + QStringLiteral(": ") + Paar.A));
                    for (const QChar C : Paar.B)
                        QVERIFY2(C.isLetterOrNumber() ? (C.unicode() < 128 || Erlaubt.contains(C))
                                                      : Erlaubt.contains(C),
                                 qPrintable(Wo + QStringLiteral(": ") + Paar.B));
                    Summe += TDatei::KeystrokeCount(Paar.B);
                    Stimme2S = Stimme2S || Paar.AStimme2S || Paar.BStimme2S;
                    if (!Paar.Mp3Filename.isEmpty()) {
                        QVERIFY2(QFileInfo(Paar.Mp3Filename).isFile(), qPrintable(Paar.Mp3Filename));
                        AudioS = true;
                    }
                }
                QCOMPARE(Rec.OriginalCount, Summe);
            }
        }
        QVERIFY(Stimme2S);
        QVERIFY(AudioS);
        for (const TFileTextType Art : {fttAnsi, fttUnicode, fttRtf, fttUtf8, fttUtf8Bom})
            QVERIFY2(Arten.contains(Art), qPrintable(QString::number(Art)));
    }

    // Every sign of the course that is spoken by name has a name in the shipped file.
    void everyCourseCharacterHasSpokenName() {
        const QString kurs = QStringLiteral(TASTARO_SOURCE_DATA_DIR "/Trainingstexte");
        QStringList dateien;
        QDirIterator it(kurs, {"*.txt", "*.rtf"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            dateien << it.next();
        if (dateien.isEmpty())
            QSKIP("No training files in data/Trainingstexte yet; the check runs once the course is there.");
        TSpracheCharText t(QStringLiteral(TASTARO_SOURCE_DATA_DIR "/Config/SpracheCharText.txt"));
        QStringList fehlen;
        QSet<QChar> gemeldet;
        for (const QString& datei : std::as_const(dateien)) {
            QString text;
            try {
                text = ReadTextFile(datei);
            } catch (const ETextFileError& e) {
                QFAIL(qPrintable(datei + ": " + e.Message()));
            }
            const QStringList zeilen = text.split(QRegularExpression("\r\n|\r|\n"));
            for (qsizetype z = 1; z < zeilen.size(); ++z) {
                for (const QChar c : zeilen.at(z)) {
                    if (c.unicode() <= 32) continue;
                    const TVorlageSprachtextTyp typ = GetSprachtextTyp(c);
                    const bool brauchtNamenS =
                        typ == stSatzzeichen || typ == stSonder || !c.isLetterOrNumber();
                    if (!brauchtNamenS || gemeldet.contains(c) || !t.FindCharStr(QString(c), 0).isEmpty())
                        continue;
                    gemeldet.insert(c);
                    fehlen << QStringLiteral("U+%1 '%2' (%3, Zeile %4)")
                                  .arg(c.unicode(), 4, 16, QLatin1Char('0'))
                                  .arg(c)
                                  .arg(QFileInfo(datei).fileName())
                                  .arg(z + 1);
                }
            }
        }
        QVERIFY2(fehlen.isEmpty(), qPrintable("Ohne gesprochenen Namen: " + fehlen.join(", ")));
    }
};

QTEST_GUILESS_MAIN(TstShippedCourse)
#include "tst_shippedcourse.moc"
