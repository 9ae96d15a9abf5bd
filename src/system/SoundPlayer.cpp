// Event sounds: the PCM of a WAV file in memory, played through QAudioSink.

#include "QtServices.h"
#include "WavData.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QEventLoop>
#include <QMediaDevices>
#include <QPointer>
#include <QTimer>

namespace {

// Beyond the sound's own length: start-up latency of the device.
constexpr qint64 WarteZugabeMs = 500;

class TQtSoundPlayer final : public ISoundPlayer {
public:
    void Play(const QByteArray& AWav, bool AWarteS) override {
        Stop();
        const std::optional<TWavData> wav = ParseWav(AWav);
        if (!wav || wav->Pcm.isEmpty()) return;
        QObject* host = ServiceHost();
        if (!host || QMediaDevices::audioOutputs().isEmpty()) return;
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) return;

        QAudioFormat format;
        format.setSampleRate(wav->Rate);
        format.setChannelCount(wav->Kanaele);
        format.setSampleFormat(wav->Bits == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
        auto* sink = new QAudioSink(device, format, host);
        auto* buffer = new QBuffer(sink);
        buffer->setData(wav->Pcm);
        buffer->open(QIODevice::ReadOnly);
        FSink = sink;
        QObject::connect(sink, &QAudioSink::stateChanged, sink, [this, sink](QAudio::State AState) {
            // Drained: free the device, but not from inside the sink's own
            // notification, and only if nobody has done so meanwhile.
            if (AState == QAudio::IdleState)
                QMetaObject::invokeMethod(
                    sink,
                    [this, sink] {
                        if (FSink == sink) Release(sink);
                    },
                    Qt::QueuedConnection);
        });
        sink->start(buffer);
        if (sink->error() != QAudio::NoError || sink->state() == QAudio::StoppedState) {
            Release(sink);
            return;
        }
        if (AWarteS) Warte(sink, wav->DauerMs() + WarteZugabeMs);
    }

    void Stop() override {
        if (FSink) Release(FSink);
    }

private:
    void Warte(QAudioSink* ASink, qint64 ATimeoutMs) {
        // A local loop rather than a blocking wait, so the device can feed the
        // sink; the timeout keeps a stuck device from hanging the program.
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(ASink, &QAudioSink::stateChanged, &loop, [&loop](QAudio::State AState) {
            if (AState != QAudio::ActiveState) loop.quit();
        });
        QObject::connect(ASink, &QObject::destroyed, &loop, &QEventLoop::quit);
        FLoops.append(&loop);
        timeout.start(int(ATimeoutMs));
        loop.exec();
        FLoops.removeOne(&loop);
        if (FSink == ASink) Release(ASink);
    }

    void Release(QAudioSink* ASink) {
        if (FSink == ASink) FSink = nullptr;
        // Whoever waits for this sound is done: it has ended or was cut off.
        for (QEventLoop* loop : std::as_const(FLoops))
            loop->quit();
        ASink->disconnect();
        ASink->stop();
        ASink->deleteLater();
    }

    QPointer<QAudioSink> FSink;
    QList<QEventLoop*> FLoops;
};

} // namespace

ISoundPlayer& QtSoundPlayer() {
    static TQtSoundPlayer player;
    return player;
}
