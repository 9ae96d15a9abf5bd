#pragma once
// The level on the null sink's monitor of a test desktop (desktop-session),
// read continuously from parec: what the trainer really made heard.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <cmath>
#include <sys/types.h>

// The running speech server of the test desktop (it spawns on demand and
// writes its pid below the runtime folder); 0 when none runs.
inline pid_t SprachserverPid() {
    QFile datei(qEnvironmentVariable("XDG_RUNTIME_DIR") +
                QStringLiteral("/speech-dispatcher/pid/speech-dispatcher.pid"));
    return datei.open(QIODevice::ReadOnly) ? pid_t(datei.readAll().trimmed().toInt()) : 0;
}

class TPegel {
public:
    TPegel() {
        FAufnahme.start(QStringLiteral("parec"), {"-d", "nul.monitor", "--raw", "--format=s16le",
                                                  "--channels=1", "--rate=16000", "--latency-msec=20"});
    }
    ~TPegel() {
        FAufnahme.kill();
        FAufnahme.waitForFinished();
    }
    bool Laeuft() { return FAufnahme.waitForStarted(); }
    // RMS of the last 100 ms.
    double Jetzt() {
        FRoh += FAufnahme.readAllStandardOutput();
        const qsizetype n = std::min<qsizetype>(FRoh.size() / 2, 1600);
        double summe = 0;
        for (qsizetype i = FRoh.size() / 2 - n; i < FRoh.size() / 2; ++i) {
            const double s = qFromLittleEndian<qint16>(FRoh.constData() + 2 * i);
            summe += s * s;
        }
        if (FRoh.size() > 1 << 20) FRoh = FRoh.right(64000);
        return n ? std::sqrt(summe / n) : 0;
    }
    // Waits until the level is above or below the threshold; the time it took, or -1.
    qint64 Warte(bool ATonS, int AFristMs) {
        QElapsedTimer uhr;
        uhr.start();
        while (uhr.elapsed() < AFristMs) {
            QTest::qWait(20);
            if ((Jetzt() > Schwelle) == ATonS) return uhr.elapsed();
        }
        return -1;
    }
    // How long the sound lasts from now on, and its mean level.
    std::pair<qint64, double> Messen(int AFristMs) {
        QElapsedTimer uhr;
        uhr.start();
        qint64 still = -1;
        double summe = 0;
        int n = 0;
        while (uhr.elapsed() < AFristMs) {
            QTest::qWait(20);
            const double p = Jetzt();
            if (p > Schwelle) {
                still = -1;
                summe += p;
                ++n;
            } else if (still < 0) {
                still = uhr.elapsed();
            } else if (uhr.elapsed() - still > 600) {
                break;
            }
        }
        return {still < 0 ? uhr.elapsed() : still, n ? summe / n : 0};
    }
    static constexpr double Schwelle = 150;

private:
    QProcess FAufnahme;
    QByteArray FRoh;
};

// The longest time the main thread went without answering while it lives:
// the longest gap between the ticks of a 5 ms timer.
class TStauUhr {
public:
    TStauUhr() {
        FUhr.start();
        FTakt.setInterval(5);
        QObject::connect(&FTakt, &QTimer::timeout, &FTakt, [this] {
            FLaengste = std::max(FLaengste, FUhr.elapsed() - FLetzter);
            FLetzter = FUhr.elapsed();
        });
        FTakt.start();
    }
    qint64 Laengste() const { return std::max(FLaengste, FUhr.elapsed() - FLetzter); }

private:
    QElapsedTimer FUhr;
    QTimer FTakt;
    qint64 FLetzter = 0;
    qint64 FLaengste = 0;
};
