#include "EinstellungenSpeicher.h"
#include "PlainIni.h"
#include "VollerDatentraeger.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The loaded value of one field in a compact text form, so that one table
// can cover every rule.
QString Feld(const TEinstellungen& E, const TGespeicherteWerte& W, const QString& AFeld) {
    auto B = [](bool AS) { return AS ? QStringLiteral("1") : QStringLiteral("0"); };
    if (AFeld == "Sounds") {
        QString S;
        for (bool AnS : E.SoundsArr)
            S += B(AnS);
        return S;
    }
    if (AFeld == "Stil")
        return QString(W.FontKursivS ? "K" : "") + (W.FontFettS ? "F" : "") +
               (W.FontUnterstrichenS ? "U" : "") + (W.FontDurchgestrichenS ? "D" : "");
    const QHash<QString, QString> Werte = {
        {"Modus", QString::number(E.Modus)},
        {"Sapi", QString::number(E.Sapi)},
        {"TextVerschwinden", B(E.TextVerschwindenS)},
        {"Korrektur", B(E.KorrekturS)},
        {"Stimme", E.Stimme},
        {"VoiceRate", QString::number(E.VoiceRate)},
        {"VoiceVolume", QString::number(E.VoiceVolume)},
        {"Maximiert", B(W.MaximiertS)},
        {"Hoehe", QString::number(W.Hoehe)},
        {"Breite", QString::number(W.Breite)},
        {"FontName", W.FontName},
        {"FontSize", QString::number(W.FontSize)},
        {"FontColor", QString::number(W.FontColor)},
        {"Hintergrund", QString::number(W.HintergrundNr)},
    };
    return Werte.value(AFeld, "?");
}

// What the window reports before loading: normal, 640 x 480.
TGespeicherteWerte Fenster() {
    TGespeicherteWerte W;
    W.Hoehe = 480;
    W.Breite = 640;
    return W;
}

} // namespace

class TstEinstellungen : public QObject {
    Q_OBJECT
    QTemporaryDir FOrdner;
    int FNr = 0;

    // Each store gets a file of its own: QSettings caches files by path, size
    // and time, so rewriting one file within a second could read stale values.
    QString Datei(const QByteArray& AInhalt, QString AName = {}) {
        if (AName.isEmpty()) AName = QString("t%1.ini").arg(++FNr);
        const QString Pfad = FOrdner.filePath(AName);
        QFile F(Pfad);
        if (!F.open(QIODevice::WriteOnly)) qFatal("cannot write test file");
        F.write(AInhalt);
        return Pfad;
    }

private Q_SLOTS:
    void initTestCase() {
        // Before any QSettings resolves the user's configuration folder.
        qputenv("XDG_CONFIG_HOME", FOrdner.filePath("config").toLocal8Bit());
    }

    void leererSpeicherGibtStandards() {
        QSettings Store(Datei(""), PlainIniFormat());
        TEinstellungen E;
        E.Modus = mNachtippen;
        E.Stimme = "alt";
        TGespeicherteWerte W = Fenster();
        QVERIFY(EinstellungenLaden(Store, E, W));
        QCOMPARE(E, TEinstellungen{});
        QCOMPARE(W, Fenster()); // window stays, everything else at its default
        QCOMPARE(E.Modus, mUeberschreiben);
        QCOMPARE(E.Sapi, sapiAus);
        QCOMPARE(W.FontName, QString("Arial"));
        QCOMPARE(W.FontColor, -16777208);
        QCOMPARE(W.HintergrundNr, 1);
    }

    void ladeRegeln_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("feld");
        QTest::addColumn<QString>("erwartet");
        auto Zeile = [](const char* AName, const QByteArray& AIni, const char* AFeld, const char* AErw) {
            QTest::newRow(AName) << QByteArray("[General]\n" + AIni + "\n") << QString(AFeld)
                                 << QString(AErw);
        };
        Zeile("Sounds kurz", "Sounds=10", "Sounds", "10111");
        Zeile("Sounds leer", "Sounds=", "Sounds", "11111");
        Zeile("Sounds lang", "Sounds=0000011", "Sounds", "00000");
        Zeile("Sounds fremde Zeichen", "Sounds=x0a01", "Sounds", "00001");
        Zeile("Sounds als Liste", "Sounds=1, 0", "Sounds", "11111");
        Zeile("HintColor 12", "HintColor=12", "Hintergrund", "11");
        Zeile("HintColor 13", "HintColor=13", "Hintergrund", "17");
        Zeile("HintColor 19", "HintColor=19", "Hintergrund", "1");
        Zeile("HintColor -1", "HintColor=-1", "Hintergrund", "1");
        Zeile("HintColor 0", "HintColor=0", "Hintergrund", "0");
        Zeile("HintColor Text", "HintColor=blau", "Hintergrund", "1");
        Zeile("WindowState 1", "WindowState=1", "Maximiert", "1");
        Zeile("WindowState fehlt", "", "Maximiert", "0");
        Zeile("WindowState Text", "WindowState=max", "Maximiert", "0");
        Zeile("Height 100", "Height=100", "Hoehe", "480");
        Zeile("Height negativ", "Height=-900", "Hoehe", "480");
        Zeile("Width 800", "Width=800", "Breite", "800");
        Zeile("FontStyle 3", "FontStyle=3", "Stil", "KF");
        Zeile("FontStyle 2", "FontStyle=2", "Stil", "F");
        Zeile("FontStyle -1", "FontStyle=-1", "Stil", "");
        Zeile("FontStyle fremde Bits", "FontStyle=48", "Stil", "");
        Zeile("FontName leer", "FontName=", "FontName", "Arial");
        Zeile("FontSize 0", "FontSize=0", "FontSize", "12");
        Zeile("FontColor", "FontColor=255", "FontColor", "255");
        Zeile("FontColor Text", "FontColor=rot", "FontColor", "-16777208");
        Zeile("Modus 2", "Modus=2", "Modus", "1");
        Zeile("Modus -1", "Modus=-1", "Modus", "1");
        Zeile("Sapi 3", "Sapi=3", "Sapi", "2");
        Zeile("Boolean nicht null", "TextVerschwinden=5", "TextVerschwinden", "1");
        Zeile("Boolean als true", "TextVerschwinden=true", "TextVerschwinden", "0");
        Zeile("Boolean Text", "Korrektur=aus", "Korrektur", "1");
        Zeile("Zahl mit Komma", "VoiceRate=1.5", "VoiceRate", "-1");
        Zeile("Zahl zu gross", "VoiceRate=99999999999", "VoiceRate", "-1");
        Zeile("Text als Liste", "Stimme=a, b", "Stimme", "");
        Zeile("Text mit Komma", "Stimme=\"a, b\"", "Stimme", "a, b");
        Zeile("Text mit @", "Stimme=@@Stimme", "Stimme", "@Stimme");
        Zeile("serialisierter Wert", "Height=@Variant(\\0\\0\\0\\vx2\\4)", "Hoehe", "480");
        Zeile("serialisierter Text", "Stimme=@ByteArray(abc)", "Stimme", "");
        Zeile("FontSize 500", "FontSize=500", "FontSize", "35");
        Zeile("FontSize groesste Zahl", "FontSize=2147483647", "FontSize", "35");
        Zeile("FontSize 2", "FontSize=2", "FontSize", "5");
        Zeile("VoiceRate groesste Zahl", "VoiceRate=2147483647", "VoiceRate", "10");
        Zeile("VoiceVolume kleinste Zahl", "VoiceVolume=-2147483648", "VoiceVolume", "0");
    }

    void ladeRegeln() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, feld);
        QFETCH(QString, erwartet);
        QSettings Store(Datei(ini), PlainIniFormat());
        TEinstellungen E;
        TGespeicherteWerte W = Fenster();
        QVERIFY(EinstellungenLaden(Store, E, W));
        QCOMPARE(Feld(E, W, feld), erwartet);
    }

    // Typed values as the registry delivers them: a number where a text belongs
    // counts as absent, and so does a number beyond 32 bits.
    void typisierteWerte() {
        QSettings Store(Datei(""), PlainIniFormat());
        Store.setValue("Stimme", 5);
        Store.setValue("Modus", qlonglong(0));
        Store.setValue("VoiceRate", quint64(5000000000));
        Store.setValue("VoiceVolume", 1.0);
        TEinstellungen E;
        TGespeicherteWerte W;
        QVERIFY(EinstellungenLaden(Store, E, W));
        QCOMPARE(E.Stimme, QString());
        QCOMPARE(E.Modus, mNachtippen);
        QCOMPARE(E.VoiceRate, -1);
        QCOMPARE(E.VoiceVolume, 100);
    }

    void unbrauchbarerSpeicher_data() {
        QTest::addColumn<QString>("pfad");
        Datei("", "datei");
        QTest::newRow("nicht beschreibbar") << FOrdner.filePath("datei/unter/t.ini");
    }

    void unbrauchbarerSpeicher() {
        QFETCH(QString, pfad);
        QFile F(pfad);
        const bool DaS = F.exists();
        const QByteArray Vorher = DaS && F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
        F.close();
        QSettings Store(pfad, PlainIniFormat());
        TEinstellungen E;
        E.Modus = mNachtippen;
        TGespeicherteWerte W = Fenster();
        QVERIFY(!EinstellungenLaden(Store, E, W));
        QCOMPARE(E, TEinstellungen{});
        QCOMPARE(W, Fenster());
        QVERIFY(!EinstellungenSpeichern(Store, E, W));
        QCOMPARE(F.exists(), DaS);
        if (DaS) {
            QVERIFY(F.open(QIODevice::ReadOnly));
            QCOMPARE(F.readAll(), Vorher); // a broken file is left as it was
        }
    }

    // A damaged file loads as all defaults, not half; the first save keeps it
    // beside as "<name>.defekt" and then writes a sound file.
    void beschaedigterSpeicher_data() {
        QTest::addColumn<QByteArray>("inhalt");
        QTest::newRow("offener Abschnitt") << QByteArray("[General\nModus=0\nHintColor=5\n");
        QTest::newRow("Zeile ohne =") << QByteArray("[General]\nModus=0\nirgendwas\nHintColor=5\n");
        QTest::newRow("Binaerbytes") << QByteArray("[General]\nModus=0\n\x01\xff\xfeHintColor=5\n");
        QTest::newRow("offenes Anfuehrungszeichen") << QByteArray("[General]\nModus=0\nStimme=\"de\n");
    }

    void beschaedigterSpeicher() {
        QFETCH(QByteArray, inhalt);
        const QString Pfad = Datei(inhalt);
        TEinstellungen E;
        TGespeicherteWerte W = Fenster();
        {
            QSettings Store(Pfad, PlainIniFormat());
            QVERIFY(!EinstellungenLaden(Store, E, W));
            QCOMPARE(E, TEinstellungen{});
            E.Modus = mNachtippen;
            QVERIFY(EinstellungenSpeichern(Store, E, W));
        }
        QFile Defekt(DamagedStoreFile(Pfad));
        QVERIFY(Defekt.open(QIODevice::ReadOnly));
        QCOMPARE(Defekt.readAll(), inhalt);
        QSettings Store(Pfad, PlainIniFormat());
        TEinstellungen E2;
        QVERIFY(EinstellungenLaden(Store, E2, W));
        QCOMPARE(E2.Modus, mNachtippen);
    }

    // A save that does not fit on the disk fails and leaves the old file whole.
    void vollerDatentraeger_data() {
        QTest::addColumn<int>("frei");
        QTest::newRow("nichts frei") << 0;
        QTest::newRow("200 Bytes frei") << 200;
    }

    void vollerDatentraeger() {
        QFETCH(int, frei);
        const QByteArray Alt("[General]\nModus=0\nUpdaterCheckMode=2\n");
        const QString Pfad = Datei(Alt);
        QSettings Store(Pfad, PlainIniFormat());
        TEinstellungen E;
        TGespeicherteWerte W = Fenster();
        QVERIFY(EinstellungenLaden(Store, E, W));
        {
            const TVollerDatentraeger Voll{rlim_t(frei)};
            QVERIFY(!EinstellungenSpeichern(Store, E, W));
        }
        QFile F(Pfad);
        QVERIFY(F.open(QIODevice::ReadOnly));
        QCOMPARE(F.readAll(), Alt);
    }

    // Files written by Qt's own INI writer (every earlier version) read the
    // same, and Qt reads ours.
    void rundreise_data() {
        QTest::addColumn<int>("schreiber");
        QTest::addColumn<int>("leser");
        QTest::newRow("eigenes Format") << int(PlainIniFormat()) << int(PlainIniFormat());
        QTest::newRow("von Qt geschrieben") << int(QSettings::IniFormat) << int(PlainIniFormat());
        QTest::newRow("von Qt gelesen") << int(PlainIniFormat()) << int(QSettings::IniFormat);
    }

    void rundreise() {
        QFETCH(int, schreiber);
        QFETCH(int, leser);
        TEinstellungen E;
        E.Modus = mNachtippen;
        E.TextVerschwindenS = true;
        E.SoundsWiedergebenS = false;
        E.SoundsArr = {false, true, false, true, false};
        E.Mp3TextS = E.GrossKleinS = E.KorrekturS = E.BigCursorS = false;
        E.ProtokollS = true;
        E.Sapi = sapiBedarf;
        E.Stimme = "@Stimme, \"de\" äöß \\ Ende";
        E.VoiceRate = -10;
        E.VoiceVolume = 5;
        const TGespeicherteWerte W{true,      700, 900,  "Kurs.kat", "Lektion 1.rtf", "Courier, New", 16,
                                   -16777211, 238, true, true,       false,           true,           18};
        const QString Pfad = Datei("[General]\nUpdaterCheckMode=2\n");
        {
            QSettings Store(Pfad, QSettings::Format(schreiber));
            QVERIFY(EinstellungenSpeichern(Store, E, W));
        }
        QSettings Store(Pfad, QSettings::Format(leser));
        QCOMPARE(Store.value("WindowState").toString(), QString("2"));
        QCOMPARE(Store.value("Sounds").toString(), QString("01010"));
        QCOMPARE(Store.value("TextVerschwinden").toString(), QString("1"));
        QCOMPARE(Store.value("FontStyle").toString(), QString("11"));
        QCOMPARE(Store.value("UpdaterCheckMode").toString(), QString("2")); // not ours, kept
        TEinstellungen E2;
        TGespeicherteWerte W2 = Fenster();
        QVERIFY(EinstellungenLaden(Store, E2, W2));
        QCOMPARE(E2, E);
        QCOMPARE(W2, W);
    }

    void speicherOrt() {
        const auto Store = TastaroSettingsStore();
        QCOMPARE(Store->fileName(), FOrdner.filePath("config/Tastaro.conf"));
        QVERIFY(EinstellungenSpeichern(*Store, TEinstellungen{}, TGespeicherteWerte{}));
        QVERIFY(QFile::exists(FOrdner.filePath("config/Tastaro.conf")));
    }

    void schriftUndFarbe() {
        TGespeicherteWerte W;
        W.FontName = "DejaVu Sans";
        W.FontSize = 18;
        W.FontFettS = W.FontDurchgestrichenS = true;
        TGespeicherteWerte W2;
        SchriftInWerte(SchriftAusWerten(W), W2);
        QCOMPARE(W2, W);
        QPalette P;
        P.setColor(QPalette::Text, QColor(10, 20, 30));
        QCOMPARE(SchriftFarbeAusTColor(clWindowText, P), QColor(10, 20, 30));
        QCOMPARE(SchriftFarbeAusTColor(0x0000FF, P), QColor(255, 0, 0));
        // The system colour stays only while the choice is still its colour;
        // an explicit colour is stored as such, even the theme's text colour.
        QCOMPARE(TColorAusSchriftFarbe(QColor(0, 0, 255), clWindowText, P), 0xFF0000);
        QCOMPARE(TColorAusSchriftFarbe(QColor(10, 20, 30), clWindowText, P), clWindowText);
        QCOMPARE(TColorAusSchriftFarbe(QColor(10, 20, 30), 0x0000FF, P), 0x1E140A);
        QCOMPARE(TColorAusSchriftFarbe(QColor(Qt::black), clWindowText, P), 0);
    }
};

QTEST_MAIN(TstEinstellungen)
#include "tst_einstellungen.moc"
