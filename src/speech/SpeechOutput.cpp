#include "SpeechOutput.h"

#include <QByteArray>
#include <algorithm>
#include <cstdlib>
#include <libspeechd.h>

namespace {

const QString SynthStimme = QStringLiteral("Sprachausgabe Deutsch (speech-dispatcher)");

// A speech-dispatcher connection, opened on first use so that the start of
// the program never waits for the speech server.
class TSpeechDispatcherOutput : public ISpeechOutput {
public:
    ~TSpeechDispatcherOutput() override {
        if (FConn) spd_close(FConn);
    }
    int Nr() const override { return FFailedS ? -1 : FNr; }
    void SetStimme(const QString& AStimme, int ARate, int AVolume) override {
        FNr = AStimme.isEmpty() ? -1 : (AStimme == ScreenReaderStimme ? 0 : 1);
        FRate = std::clamp(ARate, -10, 10) * 10;
        FVolume = std::clamp(AVolume, 0, 100) * 2 - 100;
        if (FConn) {
            spd_set_voice_rate(FConn, FRate);
            spd_set_volume(FConn, FVolume);
        }
    }
    QStringList Stimmen() const override { return {ScreenReaderStimme, SynthStimme}; }
    void Speak(const QString& AText, bool AStopS) override {
        if (!Verbinden()) return;
        if (AStopS) spd_cancel(FConn);
        const QByteArray utf8 = AText.toUtf8();
        spd_say(FConn, SPD_TEXT, utf8.constData());
    }
    void Stop() override {
        if (FConn) spd_cancel(FConn);
    }

private:
    bool Verbinden() {
        if (FConn) return true;
        if (FFailedS) return false;
        char* error = nullptr;
        FConn = spd_open2("Tastaro", "main", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
        if (error) free(error);
        if (!FConn) {
            FFailedS = true;
            return false;
        }
        spd_set_language(FConn, "de");
        spd_set_punctuation(FConn, SPD_PUNCT_NONE);
        spd_set_voice_rate(FConn, FRate);
        spd_set_volume(FConn, FVolume);
        return true;
    }
    SPDConnection* FConn = nullptr;
    bool FFailedS = false;
    int FNr = -1;
    int FRate = -10;
    int FVolume = 100;
};

} // namespace

std::unique_ptr<ISpeechOutput> CreateSpeechOutput() {
    return std::make_unique<TSpeechDispatcherOutput>();
}
