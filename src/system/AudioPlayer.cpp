// Audio texts: the player lives in a module of its own (audiotexte/), linked
// with the media framework, which is loaded on the first audio text. Without
// the module an audio text cannot be played, as without an output device.

#include "DynBibliothek.h"
#include "QtServices.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

#include <memory>

namespace {

const auto ModulDatei = QStringLiteral("libtastaro-audiotexte.so");

// Beside the program when installed; in the build's folder for the tests,
// which run from folders of their own.
QStringList ModulOrte() {
    QStringList orte{QCoreApplication::applicationDirPath() + QLatin1Char('/') + ModulDatei};
#ifdef TASTARO_MODUL_DIR
    orte << QStringLiteral(TASTARO_MODUL_DIR "/") + ModulDatei;
#endif
    return orte;
}

using TFabrik = IAudioPlayer* (*)(QObject*);

class TAudioTexteLader final : public IAudioPlayer {
public:
    bool Play(const QString& AFilename, bool AWarteS) override {
        Stop();
        // A missing file needs no media framework to be refused.
        if (AFilename.isEmpty() || !QFileInfo(AFilename).isFile()) return false;
        IAudioPlayer* player = Laden();
        return player && player->Play(AFilename, AWarteS);
    }

    void Stop() override {
        if (FPlayer) FPlayer->Stop();
    }

    bool IsPlaying() const override { return FPlayer && FPlayer->IsPlaying(); }

private:
    // One attempt per process: a missing module stays missing.
    IAudioPlayer* Laden() {
        if (FPlayer || FVersuchtS) return FPlayer;
        QObject* wirt = ServiceHost();
        if (!wirt) return nullptr;
        FVersuchtS = true;
        QStringList fehler;
        for (const QString& ort : ModulOrte()) {
            if (!QFileInfo::exists(ort)) {
                fehler << ort + QStringLiteral(": not found");
                continue;
            }
            auto modul = std::make_unique<QLibrary>(ort);
            const auto fabrik = reinterpret_cast<TFabrik>(modul->resolve("TastaroAudioTexte"));
            if (!fabrik) {
                fehler << modul->errorString();
                continue;
            }
            FModul = std::move(modul);
            FPlayer = fabrik(wirt);
            return FPlayer;
        }
        qCWarning(LogBibliothek).noquote()
            << QStringLiteral("audio texts not loaded:") << fehler.join(QStringLiteral("; "));
        return nullptr;
    }

    // Never unloaded: the player inside is a static of the module.
    std::unique_ptr<QLibrary> FModul;
    IAudioPlayer* FPlayer = nullptr;
    bool FVersuchtS = false;
};

} // namespace

IAudioPlayer& QtAudioPlayer() {
    static TAudioTexteLader player;
    return player;
}
