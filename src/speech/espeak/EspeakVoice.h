#pragma once
// The voice object of eSpeak NG, synthesizing in this process.

#include "SpVoice.h"

#include <cstddef>
#include <memory>

// Where a voice's PCM goes: signed 16-bit mono samples in the machine's byte
// order. Called only on that voice's playback thread, one call at a time.
class TPcmAusgabe {
public:
    virtual ~TPcmAusgabe() = default;
    // Readies the device; false when there is none now (the voice then
    // speaks silently, but still finishes).
    virtual bool Oeffnen(int AAbtastrate) = 0;
    // Blocks until the device has taken the samples; false when it failed.
    virtual bool Schreiben(const short* AProben, std::size_t AAnzahl) = 0;
    // Drops what the device holds and has not played yet.
    virtual void Verwerfen() = 0;
    // Returns when everything written has been played.
    virtual void Ablaufen() = 0;
    virtual void Schliessen() = 0;
};

// A voice that plays through the sound server.
std::unique_ptr<TSpVoice> CreateEspeakVoice();
// A voice that plays into the given output.
std::unique_ptr<TSpVoice> CreateEspeakVoice(std::shared_ptr<TPcmAusgabe> AAusgabe);
// The sound server's output as the voice uses it by default: connected on
// first need, small buffer, so a purge cuts within a few hundredths of a second.
std::shared_ptr<TPcmAusgabe> CreatePulsePcmAusgabe();
