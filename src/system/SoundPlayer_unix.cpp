// Event sounds: the PCM of a WAV file in memory, played on a thread of its own
// through the sound server's blocking client API.
//
// A waiting sound blocks the GUI thread for its length without running an
// event loop: keys typed meanwhile stay queued in the window system and reach
// the program in order once the sound has ended, as they would after a
// synchronous sound on Windows. The device is fed by the sound thread, so the
// blocked GUI thread cannot starve it.

#include "PulseStream.h"
#include "QtServices.h"
#include "WavData.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Beyond the sound's own length: connecting to the server and its latency.
constexpr auto WarteZugabe = std::chrono::milliseconds(1000);
// After a failed connection the server is not asked again for this long, so a
// machine without sound does not pay a connection attempt for every key.
constexpr auto NeuVersuchNach = std::chrono::seconds(2);
// An idle stream is closed, so the device may sleep between trainings.
constexpr auto LeerlaufBis = std::chrono::seconds(3);
// Small buffer and chunks: a new sound cuts the old one off within a chunk.
constexpr int PufferMs = 40;
constexpr int StueckMs = 10;

struct TAuftrag {
    std::shared_ptr<const TWavData> Wav;
    quint64 Nr = 0;
};

class TPulseSoundPlayer final : public ISoundPlayer {
public:
    ~TPulseSoundPlayer() override {
        {
            std::lock_guard lock(FMutex);
            FEndeS = true;
            ++FNr;
        }
        FNeu.notify_all();
        if (FThread.joinable()) FThread.join();
    }

    void Play(const QByteArray& AWav, bool AWarteS) override {
        std::optional<TWavData> wav = ParseWav(AWav);
        if (!wav || wav->Pcm.isEmpty()) {
            // Even a silent sound replaces the one playing.
            Stop();
            return;
        }
        const auto bis = Clock::now() + std::chrono::milliseconds(wav->DauerMs()) + WarteZugabe;
        std::unique_lock lock(FMutex);
        const quint64 nr = ++FNr;
        FAuftrag = {std::make_shared<const TWavData>(std::move(*wav)), nr};
        if (!FThread.joinable()) FThread = std::thread([this] { Ausfuehren(); });
        FNeu.notify_all();
        if (AWarteS) FFertig.wait_until(lock, bis, [this, nr] { return FFertigNr >= nr; });
    }

    void Stop() override {
        {
            std::lock_guard lock(FMutex);
            ++FNr;
            FAuftrag = {};
        }
        FNeu.notify_all();
    }

private:
    // The sound thread: takes the newest request, plays it in small chunks
    // and gives up a chunk boundary after a newer request or Stop arrived.
    void Ausfuehren() {
        std::unique_lock lock(FMutex);
        for (;;) {
            const bool neuS = FNeu.wait_for(lock, LeerlaufBis, [this] { return FEndeS || FAuftrag.Wav; });
            if (FEndeS) break;
            if (!neuS) {
                lock.unlock();
                Schliessen();
                lock.lock();
                continue;
            }
            const TAuftrag auftrag = std::exchange(FAuftrag, {});
            lock.unlock();
            Abspielen(*auftrag.Wav, auftrag.Nr);
            lock.lock();
            if (FFertigNr < auftrag.Nr) FFertigNr = auftrag.Nr;
            FFertig.notify_all();
        }
        lock.unlock();
        Schliessen();
    }

    bool Ueberholt(quint64 ANr) {
        std::lock_guard lock(FMutex);
        return FNr != ANr;
    }

    void Abspielen(const TWavData& AWav, quint64 ANr) {
        if (!Oeffnen(AWav)) return;
        const int frame = AWav.Kanaele * AWav.Bits / 8;
        const qsizetype stueck = qsizetype(std::max(1, AWav.Rate * StueckMs / 1000)) * frame;
        for (qsizetype pos = 0; pos < AWav.Pcm.size(); pos += stueck) {
            if (Ueberholt(ANr)) {
                FStream->Verwerfen();
                return;
            }
            const size_t laenge = size_t(std::min(stueck, AWav.Pcm.size() - pos));
            if (!FStream->Schreiben(AWav.Pcm.constData() + pos, laenge)) {
                Schliessen();
                return;
            }
        }
        if (!FStream->Ablaufen()) Schliessen();
    }

    bool Oeffnen(const TWavData& AWav) {
        TPulseStream::TArt art;
        art.Format = AWav.Bits == 8 ? TPulseStream::TFormat::U8 : TPulseStream::TFormat::S16LE;
        art.Rate = uint32_t(AWav.Rate);
        art.Kanaele = uint8_t(AWav.Kanaele);
        if (FStream && FStream->Art() == art) return true;
        Schliessen();
        if (Clock::now() < FNaechsterVersuch) return false;
        FStream = TPulseStream::Oeffnen(art, "Ereignisklang", PufferMs);
        if (!FStream) {
            FNaechsterVersuch = Clock::now() + NeuVersuchNach;
            return false;
        }
        return true;
    }

    void Schliessen() { FStream.reset(); }

    std::mutex FMutex;
    std::condition_variable FNeu;    // a request or the end for the sound thread
    std::condition_variable FFertig; // a request has ended, for a waiting caller
    TAuftrag FAuftrag;               // the newest request not yet taken
    quint64 FNr = 0;                 // number of the newest Play or Stop
    quint64 FFertigNr = 0;           // newest request that has ended or was cut off
    bool FEndeS = false;
    std::thread FThread;
    // Owned by the sound thread only.
    std::unique_ptr<TPulseStream> FStream;
    Clock::time_point FNaechsterVersuch{};
};

} // namespace

ISoundPlayer& PulseSoundPlayer() {
    static TPulseSoundPlayer player;
    return player;
}
