// Time from Speak on the speech-dispatcher voice to the first audible frame,
// with the server already running. Needs a sound server whose default sink is
// the null sink "nul"; run it on the test desktop:
//   tests/desktop/desktop-session --no-wm -- <build>/bench/bench_speechd
// The first frame is taken from the sink's monitor (parec), so the figure
// includes the recording path's own latency (~20 ms): it is an upper bound.

#include "SapiBasics.h"
#include "SpdVoice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int Abtastrate = 16000;
constexpr int Hoerbar = 1000;

// Milliseconds until a sample louder than Hoerbar arrives, or -1.
qint64 BisZumTon(QProcess& AParec, const QElapsedTimer& AUhr, qint64 AFristMs) {
    while (AUhr.elapsed() < AFristMs) {
        AParec.waitForReadyRead(2);
        const QByteArray roh = AParec.readAllStandardOutput();
        for (qsizetype i = 0; i + 1 < roh.size(); i += 2)
            if (std::abs(int(qFromLittleEndian<qint16>(roh.constData() + i))) > Hoerbar)
                return AUhr.elapsed();
        QCoreApplication::processEvents();
    }
    return -1;
}

// Waits until nothing has been heard for 300 ms (the monitor sends nothing
// at all while the sink is idle).
void BisZurStille(QProcess& AParec) {
    QElapsedTimer still;
    still.start();
    while (still.elapsed() < 300) {
        AParec.waitForReadyRead(10);
        const QByteArray roh = AParec.readAllStandardOutput();
        for (qsizetype i = 0; i + 1 < roh.size(); i += 2)
            if (std::abs(int(qFromLittleEndian<qint16>(roh.constData() + i))) > Hoerbar / 4) still.restart();
        QCoreApplication::processEvents();
    }
}

void Ausgeben(const char* AName, std::vector<double> AWerte) {
    if (AWerte.empty()) return;
    std::sort(AWerte.begin(), AWerte.end());
    std::printf("%-34s median %6.1f ms   min %6.1f ms   max %6.1f ms   (n=%zu)\n", AName,
                AWerte[AWerte.size() / 2], AWerte.front(), AWerte.back(), AWerte.size());
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QProcess parec;
    parec.start(QStringLiteral("parec"),
                {QStringLiteral("-d"), QStringLiteral("nul.monitor"), QStringLiteral("--raw"),
                 QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                 QStringLiteral("--rate=%1").arg(Abtastrate), QStringLiteral("--latency-msec=10")});
    if (!parec.waitForStarted()) {
        std::fprintf(stderr, "parec did not start: run under tests/desktop/desktop-session\n");
        return 1;
    }

    auto stimme = CreateSpdVoice();
    QElapsedTimer uhr;
    uhr.start();
    if (!stimme->Voice()) {
        std::fprintf(stderr, "speech-dispatcher is not reachable\n");
        parec.kill();
        parec.waitForFinished();
        return 1;
    }
    std::printf("connecting (server started on demand): %lld ms\n", uhr.elapsed());
    uhr.restart();
    const QList<TSpObjectToken> stimmen = stimme->GetVoices();
    std::printf("listing %lld voices: %lld ms\n", qlonglong(stimmen.size()), uhr.elapsed());
    for (const TSpObjectToken& t : stimmen)
        if (t.Description == QStringLiteral("espeak-ng: German")) stimme->SetVoice(t);

    qint64 beginn = -1;
    stimme->StartStream = [&](int) {
        if (beginn < 0) beginn = uhr.elapsed();
    };
    // The first utterance also starts the output module's sound stream.
    stimme->Speak(QStringLiteral("Bereit."), SVSFlagsAsync);
    if (BisZumTon(parec, uhr, 5000) < 0) {
        // Nothing reaches the sink's monitor: measuring would only wait out
        // every utterance's time limit.
        std::fprintf(stderr, "nothing audible on nul.monitor: run under tests/desktop/desktop-session\n");
        parec.kill();
        parec.waitForFinished();
        return 1;
    }
    BisZurStille(parec);

    std::vector<double> bisTon;
    std::vector<double> bisBeginn;
    std::vector<double> aufruf;
    for (int i = 0; i < 15; ++i) {
        beginn = -1;
        uhr.restart();
        stimme->Speak(QStringLiteral("Taste %1.").arg(i + 1), SVSFlagsAsync);
        aufruf.push_back(uhr.nsecsElapsed() / 1e6);
        const qint64 ton = BisZumTon(parec, uhr, 3000);
        if (ton >= 0) bisTon.push_back(double(ton));
        if (beginn >= 0) bisBeginn.push_back(double(beginn));
        BisZurStille(parec);
    }
    Ausgeben("Speak call (main thread)", aufruf);
    Ausgeben("Speak -> begin notification", bisBeginn);
    Ausgeben("Speak -> first audible frame", bisTon);
    if (bisTon.size() < 15) std::printf("%zu of 15 utterances were not heard\n", 15 - bisTon.size());
    stimme.reset();
    parec.kill();
    parec.waitForFinished();
    return 0;
}
