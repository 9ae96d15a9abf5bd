// The in-process voice's way to the sound server: the blocking simple API,
// fed by the voice's playback thread in pieces of a hundredth of a second.

#include "EspeakVoice.h"
#include "PulseStream.h"

#include <chrono>
#include <cstdint>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

// After a failure the server is not asked again for this long, so a machine
// without sound does not pay a connection attempt for every utterance.
constexpr auto NeuVersuchNach = std::chrono::seconds(2);
// What the server holds ahead of playback: all that a purge cannot take back
// once flushing fails, and what playback starts with.
constexpr int PufferMs = 40;

class TPulsePcmAusgabe final : public TPcmAusgabe {
public:
    ~TPulsePcmAusgabe() override { Schliessen(); }

    bool Oeffnen(int AAbtastrate) override {
        if (FStream && FStream->Art().Rate == uint32_t(AAbtastrate)) return true;
        Schliessen();
        if (Clock::now() < FNaechsterVersuch) return false;
        TPulseStream::TArt art;
        art.Format = TPulseStream::TFormat::S16NE;
        art.Rate = uint32_t(AAbtastrate);
        art.Kanaele = 1;
        FStream = TPulseStream::Oeffnen(art, "Sprachausgabe", PufferMs);
        if (!FStream) {
            FNaechsterVersuch = Clock::now() + NeuVersuchNach;
            return false;
        }
        return true;
    }

    bool Schreiben(const short* AProben, std::size_t AAnzahl) override {
        if (FStream && FStream->Schreiben(AProben, AAnzahl * sizeof(short))) return true;
        Fehlschlag();
        return false;
    }

    void Verwerfen() override {
        if (FStream && !FStream->Verwerfen()) Fehlschlag();
    }

    void Ablaufen() override {
        if (FStream && !FStream->Ablaufen()) Fehlschlag();
    }

    void Schliessen() override { FStream.reset(); }

private:
    void Fehlschlag() {
        Schliessen();
        FNaechsterVersuch = Clock::now() + NeuVersuchNach;
    }

    std::unique_ptr<TPulseStream> FStream;
    Clock::time_point FNaechsterVersuch{};
};

} // namespace

std::shared_ptr<TPcmAusgabe> CreatePulsePcmAusgabe() {
    return std::make_shared<TPulsePcmAusgabe>();
}
