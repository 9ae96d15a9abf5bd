#pragma once
// The speech facade: the running screen reader and the voices of both
// synthesizer engines as one list of voices. The main window and the options
// dialog speak only through it; whether to speak is their business, where to
// is decided here by the selected voice.

#include "SapiBasics.h"
#include "TolkSRD.h"

#include <QStringList>
#include <functional>
#include <memory>

// The pseudo voice that stands for the running screen reader.
inline const QString ScreenReaderStimme = QStringLiteral("ScreenReader (Orca)");
// Its name in settings carried over from Windows; it still selects the screen reader.
inline const QString ScreenReaderStimmeAlt = QStringLiteral("ScreenReader (JAWS/NVDA)");

// The selected output: Nr -1 none, 0 the screen reader, 1 a speech server
// voice, 2 an in-process voice; Index the voice's place in its engine's list.
struct TNrIndex {
    int Nr = -1;
    int Index = -1;
    bool operator==(const TNrIndex&) const = default;
};

// Where a facade's outputs come from; empty members give the real ones.
struct TSpeechPlatform {
    TScreenReaderDriverFabrik Treiber;
    std::function<std::unique_ptr<TSapiBase>()> Sapi5_1;
    std::function<std::unique_ptr<TSapiBase>()> Sapi5_4;
};

class TSpeech {
public:
    explicit TSpeech(bool AOnlyUseSapiSpeech, const TSpeechPlatform& APlatform = {});
    ~TSpeech();
    TSpeech(const TSpeech&) = delete;
    TSpeech& operator=(const TSpeech&) = delete;

    // Rebuilt on every call.
    QStringList Tokens();
    TNrIndex FindDescriptionInTokensNrIndex(const QString& ADescription);
    TNrIndex TokenNrIndex() const { return FNrIndex; }
    void SetTokenNrIndex(TNrIndex AValue);
    QString TokenDescription();

    int Rate();
    void SetRate(int AValue);
    int Volume();
    void SetVolume(int AValue);

    // Returns at once; synthesizer speech goes on in the background.
    void Speak(const QString& AText, bool AStopS);
    void Stop();

    TSpVoiceStartStream OnStartStream() const;
    void SetOnStartStream(TSpVoiceStartStream AHandler);
    TSpVoiceEndStream OnEndStream() const;
    void SetOnEndStream(TSpVoiceEndStream AHandler);

    QString FindRandomDescription(const QString& FindString);

    // Whether every engine's voice list is known. Nothing here waits for a
    // speech server: until it has listed its voices, a voice it names is
    // selected by its description alone (its index follows), and Tokens()
    // lacks its voices. StimmenGeaendert runs on the main thread when a list
    // became known.
    bool StimmenBekannt();
    std::function<void()> StimmenGeaendert;

private:
    // The description stands for the screen reader without asking any engine.
    static bool IstScreenReaderStimme(const QString& ADescription);
    TSapiBase* Engine() const; // the engine of Nr 1 or 2, else null

    void ListeDaSapi5_1();

    TNrIndex FNrIndex;
    // A server voice selected by description before its list was known.
    QString FVorgemerkt;
    QString FGesucht; // the description last looked up
    bool FOnlyUseSapiSpeech;
    int FRate = 0;
    int FVolume = 80;
    QStringList FTokens;
    std::unique_ptr<TTolkSRD> FTolk;
    std::unique_ptr<TSapiBase> FSapi5_1;
    std::unique_ptr<TSapiBase> FSapi5_4;
};
