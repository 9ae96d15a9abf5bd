#include "Sapi5_1.h"

#include <exception>

TSapi5_1::TSapi5_1(std::unique_ptr<TSpVoice> AVoice)
    : TSapiEngine(AVoice ? std::move(AVoice) : PlatformServerVoice()) {}

TSapi5_1::~TSapi5_1() {
    if (Voice()) {
        Voice()->StartStream = nullptr;
        Voice()->EndStream = nullptr;
    }
}

void TSapi5_1::SetOnStartStream(TSpVoiceStartStream AHandler) {
    FOnStartStream = std::move(AHandler);
    if (!Voice()) return;
    if (FOnStartStream)
        Voice()->StartStream = [this](int AStreamNo) {
            if (FOnStartStream) FOnStartStream(AStreamNo, 0);
        };
    else
        Voice()->StartStream = nullptr;
}

void TSapi5_1::SetOnEndStream(TSpVoiceEndStream AHandler) {
    FOnEndStream = std::move(AHandler);
    if (!Voice()) return;
    if (FOnEndStream)
        Voice()->EndStream = [this](int AStreamNo) {
            if (FOnEndStream) FOnEndStream(AStreamNo, 0);
        };
    else
        Voice()->EndStream = nullptr;
}

// Said even while the server is still being connected: the text waits for it.
int TSapi5_1::Speak(const QString& AText, int AFlags) {
    if (!ErreichbarS()) return 0;
    try {
        return Voice()->Speak(AText, AFlags);
    } catch (const std::exception&) {
        return 0;
    }
}

void TSapi5_1::Stop() {
    Speak(QString(), SVSFPurgeBeforeSpeak);
}
