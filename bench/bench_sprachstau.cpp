// The longest main-thread stall from creating the main window to the first
// line heard, with a stored voice of each engine, the speech server running
// and not running. Needs a desktop with a sound server and Orca:
//   tests/desktop/desktop-session --orca -- build/bench/bench_sprachstau [runs]

#include "EinstellungenSpeicher.h"
#include "HauptFixture.h"
#include "Pegel.h"

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <cstdio>

namespace {

void ServerBeenden() {
    const pid_t server = SprachserverPid();
    if (server <= 0 || ::kill(server, SIGTERM) != 0) return;
    if (!QTest::qWaitFor([server] { return ::kill(server, 0) != 0; }, 3000)) return;
    // the server's files go with a little delay after it
    QTest::qWait(500);
}

// Stall and time to the line in ms; -1 for a line not heard.
std::pair<qint64, qint64> Lauf(const QString& AStimme, bool AServerLaeuftS) {
    if (AServerLaeuftS)
        QProcess::execute(QStringLiteral("spd-say"), {QStringLiteral("-w"), QStringLiteral(" ")});
    else
        ServerBeenden();
    TPegel pegel;
    if (!pegel.Laeuft() || pegel.Warte(false, 3000) < 0) return {-1, -1};
    {
        auto store = TastaroSettingsStore();
        store->setValue(QStringLiteral("Sapi"), 0);
        store->setValue(QStringLiteral("Stimme"), AStimme);
        store->setValue(QStringLiteral("SoundsWiedergeben"), 0);
    }
    QElapsedTimer uhr;
    uhr.start();
    const TStauUhr stau;
    THauptFixture f;
    f.EchteSpracheS = true;
    f.Anlegen();
    TForm1* form = f.Erzeugen();
    form->RegistryLadenSpeichern(true);
    f.Zeigen();
    f.Starten(mNachtippen);
    const bool gehoertS = pegel.Warte(true, 10000) >= 0;
    const qint64 bis = uhr.elapsed();
    const qint64 laengste = stau.Laengste();
    Innen(form).Speech->Stop();
    pegel.Warte(false, 2000);
    return {laengste, gehoertS ? bis : -1};
}

} // namespace

int main(int argc, char** argv) {
    // The settings this writes go to a folder of its own, never the user's.
    QTemporaryDir ordner;
    qputenv("XDG_CONFIG_HOME", ordner.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", ordner.filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication app(argc, argv);
    const int laeufe = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    std::printf("%-22s %-12s %s\n", "voice", "server", "longest stall / line heard after (ms), per run");
    for (const QString& stimme :
         {ScreenReaderStimme, QStringLiteral("espeak-ng: German"), QStringLiteral("German (eSpeak NG)")}) {
        for (const bool laeuftS : {true, false}) {
            std::printf("%-22s %-12s", qPrintable(stimme), laeuftS ? "running" : "not running");
            for (int i = 0; i < laeufe; ++i) {
                const auto [stau, zeile] = Lauf(stimme, laeuftS);
                std::printf(" %lld/%lld", qlonglong(stau), qlonglong(zeile));
                std::fflush(stdout);
            }
            std::printf("\n");
        }
    }
    return 0;
}
