// How late the first event sound of a process is heard, now that the sound
// server's client library is loaded on the first sound, against a second
// sound, and the first utterance of the in-process voice (which loads its
// library and voice data first). Starts a sound server of its own with a null
// sink and records the sink's monitor; a sound counts as heard with its first
// loud sample there. Prints milliseconds from the call to that sample.

#include "EspeakVoice.h"
#include "QtServices.h"
#include "SapiBasics.h"
#include "WavData.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Rate = 22050;
constexpr int Laut = 1000; // of 32767: above any dithering or resampling noise

double Ms(Clock::duration ADauer) {
    return std::chrono::duration<double, std::milli>(ADauer).count();
}

// Records the null sink's monitor on a thread of its own. Each block is noted
// with its arrival; the block that arrived with the least delay pins the
// recording's sample clock to the steady clock.
class TAufnahme {
public:
    bool Starten() {
        int rohr[2];
        if (pipe(rohr) != 0) return false;
        posix_spawn_file_actions_t aktionen;
        posix_spawn_file_actions_init(&aktionen);
        posix_spawn_file_actions_adddup2(&aktionen, rohr[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&aktionen, rohr[0]);
        // it complains when the server goes first at the end
        posix_spawn_file_actions_addopen(&aktionen, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        char* argumente[] = {const_cast<char*>("parec"),
                             const_cast<char*>("-d"),
                             const_cast<char*>("nul.monitor"),
                             const_cast<char*>("--raw"),
                             const_cast<char*>("--format=s16le"),
                             const_cast<char*>("--channels=1"),
                             const_cast<char*>("--rate=22050"),
                             const_cast<char*>("--latency-msec=5"),
                             nullptr};
        const bool gestartetS = posix_spawnp(&FPid, "parec", &aktionen, nullptr, argumente, environ) == 0;
        posix_spawn_file_actions_destroy(&aktionen);
        close(rohr[1]);
        FRohr = rohr[0];
        if (gestartetS) FThread = std::thread([this] { Lesen(); });
        return gestartetS;
    }
    ~TAufnahme() {
        if (FPid > 0) kill(FPid, SIGTERM); // its end ends the reading thread's read
        if (FThread.joinable()) FThread.join();
        if (FPid > 0) waitpid(FPid, nullptr, 0);
        if (FRohr >= 0) close(FRohr);
    }

    // Milliseconds from AAb to the first loud sample recorded after it:
    // first by the sample clock, second when its block arrived here.
    std::optional<std::pair<double, double>> Einsatz(Clock::time_point AAb, Clock::duration AWarten) {
        const auto bis = Clock::now() + AWarten;
        while (Clock::now() < bis) {
            {
                std::lock_guard lock(FMutex);
                if (FProben.size() > 0 && FNull) {
                    const auto zeit = [&](std::size_t i) {
                        return *FNull + std::chrono::duration_cast<Clock::duration>(
                                            std::chrono::duration<double>(double(i) / Rate));
                    };
                    for (std::size_t i = 0; i < FProben.size(); ++i) {
                        if (std::abs(int(FProben[i])) < Laut || zeit(i) < AAb) continue;
                        const auto block =
                            std::upper_bound(FBloecke.begin(), FBloecke.end(), i,
                                             [](std::size_t n, const auto& b) { return n < b.second; });
                        return std::pair{Ms(zeit(i) - AAb), Ms(block->first - AAb)};
                    }
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return std::nullopt;
    }

private:
    void Lesen() {
        char puffer[Rate / 100];
        QByteArray rest; // a pipe may split a sample
        for (;;) {
            const ssize_t n = read(FRohr, puffer, sizeof puffer);
            if (n <= 0) break;
            const auto jetzt = Clock::now();
            rest.append(puffer, n);
            std::lock_guard lock(FMutex);
            for (qsizetype i = 0; i + 1 < rest.size(); i += 2)
                FProben.push_back(qFromLittleEndian<qint16>(rest.constData() + i));
            rest.remove(0, rest.size() & ~qsizetype(1));
            FBloecke.emplace_back(jetzt, FProben.size());
            const auto null = jetzt - std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(double(FProben.size()) / Rate));
            if (!FNull || null < *FNull) FNull = null;
        }
    }

    pid_t FPid = 0;
    int FRohr = -1;
    std::thread FThread;
    std::mutex FMutex;
    std::vector<qint16> FProben;
    std::vector<std::pair<Clock::time_point, std::size_t>> FBloecke; // arrival, samples so far
    std::optional<Clock::time_point> FNull;                          // when sample 0 passed the sink
};

// The file's own silence before its first loud sample, which is no delay.
double Vorlauf(const TWavData& AWav) {
    const auto* p = reinterpret_cast<const qint16*>(AWav.Pcm.constData());
    for (qsizetype i = 0; i < AWav.Pcm.size() / 2; ++i)
        if (std::abs(int(p[i])) >= Laut) return 1000.0 * double(i) / AWav.Rate;
    return 0;
}

int Still(const QString& AProgramm, const QStringList& AArgumente) {
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(AProgramm, AArgumente);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void Zeile(const char* AWas, const std::optional<std::pair<double, double>>& AEinsatz, double AVorlauf) {
    if (AEinsatz)
        std::printf("%-34s %7.1f ms   (block arrived after %.1f ms)\n", AWas, AEinsatz->first - AVorlauf,
                    AEinsatz->second - AVorlauf);
    else
        std::printf("%-34s not heard within 3 s\n", AWas);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir ordner;
    const QString pulse = ordner.path() + QStringLiteral("/pulse");
    qputenv("XDG_RUNTIME_DIR", ordner.path().toLocal8Bit());
    qputenv("PULSE_RUNTIME_PATH", pulse.toLocal8Bit());
    qputenv("PULSE_SERVER", "unix:" + pulse.toLocal8Bit() + "/native");
    QProcess server;
    server.start(QStringLiteral("pulseaudio"),
                 {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "--use-pid-file=no", "-L",
                  "module-null-sink sink_name=nul", "-L", "module-native-protocol-unix"});
    bool bereitS = server.waitForStarted();
    for (int i = 0; bereitS && i < 100 && Still("pactl", {"info"}) != 0; ++i)
        QThread::msleep(100);
    if (!bereitS || Still("pactl", {"set-default-sink", "nul"}) != 0) {
        std::fprintf(stderr, "the sound server did not start (pulseaudio, pulseaudio-utils)\n");
        return 1;
    }
    // Recording from the start keeps the null sink at a low latency: left
    // alone it sleeps up to two seconds before it notices a new stream.
    TAufnahme aufnahme;
    if (!aufnahme.Starten()) return 1;
    const QString sounds = QStringLiteral(TASTARO_SOURCE_DATA_DIR "/Sounds/");
    // A fresh null sink takes its time with its first stream; that delay is
    // the server's, so another process takes it.
    Still("paplay", {sounds + "Typing.wav"});
    QThread::msleep(500);

    ISoundPlayer& spieler = PulseSoundPlayer();
    for (const auto& [was, datei] : {std::pair{"first sound (Click.wav)", "Click.wav"},
                                     std::pair{"second sound (Typing.wav)", "Typing.wav"}}) {
        QFile f(sounds + QLatin1String(datei));
        const QByteArray wav = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        const std::optional<TWavData> daten = ParseWav(wav);
        const auto ab = Clock::now();
        spieler.Play(wav, false);
        Zeile(was, aufnahme.Einsatz(ab, std::chrono::seconds(3)), daten ? Vorlauf(*daten) : 0);
        QThread::msleep(800);
    }

    const std::unique_ptr<TSpVoice> stimme = CreateEspeakVoice();
    const auto ab = Clock::now();
    stimme->Speak(QStringLiteral("Guten Tag"), SVSFlagsAsync);
    Zeile("first utterance (eSpeak NG)", aufnahme.Einsatz(ab, std::chrono::seconds(3)), 0);
    stimme->Speak(QString(), SVSFPurgeBeforeSpeak);
    QThread::msleep(300);
    const auto ab2 = Clock::now();
    stimme->Speak(QStringLiteral("Guten Abend"), SVSFlagsAsync);
    Zeile("second utterance (eSpeak NG)", aufnahme.Einsatz(ab2, std::chrono::seconds(3)), 0);
    stimme->Speak(QString(), SVSFPurgeBeforeSpeak);

    server.terminate();
    server.waitForFinished(3000);
    return 0;
}
