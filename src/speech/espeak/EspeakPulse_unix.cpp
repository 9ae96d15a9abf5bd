// The in-process voice's way to the sound server: the blocking simple API,
// fed by the voice's playback thread in pieces of a hundredth of a second.

#include "EspeakVoice.h"
#include "PulseStream.h"

#include <pulse/simple.h>

#include <chrono>
#include <cstdint>

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
        if (FStream && FArt.rate == uint32_t(AAbtastrate)) return true;
        Schliessen();
        if (Clock::now() < FNaechsterVersuch) return false;
        pa_sample_spec art{};
        art.format = PA_SAMPLE_S16NE;
        art.rate = uint32_t(AAbtastrate);
        art.channels = 1;
        FStream = OpenPulseStream(art, "Sprachausgabe", PufferMs);
        if (!FStream) {
            FNaechsterVersuch = Clock::now() + NeuVersuchNach;
            return false;
        }
        FArt = art;
        return true;
    }

    bool Schreiben(const short* AProben, std::size_t AAnzahl) override {
        int fehler = 0;
        if (FStream && PulseApi()->SimpleWrite(FStream, AProben, AAnzahl * sizeof(short), &fehler) >= 0)
            return true;
        Fehlschlag();
        return false;
    }

    void Verwerfen() override {
        int fehler = 0;
        if (FStream && PulseApi()->SimpleFlush(FStream, &fehler) < 0) Fehlschlag();
    }

    void Ablaufen() override {
        int fehler = 0;
        if (FStream && PulseApi()->SimpleDrain(FStream, &fehler) < 0) Fehlschlag();
    }

    void Schliessen() override {
        if (FStream) PulseApi()->SimpleFree(FStream);
        FStream = nullptr;
    }

private:
    void Fehlschlag() {
        Schliessen();
        FNaechsterVersuch = Clock::now() + NeuVersuchNach;
    }

    pa_simple* FStream = nullptr;
    pa_sample_spec FArt{};
    Clock::time_point FNaechsterVersuch{};
};

} // namespace

std::shared_ptr<TPcmAusgabe> CreatePulsePcmAusgabe() {
    return std::make_shared<TPulsePcmAusgabe>();
}
