#pragma once
// The screen reader dispatcher: finds the screen reader that runs and hands
// each request to its driver. Several dispatchers may exist; each works on its
// own. Used on the main thread only.

#include "ScreenReaderDriver.h"

#include <functional>

using TScreenReaderDriverFabrik = std::function<TScreenReaderDriverListe()>;

// The drivers of this platform's screen readers, in detection order (made by
// the platform's backend: orca/ on Linux).
TScreenReaderDriverListe PlatformScreenReaderDrivers();

class TTolkSRD {
public:
    // AFabrik makes the drivers at Load; empty: the platform's drivers.
    explicit TTolkSRD(TScreenReaderDriverFabrik AFabrik = {});
    ~TTolkSRD();
    TTolkSRD(const TTolkSRD&) = delete;
    TTolkSRD& operator=(const TTolkSRD&) = delete;

    bool IsLoaded() const { return FIsLoaded; }
    void Load();
    void Unload();
    // The name of the running screen reader, or empty. Asked afresh each time.
    QString DetectScreenReader();

    bool Speak(const QString& S, bool Interrupt);
    bool Output(const QString& S, bool Interrupt);
    bool Braille(const QString& S);
    bool IsSpeaking();
    bool Silence();
    bool Stop() { return Silence(); }
    bool HasSpeech();
    bool HasBraille();

    TScreenReaderDriver* CurrentSRD() const { return FCurrentSRD; }

private:
    TScreenReaderDriverFabrik FFabrik;
    bool FIsLoaded = false;
    TScreenReaderDriverListe FList;
    TScreenReaderDriver* FCurrentSRD = nullptr;
};

// With the environment variable TASTARO_SPRACHLOG naming a file, every text
// handed to a voice or to the screen reader is appended to it, one line each,
// so that a test on a real desktop can tell what the program said.
void SprachLogSchreiben(const QString& AText);
