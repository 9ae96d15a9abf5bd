#pragma once
// The common base of the synthesizer engines, so that the speech facade can
// treat the speech-dispatcher voices and the in-process voices alike.

#include <QString>
#include <QStringList>
#include <functional>

// Start and end of an utterance: stream number, stream position.
using TSpVoiceStartStream = std::function<void(int AStreamNumber, int AStreamPosition)>;
using TSpVoiceEndStream = std::function<void(int AStreamNumber, int AStreamPosition)>;

// Speak flags.
constexpr int SVSFlagsAsync = 1;        // return at once, speak in the background
constexpr int SVSFPurgeBeforeSpeak = 2; // discard everything queued or being spoken

class TSapiBase {
public:
    virtual ~TSapiBase() = default;

    virtual int Rate() = 0;
    virtual void SetRate(int AValue) = 0;
    virtual int Volume() = 0;
    virtual void SetVolume(int AValue) = 0;
    // Returns the stream number of the utterance, 0 when nothing was spoken.
    virtual int Speak(const QString& AText, int AFlags) = 0;
    virtual void Stop() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    // Position of the description in the sorted voice list, compared without
    // regard to case; -1 when there is none.
    virtual int FindDescriptionInTokensIndex(const QString& ADescription) = 0;

    // The sorted voice descriptions, enumerated afresh on every call.
    virtual QStringList Tokens() = 0;
    // Position of the current voice in the sorted list, or -1; writing an
    // index inside the list selects that voice, any other changes nothing.
    virtual int TokenIndex() = 0;
    virtual void SetTokenIndex(int AValue) = 0;
    virtual QString TokenDescription() = 0;

    virtual TSpVoiceStartStream OnStartStream() const = 0;
    virtual void SetOnStartStream(TSpVoiceStartStream AHandler) = 0;
    virtual TSpVoiceEndStream OnEndStream() const = 0;
    virtual void SetOnEndStream(TSpVoiceEndStream AHandler) = 0;

    // Whether the voice list is known; while it is not (a server still being
    // asked), Tokens() holds what was known before and lookups find nothing
    // new. StimmenGeaendert runs on the main thread once it is known.
    virtual bool StimmenBekannt() { return true; }
    std::function<void()> StimmenGeaendert;
    // Selects the voice a description names without the list, where the
    // runtime can do that; false otherwise.
    virtual bool SetTokenDescription(const QString&) { return false; }
};

#include "SpVoice.h"

#include <memory>
#include <vector>

// What both engines share: the voice object, the sorted voice list, rate and
// volume. Every failure of the runtime is absorbed here and turns into an
// empty list, a missing current voice, 0 or nothing.
class TSapiEngine : public TSapiBase {
public:
    explicit TSapiEngine(std::unique_ptr<TSpVoice> AVoice);
    ~TSapiEngine() override;

    int Rate() override;
    void SetRate(int AValue) override;
    int Volume() override;
    void SetVolume(int AValue) override;
    void Pause() override;
    void Resume() override;
    int FindDescriptionInTokensIndex(const QString& ADescription) override;

    QStringList Tokens() override;
    int TokenIndex() override;
    void SetTokenIndex(int AValue) override;
    QString TokenDescription() override;
    bool StimmenBekannt() override;
    bool SetTokenDescription(const QString& ADescription) override;
    // The current voice, none without a runtime.
    std::optional<TSpObjectToken> Token();
    void SetToken(const TSpObjectToken& AToken);

protected:
    bool HatStimmeS();  // the voice object has a current voice
    bool ErreichbarS(); // the runtime is there or being connected
    TSpVoice* Voice() const { return FVoice.get(); }

private:
    struct TTokenEintrag {
        QString Description;
        int Pos = 0; // position of its token in FTokenObjs
    };
    void TokensNeu();

    QList<TSpObjectToken> FTokenObjs;
    int FRate = 0;
    int FVolume = 80;
    std::vector<TTokenEintrag> FTokens;
    std::unique_ptr<TSpVoice> FVoice;
};
