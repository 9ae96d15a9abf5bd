// Audio texts: files played by name through QMediaPlayer. Built as a module of
// its own and loaded on the first audio text, so that the media framework and
// all it pulls in cost nothing at start and nothing at all in trainings
// without audio. It links against Qt only: whatever it needs of the program
// is handed to it, since program code linked in here would exist twice.

#include "Services.h"

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
    void SetzeWirt(QObject* AWirt) { FWirt = AWirt; }

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
        if (!FWirt || QMediaDevices::audioOutputs().isEmpty()) return false;
        FPlayer = new QMediaPlayer(FWirt);
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

    QPointer<QObject> FWirt;
    QPointer<QMediaPlayer> FPlayer;
    QList<QEventLoop*> FLoops;
};

} // namespace

// The module's one entry point (see AudioPlayer.cpp): the player of the
// process, whose Qt objects become children of AWirt.
extern "C" Q_DECL_EXPORT IAudioPlayer* TastaroAudioTexte(QObject* AWirt) {
    static TQtAudioPlayer player;
    player.SetzeWirt(AWirt);
    return &player;
}
