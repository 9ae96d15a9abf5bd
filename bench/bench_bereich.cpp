// Opening a very large training area the way the user does (Strg+B, area
// chosen, file chooser), measured from the window's point of view: how long
// until the file chooser is there, and the longest time the GUI thread went
// without handling its events (a 10 ms timer records the gaps).
//
//   bench_bereich [Dateien=100000] [--gemischt] [--gross MB] [--ordner DIR]
//
// --gemischt gives the files titles in an order unlike their names, so that
// the list really has to be sorted; --gross adds one training file of that
// many megabytes, chooses it and waits until its first line is up; --ordner
// keeps the program folder in DIR, made on the first run and reused after, so
// that a profile of the load is not drowned in the writing of the files.

#include "DatenC.h"
#include "HauptFixture.h"
#include "TextPane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <cstdio>

namespace {

void Schreiben(const QString& APfad, const QByteArray& AInhalt) {
    QDir().mkpath(QFileInfo(APfad).absolutePath());
    QFile f(APfad);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(AInhalt) != AInhalt.size())
        qFatal("cannot write %s", qPrintable(APfad));
}

// Answers the area chooser with the first area and the file chooser with
// AWahl, noting when each was shown.
class TStoppuhrAuswahl : public IAuswahlDialog {
public:
    QElapsedTimer* Uhr = nullptr;
    QList<qint64> GezeigtMs;
    QList<TAuswahlDaten> Gezeigt;
    int DateiWahl = -1;
    int Waehlen(QWidget*, const TAuswahlDaten& ADaten) override {
        GezeigtMs << Uhr->elapsed();
        Gezeigt << ADaten;
        return Gezeigt.size() == 1 ? 0 : DateiWahl;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir temp;
    QString p = temp.path() + QStringLiteral("/");
    for (int i = 1; i + 1 < argc; ++i)
        if (QByteArray(argv[i]) == "--ordner")
            p = QDir(QString::fromLocal8Bit(argv[i + 1])).absolutePath() + "/";
    const bool vorhandenS = QFile::exists(p + "Trainingstexte/Gross.kat");
    // The per-user folders of the run go into the temporary folder too.
    qputenv("XDG_DATA_HOME", (p + "daten").toUtf8());
    qputenv("XDG_CONFIG_HOME", (p + "konfig").toUtf8());
    qputenv("XDG_DOCUMENTS_DIR", (p + "dokumente").toUtf8());
    QApplication app(argc, argv);

    int anzahl = 100000;
    bool gemischtS = false;
    int grossMb = 0;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--gemischt"))
            gemischtS = true;
        else if (args.at(i) == QLatin1String("--gross") && i + 1 < args.size())
            grossMb = args.at(++i).toInt();
        else if (args.at(i) == QLatin1String("--ordner"))
            ++i;
        else
            anzahl = args.at(i).toInt();
    }

    for (int i = 0; i < anzahl && !vorhandenS; ++i) {
        const int titel = gemischtS ? int((qint64(i) * 7919) % anzahl) : i;
        Schreiben(p + QStringLiteral("Trainingstexte/Gross/Datei %1.txt").arg(i, 6, 10, QLatin1Char('0')),
                  "Übung " + QByteArray::number(titel).rightJustified(6, '0') +
                      "\r\nasdf jklö\r\nasdf jklö\r\nfjfj\r\nfjfj\r\n");
    }
    if (grossMb > 0 && !vorhandenS) {
        QByteArray text = "Aaa sehr lange Datei\r\n";
        const QByteArray paar = "Der Igel sitzt im Garten und frisst Äpfel\r\nder igel sitzt im garten\r\n";
        while (text.size() < qint64(grossMb) * 1024 * 1024)
            text += paar;
        Schreiben(p + "Trainingstexte/Gross/Zzz gross.txt", text);
    }
    // written last: a run cut short leaves no folder that looks complete
    Schreiben(p + "Trainingstexte/Gross.kat", "0 Großer Bereich\r\n1 Gross\r\n");
    PfadeBerechnen(p + QStringLiteral("Tastaro"), p);

    TFakeServices fakes;
    TFakeSprache sprache;
    TFakeFertig fertig;
    TFakeOptionen optionen;
    TFakeSchrift schrift;
    TStoppuhrAuswahl auswahl;
    QElapsedTimer uhr;
    auswahl.Uhr = &uhr;
    THauptDienste d;
    d.Services = fakes.Services();
    d.Sprache = sprache.Platform();
    d.Fertig = &fertig;
    d.Auswahl = &auswahl;
    d.Optionen = &optionen;
    d.Schrift = &schrift;
    // no update server: the check must not hold the start question back
    d.UpdateBaseUrl = QStringLiteral("http://127.0.0.1:9/");
    TForm1 form(d);
    form.WaitForLoadKatThread();
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) qFatal("window not shown");
    QElapsedTimer warte;
    warte.start();
    while (fakes.MessageBoxes.Gefragt.isEmpty() && warte.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

    // The gaps between the ticks of a 10 ms timer.
    qint64 letzter = 0;
    qint64 groessteLuecke = 0;
    int lueckenUeber100 = 0;
    QTimer takt;
    takt.setInterval(10);
    QString fortschritt;
    QObject::connect(&takt, &QTimer::timeout, [&] {
        if (Innen(&form).StatusPanel[3]->text().startsWith(QLatin1String("Lade")))
            fortschritt = Innen(&form).StatusPanel[3]->text();
        const qint64 jetzt = uhr.elapsed();
        const qint64 luecke = jetzt - letzter;
        groessteLuecke = std::max(groessteLuecke, luecke);
        if (luecke > 100) ++lueckenUeber100;
        letzter = jetzt;
    });

    if (grossMb > 0) auswahl.DateiWahl = anzahl; // sorted last by its title
    bool fertigS = false;
    uhr.start();
    takt.start();
    QTimer::singleShot(0, &form, [&] {
        form.MenuAktBereichClick();
        fertigS = true;
    });
    // With a large file, the run goes on until its first line is up.
    while (!fertigS || (grossMb > 0 && form.AktivNr() < 0 && uhr.elapsed() < 120000))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const qint64 gesamt = uhr.elapsed();
    // a few more ticks, so that the last gap is counted too
    const qint64 ende = uhr.elapsed() + 50;
    while (uhr.elapsed() < ende)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    takt.stop();

    std::printf("Bereich mit %d Dateien%s%s\n", anzahl, gemischtS ? " (Titel gemischt)" : "",
                grossMb > 0 ? qPrintable(QStringLiteral(" und einer Datei von %1 MB").arg(grossMb)) : "");
    if (auswahl.GezeigtMs.size() >= 2)
        std::printf("  Dateiauswahl nach:        %lld ms (%lld Einträge)\n",
                    static_cast<long long>(auswahl.GezeigtMs.at(1)),
                    static_cast<long long>(auswahl.Gezeigt.at(1).Liste.size()));
    else
        std::printf("  Dateiauswahl nicht gezeigt\n");
    if (grossMb > 0) std::printf("  erste Zeile da nach:      %lld ms\n", static_cast<long long>(gesamt));
    std::printf("  längste Lücke im GUI-Thread: %lld ms (%d Lücken über 100 ms)\n",
                static_cast<long long>(groessteLuecke), lueckenUeber100);
    std::printf("  Gesamt:                   %lld ms\n", static_cast<long long>(gesamt));
    if (!fortschritt.isEmpty()) std::printf("  Statusleiste: %s\n", qPrintable(fortschritt));
    // what a blind user heard meanwhile
    for (const QString& a : std::as_const(sprache.Welt->Aufrufe))
        if (a.contains(QLatin1String("Lade"))) std::printf("  gesprochen: %s\n", qPrintable(a));
    return 0;
}
