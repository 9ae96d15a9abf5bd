// Audio texts: files played by name through QMediaPlayer.

#include "QtServices.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPointer>
#include <QUrl>

namespace {

class TQtAudioPlayer final : public IAudioPlayer {
public:
    bool Play(const QString& AFilename, bool AWarteS) override {
        Stop();
        const QFileInfo file(AFilename);
        if (AFilename.isEmpty() || !file.isFile() || !EnsurePlayer()) return false;
        FPlayer->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
        FPlayer->play();
        if (FPlayer->error() != QMediaPlayer::NoError) return false;
        if (AWarteS) Warte();
        return true;
    }

    void Stop() override {
        for (QEventLoop* loop : std::as_const(FLoops))
            loop->quit();
        if (FPlayer && FPlayer->playbackState() != QMediaPlayer::StoppedState) FPlayer->stop();
    }

    bool IsPlaying() const override {
        return FPlayer && FPlayer->playbackState() == QMediaPlayer::PlayingState;
    }

private:
    bool EnsurePlayer() {
        if (FPlayer) return true;
        // The media backend crashes in its constructor when there is no
        // output device, so it is only created once one exists.
        QObject* host = ServiceHost();
        if (!host || QMediaDevices::audioOutputs().isEmpty()) return false;
        FPlayer = new QMediaPlayer(host);
        FPlayer->setAudioOutput(new QAudioOutput(FPlayer));
        return true;
    }

    void Warte() {
        QMediaPlayer* player = FPlayer;
        if (player->playbackState() != QMediaPlayer::PlayingState) return;
        QEventLoop loop;
        QObject::connect(player, &QMediaPlayer::mediaStatusChanged, &loop,
                         [&loop](QMediaPlayer::MediaStatus AStatus) {
                             if (AStatus == QMediaPlayer::EndOfMedia || AStatus == QMediaPlayer::InvalidMedia)
                                 loop.quit();
                         });
        QObject::connect(player, &QMediaPlayer::errorOccurred, &loop, &QEventLoop::quit);
        QObject::connect(player, &QMediaPlayer::playbackStateChanged, &loop,
                         [&loop](QMediaPlayer::PlaybackState AState) {
                             if (AState == QMediaPlayer::StoppedState) loop.quit();
                         });
        QObject::connect(player, &QObject::destroyed, &loop, &QEventLoop::quit);
        FLoops.append(&loop);
        loop.exec();
        FLoops.removeOne(&loop);
        if (FPlayer) FPlayer->stop();
    }

    QPointer<QMediaPlayer> FPlayer;
    QList<QEventLoop*> FLoops;
};

} // namespace

IAudioPlayer& QtAudioPlayer() {
    static TQtAudioPlayer player;
    return player;
}
