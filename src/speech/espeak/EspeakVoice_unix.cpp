// eSpeak NG in this process.
//
// espeak keeps all its state in globals, so one synthesis thread serves every
// voice object of the process, one utterance at a time, and every call into
// espeak happens under one lock. Each voice object plays its own PCM on a
// playback thread of its own. Synthesis runs hundreds of times faster than
// speech and hands its output over chunk by chunk as it goes, so playback
// starts with the first chunk, not after the whole text.

#include "DynBibliothek.h"
#include "EspeakVoice.h"
#include "Sapi5_4.h"
#include "SapiBasics.h"

#include <espeak-ng/speak_lib.h>

#include <QByteArray>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Written to the device at a time: a purge or pause takes effect within one.
constexpr int StueckMs = 10;
// How far synthesis may run ahead of playback while no other voice waits for
// it, so a long text does not sit in memory as a whole.
constexpr int VorlaufSekunden = 5;
// An idle device is closed, so it may sleep between trainings.
constexpr auto LeerlaufBis = std::chrono::seconds(3);
// A synchronous Speak gives up when playback has not moved for this long.
constexpr auto StillstandBis = std::chrono::seconds(3);
// espeak reads its voice files afresh for every listing (some milliseconds on
// the main thread), while the engines ask for the list at every turn.
constexpr auto ListeGueltig = std::chrono::seconds(5);

// The library is loaded when a voice is first asked for, not at start.
struct TEspeakApi {
    decltype(&::espeak_Initialize) Initialize = nullptr;
    decltype(&::espeak_SetSynthCallback) SetSynthCallback = nullptr;
    decltype(&::espeak_Synth) Synth = nullptr;
    decltype(&::espeak_SetParameter) SetParameter = nullptr;
    decltype(&::espeak_SetVoiceByName) SetVoiceByName = nullptr;
    decltype(&::espeak_ListVoices) ListVoices = nullptr;
};

// Null when the library is missing: then there is no eSpeak voice.
const TEspeakApi* EspeakApi() {
    return ApiLaden<TEspeakApi>("libespeak-ng.so.1", [](TDynBibliothek& b, TEspeakApi& a) {
        return b.Binden(a.Initialize, "espeak_Initialize") &&
               b.Binden(a.SetSynthCallback, "espeak_SetSynthCallback") && b.Binden(a.Synth, "espeak_Synth") &&
               b.Binden(a.SetParameter, "espeak_SetParameter") &&
               b.Binden(a.SetVoiceByName, "espeak_SetVoiceByName") &&
               b.Binden(a.ListVoices, "espeak_ListVoices");
    });
}

struct TAeusserung {
    int Nr = 0;
    std::deque<std::vector<short>> Stuecke; // synthesized, not yet played
    std::size_t Versatz = 0;                // played part of Stuecke.front()
    std::size_t Vorrat = 0;                 // samples in Stuecke not yet played
    bool SyntheseFertigS = false;
    bool AbgebrochenS = false;
};

// What a voice object shares with its playback thread and with the synthesis
// thread. The synthesis thread may still hold it for a moment after the voice
// object is gone; it then finds every utterance cancelled.
class TStimmZustand {
public:
    explicit TStimmZustand(std::shared_ptr<TPcmAusgabe> AAusgabe) : Ausgabe(std::move(AAusgabe)) {
        Ereignis->Set(); // nothing queued: all is spoken
    }

    // Caller holds Mutex.
    void AllesVerwerfen() {
        for (const auto& a : Warteschlange)
            a->AbgebrochenS = true;
        Warteschlange.clear();
        ++Schnitte;
        FertigNr = LetzteNr;
        Ereignis->Set();
        Cv.notify_all();
    }

    // Synthesis thread, inside espeak: takes a chunk; false stops the synthesis.
    bool Aufnehmen(TAeusserung& A, const short* AProben, int AAnzahl, const std::atomic<bool>& ADraengelnS) {
        std::unique_lock lock(Mutex);
        if (AProben && AAnzahl > 0 && !A.AbgebrochenS) {
            A.Stuecke.emplace_back(AProben, AProben + AAnzahl);
            A.Vorrat += std::size_t(AAnzahl);
            Cv.notify_all();
        }
        const std::size_t vorlauf = std::size_t(Abtastrate) * VorlaufSekunden;
        while (!A.AbgebrochenS && A.Vorrat > vorlauf && !ADraengelnS.load())
            Cv.wait_for(lock, std::chrono::milliseconds(20));
        return !A.AbgebrochenS;
    }

    void SyntheseBeendet(TAeusserung& A) {
        std::lock_guard lock(Mutex);
        A.SyntheseFertigS = true;
        Cv.notify_all();
    }

    // The playback thread: plays the queue in pieces until the end.
    void Abspielen() {
        std::vector<short> stueck;
        bool offenS = false;
        int versuchtNr = 0; // the utterance for which the device was last opened
        std::unique_lock lock(Mutex);
        const std::size_t stueckProben = std::size_t(std::max(1, Abtastrate * StueckMs / 1000));
        quint64 schnitte = Schnitte;
        const auto arbeitS = [&] {
            if (EndeS || Schnitte != schnitte) return true;
            if (PauseS || Warteschlange.empty()) return false;
            const TAeusserung& a = *Warteschlange.front();
            return !a.Stuecke.empty() || a.SyntheseFertigS || (!offenS && versuchtNr != a.Nr);
        };
        const auto ohneSperre = [&](auto AWas) {
            lock.unlock();
            AWas();
            lock.lock();
        };
        for (;;) {
            if (!Cv.wait_for(lock, LeerlaufBis, arbeitS)) {
                if (offenS && Warteschlange.empty()) {
                    ohneSperre([&] { Ausgabe->Schliessen(); });
                    offenS = false;
                }
                continue;
            }
            if (EndeS) break;
            if (Schnitte != schnitte) {
                schnitte = Schnitte;
                if (offenS) ohneSperre([&] { Ausgabe->Verwerfen(); });
                continue;
            }
            const std::shared_ptr<TAeusserung> a = Warteschlange.front();
            if (!offenS && versuchtNr != a->Nr) {
                // The device is opened while the first chunk is being made.
                versuchtNr = a->Nr;
                ohneSperre([&] { offenS = Ausgabe->Oeffnen(Abtastrate); });
                continue;
            }
            if (!a->Stuecke.empty()) {
                const std::vector<short>& vorn = a->Stuecke.front();
                const std::size_t n = std::min(stueckProben, vorn.size() - a->Versatz);
                const auto von = vorn.begin() + std::ptrdiff_t(a->Versatz);
                stueck.assign(von, von + std::ptrdiff_t(n));
                a->Versatz += n;
                a->Vorrat -= n;
                if (a->Versatz == vorn.size()) {
                    a->Stuecke.pop_front();
                    a->Versatz = 0;
                }
                ++Fortschritt;
                if (offenS) ohneSperre([&] { offenS = Ausgabe->Schreiben(stueck.data(), stueck.size()); });
                continue;
            }
            // Synthesized and handed over to its end. Only the last one in the
            // queue waits until the device has played it: the event promises
            // that everything has been heard.
            if (offenS && Warteschlange.size() == 1) {
                ohneSperre([&] { Ausgabe->Ablaufen(); });
                if (Warteschlange.empty() || Warteschlange.front() != a) continue;
            }
            Warteschlange.pop_front();
            FertigNr = a->Nr;
            if (Warteschlange.empty()) Ereignis->Set();
            Cv.notify_all();
        }
        if (offenS) {
            ohneSperre([&] {
                Ausgabe->Verwerfen();
                Ausgabe->Schliessen();
            });
        }
    }

    std::mutex Mutex;
    // Every change: a chunk, an end, a purge, pause, the voice's end.
    std::condition_variable Cv;
    std::deque<std::shared_ptr<TAeusserung>> Warteschlange; // queued, the first one playing
    const std::shared_ptr<TSpEvent> Ereignis = std::make_shared<TSpEvent>();
    int LetzteNr = 0;        // stream number of the newest utterance
    int FertigNr = 0;        // all up to this one have been played or discarded
    quint64 Schnitte = 0;    // purges so far
    quint64 Fortschritt = 0; // pieces played so far
    bool PauseS = false;
    bool EndeS = false;
    int Abtastrate = 0;
    // Used by the playback thread only.
    const std::shared_ptr<TPcmAusgabe> Ausgabe;
};

struct TAuftrag {
    std::shared_ptr<TStimmZustand> Zustand;
    std::shared_ptr<TAeusserung> Aeusserung;
    QByteArray Text;
    QByteArray StimmeId;
    int Wpm = espeakRATE_NORMAL;
    int Lautstaerke = 100;
};

int Rueckruf(short* AProben, int AAnzahl, espeak_EVENT* AEreignisse);

// espeak itself, for the whole process: initialised on first use and kept.
class TEspeakDienst {
public:
    ~TEspeakDienst() {
        {
            std::lock_guard lock(FMutex);
            FEndeS = true;
            FDraengelnS = true;
        }
        FCv.notify_all();
        if (FThread.joinable()) FThread.join();
    }

    // Whether espeak can speak; the first call initialises it.
    bool Bereit() {
        if (const int z = FBereit.load(); z != 0) return z > 0;
        std::lock_guard espeak(FEspeakMutex);
        if (const int z = FBereit.load(); z != 0) return z > 0;
        const TEspeakApi* espeakApi = EspeakApi();
        const int rate = espeakApi ? espeakApi->Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                                                           espeakINITIALIZE_DONT_EXIT)
                                   : 0;
        if (rate <= 0) {
            FBereit = -1;
            return false;
        }
        espeakApi->SetSynthCallback(Rueckruf);
        FAbtastrate = rate;
        {
            std::lock_guard liste(FListeMutex);
            ListeLesen();
        }
        FBereit = 1;
        return true;
    }

    int Abtastrate() const { return FAbtastrate.load(); }

    QList<TSpObjectToken> Stimmen() {
        // While a synthesis holds espeak the list of a moment ago will do:
        // the main thread must not wait for it.
        std::unique_lock espeak(FEspeakMutex, std::try_to_lock);
        std::lock_guard liste(FListeMutex);
        if (espeak.owns_lock() && Clock::now() - FListeStand > ListeGueltig) ListeLesen();
        return FStimmen;
    }

    TSpObjectToken Vorgabe() {
        std::lock_guard liste(FListeMutex);
        return FVorgabe;
    }

    void Einreihen(TAuftrag AAuftrag) {
        {
            std::lock_guard lock(FMutex);
            if (FEndeS) throw std::runtime_error("eSpeak NG has been shut down");
            if (!FThread.joinable()) FThread = std::thread([this] { Ausfuehren(); });
            FAuftraege.push_back(std::move(AAuftrag));
            FDraengelnS = true;
        }
        FCv.notify_all();
    }

    // Called back by espeak on the synthesis thread.
    static bool Aufnehmen(TAuftrag& A, const short* AProben, int AAnzahl) {
        return A.Zustand->Aufnehmen(*A.Aeusserung, AProben, AAnzahl, Instanz().FDraengelnS);
    }

    static TEspeakDienst& Instanz() {
        static TEspeakDienst dienst;
        return dienst;
    }

private:
    TEspeakDienst() = default;

    // Caller holds FEspeakMutex and FListeMutex.
    void ListeLesen() {
        FStimmen.clear();
        FVorgabe = {};
        bool deutschS = false;
        for (const espeak_VOICE** v = EspeakApi()->ListVoices(nullptr); v && *v; ++v) {
            const TSpObjectToken t{QString::fromUtf8((*v)->identifier),
                                   QString::fromUtf8((*v)->name) + QStringLiteral(" (eSpeak NG)")};
            // languages: a priority byte, then the language name
            const bool deS = (*v)->languages && qstrcmp((*v)->languages + 1, "de") == 0;
            if (FStimmen.isEmpty() || (deS && !deutschS)) FVorgabe = t;
            deutschS = deutschS || deS;
            FStimmen << t;
        }
        FListeStand = Clock::now();
    }

    void Ausfuehren() {
        std::unique_lock lock(FMutex);
        for (;;) {
            FCv.wait(lock, [this] { return FEndeS || !FAuftraege.empty(); });
            if (FEndeS) return;
            TAuftrag auftrag = std::move(FAuftraege.front());
            FAuftraege.pop_front();
            FDraengelnS = !FAuftraege.empty();
            lock.unlock();
            Synthetisieren(auftrag);
            auftrag.Zustand->SyntheseBeendet(*auftrag.Aeusserung);
            auftrag = {};
            lock.lock();
        }
    }

    void Synthetisieren(TAuftrag& A) {
        {
            std::lock_guard lock(A.Zustand->Mutex);
            if (A.Aeusserung->AbgebrochenS) return;
        }
        std::lock_guard espeak(FEspeakMutex);
        const TEspeakApi& api = *EspeakApi();
        if (!A.StimmeId.isEmpty() && A.StimmeId != FGesetzteStimme &&
            api.SetVoiceByName(A.StimmeId.constData()) == EE_OK)
            FGesetzteStimme = A.StimmeId;
        api.SetParameter(espeakRATE, A.Wpm, 0);
        api.SetParameter(espeakVOLUME, A.Lautstaerke, 0);
        api.Synth(A.Text.constData(), std::size_t(A.Text.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                  nullptr, &A);
    }

    // Every call into espeak.
    std::mutex FEspeakMutex;
    std::atomic<int> FBereit{0}; // 0 not tried, 1 ready, -1 failed for good
    std::atomic<int> FAbtastrate{0};
    QByteArray FGesetzteStimme; // the voice espeak has loaded; synthesis thread

    std::mutex FListeMutex;
    QList<TSpObjectToken> FStimmen;
    TSpObjectToken FVorgabe;
    Clock::time_point FListeStand{};

    std::mutex FMutex;
    std::condition_variable FCv;
    std::deque<TAuftrag> FAuftraege;
    bool FEndeS = false;
    // Another utterance waits for the synthesis thread (or the process ends),
    // so the one being made must not wait for its playback.
    std::atomic<bool> FDraengelnS{false};
    std::thread FThread;
};

int Rueckruf(short* AProben, int AAnzahl, espeak_EVENT* AEreignisse) {
    auto* auftrag = AEreignisse ? static_cast<TAuftrag*>(AEreignisse->user_data) : nullptr;
    if (!auftrag) return 1;
    return TEspeakDienst::Aufnehmen(*auftrag, AProben, AAnzahl) ? 0 : 1;
}

class TEspeakStimme final : public TSpVoice {
public:
    explicit TEspeakStimme(std::shared_ptr<TPcmAusgabe> AAusgabe)
        : FZustand(std::make_shared<TStimmZustand>(std::move(AAusgabe))) {}

    ~TEspeakStimme() override {
        {
            std::lock_guard lock(FZustand->Mutex);
            FZustand->EndeS = true;
            FZustand->AllesVerwerfen();
        }
        if (FThread.joinable()) FThread.join();
    }

    QList<TSpObjectToken> GetVoices() override {
        if (!Dienst().Bereit()) throw std::runtime_error("eSpeak NG is not available");
        return Dienst().Stimmen();
    }

    std::optional<TSpObjectToken> Voice() override {
        if (!Dienst().Bereit()) return std::nullopt;
        if (!FStimme) FStimme = Dienst().Vorgabe();
        return FStimme;
    }

    void SetVoice(const TSpObjectToken& AToken) override {
        const QList<TSpObjectToken> stimmen = GetVoices();
        const auto it = std::find_if(stimmen.begin(), stimmen.end(),
                                     [&](const TSpObjectToken& t) { return t.Id == AToken.Id; });
        if (it == stimmen.end()) throw std::invalid_argument("no such eSpeak NG voice");
        FStimme = *it;
    }

    int GetRate() override { return FRate; }
    void SetRate(int AValue) override { FRate = std::clamp(AValue, -10, 10); }
    int GetVolume() override { return FVolume; }
    void SetVolume(int AValue) override { FVolume = std::clamp(AValue, 0, 100); }

    int Speak(const QString& AText, int AFlags) override {
        const std::optional<TSpObjectToken> stimme = Voice();
        if (!stimme) return 0;
        TStimmZustand& z = *FZustand;
        std::unique_lock lock(z.Mutex);
        if (AFlags & SVSFPurgeBeforeSpeak) z.AllesVerwerfen();
        if (AText.isEmpty()) return 0;
        if (!FThread.joinable()) {
            z.Abtastrate = Dienst().Abtastrate();
            FThread = std::thread([zustand = FZustand] { zustand->Abspielen(); });
        }
        auto aeusserung = std::make_shared<TAeusserung>();
        const int nr = aeusserung->Nr = ++z.LetzteNr;
        z.Warteschlange.push_back(aeusserung);
        z.Ereignis->Reset();
        z.Cv.notify_all();
        try {
            Dienst().Einreihen({FZustand, aeusserung, AText.toUtf8(), stimme->Id.toUtf8(), Wpm(), FVolume});
        } catch (...) {
            // Nothing will be synthesized: the utterance ends silently.
            aeusserung->SyntheseFertigS = true;
            z.Cv.notify_all();
            throw;
        }
        if (AFlags & SVSFlagsAsync) return nr;
        for (;;) {
            const quint64 fortschritt = z.Fortschritt;
            if (z.Cv.wait_for(lock, StillstandBis, [&] { return z.FertigNr >= nr; })) break;
            if (z.Fortschritt == fortschritt) break;
        }
        return nr;
    }

    void Pause() override { Anhalten(true); }
    void Resume() override { Anhalten(false); }

    std::shared_ptr<TSpEvent> SpeakCompleteEvent() override { return FZustand->Ereignis; }

private:
    static TEspeakDienst& Dienst() { return TEspeakDienst::Instanz(); }

    // The program's rates are steps of a geometric scale as in SAPI: +10 three
    // times as fast as 0 (the library speaks that fast, beyond its nominal
    // maximum). It speaks nothing slower than its minimum, so the steps below
    // 0 end there at -10: every step sounds different.
    int Wpm() const {
        const double wpm =
            FRate >= 0
                ? espeakRATE_NORMAL * std::pow(3.0, FRate / 10.0)
                : espeakRATE_NORMAL * std::pow(double(espeakRATE_MINIMUM) / espeakRATE_NORMAL, -FRate / 10.0);
        return std::max(int(std::lround(wpm)), espeakRATE_MINIMUM);
    }

    void Anhalten(bool APauseS) {
        {
            std::lock_guard lock(FZustand->Mutex);
            FZustand->PauseS = APauseS;
        }
        FZustand->Cv.notify_all();
    }

    const std::shared_ptr<TStimmZustand> FZustand;
    std::thread FThread;
    std::optional<TSpObjectToken> FStimme;
    int FRate = 0;
    int FVolume = 100;
};

} // namespace

std::unique_ptr<TSpVoice> CreateEspeakVoice(std::shared_ptr<TPcmAusgabe> AAusgabe) {
    return std::make_unique<TEspeakStimme>(std::move(AAusgabe));
}

std::unique_ptr<TSpVoice> CreateEspeakVoice() {
    return CreateEspeakVoice(CreatePulsePcmAusgabe());
}

// On Linux the in-process synthesizer is eSpeak NG.
std::unique_ptr<TSpVoice> PlatformInProcessVoice() {
    return CreateEspeakVoice();
}
