#pragma once
// The synthesizer voices of the desktop's speech server: every output
// module's voices, spoken asynchronously, with start and end of each
// utterance reported by the server. The voice object comes from the
// platform's backend (speechd/ on Linux).

#include "SapiBasics.h"

#include <memory>

// The voice object of this platform's speech server.
std::unique_ptr<TSpVoice> PlatformServerVoice();

class TSapi5_1 : public TSapiEngine {
public:
    // Null: the platform's speech server voice object.
    explicit TSapi5_1(std::unique_ptr<TSpVoice> AVoice = nullptr);
    ~TSapi5_1() override;

    int Speak(const QString& AText, int AFlags) override;
    void Stop() override;

    TSpVoiceStartStream OnStartStream() const override { return FOnStartStream; }
    void SetOnStartStream(TSpVoiceStartStream AHandler) override;
    TSpVoiceEndStream OnEndStream() const override { return FOnEndStream; }
    void SetOnEndStream(TSpVoiceEndStream AHandler) override;

private:
    TSpVoiceStartStream FOnStartStream;
    TSpVoiceEndStream FOnEndStream;
};
