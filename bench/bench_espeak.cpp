// The in-process voice: what its first use costs the main thread, and the time
// from Speak to the first PCM handed to the audio output, into memory and
// through the sound server when one answers.

#include "EspeakVoice.h"
#include "SapiBasics.h"

#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 21;

// Passes the PCM on (or takes it at the pace of speech, as a device would)
// and notes when an utterance's first samples arrive and when the device is
// told to drop what it holds.
class TStoppuhr final : public TPcmAusgabe {
public:
    explicit TStoppuhr(std::shared_ptr<TPcmAusgabe> AZiel = nullptr) : FZiel(std::move(AZiel)) {}

    void Starten() {
        std::lock_guard lock(FMutex);
        FStart = Clock::now();
        FErstes.reset();
        FVerworfen.reset();
    }
    std::optional<double> ErstesMs() {
        std::lock_guard lock(FMutex);
        return FErstes;
    }
    std::optional<double> VerworfenMs() {
        std::lock_guard lock(FMutex);
        return FVerworfen;
    }
    bool GeoeffnetS() {
        std::lock_guard lock(FMutex);
        return FGeoeffnetS;
    }

    bool Oeffnen(int AAbtastrate) override {
        const bool ok = !FZiel || FZiel->Oeffnen(AAbtastrate);
        std::lock_guard lock(FMutex);
        FAbtastrate = AAbtastrate;
        FGeoeffnetS = FGeoeffnetS || ok;
        return ok;
    }
    bool Schreiben(const short* AProben, std::size_t AAnzahl) override {
        {
            std::lock_guard lock(FMutex);
            if (!FErstes) FErstes = SeitStart();
        }
        if (FZiel) return FZiel->Schreiben(AProben, AAnzahl);
        std::this_thread::sleep_for(std::chrono::duration<double>(double(AAnzahl) / FAbtastrate));
        return true;
    }
    void Verwerfen() override {
        if (FZiel) FZiel->Verwerfen();
        std::lock_guard lock(FMutex);
        if (!FVerworfen) FVerworfen = SeitStart();
    }
    void Ablaufen() override {
        if (FZiel) FZiel->Ablaufen();
    }
    void Schliessen() override {
        if (FZiel) FZiel->Schliessen();
    }

private:
    double SeitStart() const {
        return std::chrono::duration<double, std::milli>(Clock::now() - FStart).count();
    }

    const std::shared_ptr<TPcmAusgabe> FZiel;
    std::mutex FMutex;
    Clock::time_point FStart;
    std::optional<double> FErstes;
    std::optional<double> FVerworfen;
    int FAbtastrate = 22050;
    bool FGeoeffnetS = false;
};

struct TZahlen {
    std::vector<double> Zeiten;
    int Fehlend = 0; // runs without an answer within 2 s
};

void Zeigen(const char* AWas, TZahlen AZ) {
    std::printf("  %-46s", AWas);
    if (!AZ.Zeiten.empty()) {
        std::sort(AZ.Zeiten.begin(), AZ.Zeiten.end());
        std::printf("median %6.2f ms  min %6.2f  max %7.2f", AZ.Zeiten[AZ.Zeiten.size() / 2],
                    AZ.Zeiten.front(), AZ.Zeiten.back());
    }
    if (AZ.Fehlend) std::printf("  (%d runs without an answer)", AZ.Fehlend);
    std::printf("\n");
}

bool Abwarten(TZahlen& AZ, const std::function<std::optional<double>()>& AWert) {
    const auto bis = Clock::now() + std::chrono::seconds(2);
    while (!AWert() && Clock::now() < bis)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    if (const std::optional<double> ms = AWert()) {
        AZ.Zeiten.push_back(*ms);
        return true;
    }
    ++AZ.Fehlend;
    return false;
}

// One utterance after another (each after a pause, long enough for the device
// to be closed if wanted): the time to its first PCM, and, when it is cut off
// while playing, the time from the purge to the device being told to drop.
void Messen(const char* AWas, TSpVoice& AStimme, TStoppuhr& AUhr, const QString& AText, int ALaeufe,
            std::chrono::milliseconds APause) {
    TZahlen erstes, schnitt;
    for (int i = 0; i < ALaeufe; ++i) {
        std::this_thread::sleep_for(APause);
        AUhr.Starten();
        AStimme.Speak(AText, SVSFlagsAsync | SVSFPurgeBeforeSpeak);
        if (Abwarten(erstes, [&] { return AUhr.ErstesMs(); })) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            AUhr.Starten();
            AStimme.Speak(QString(), SVSFPurgeBeforeSpeak);
            Abwarten(schnitt, [&] { return AUhr.VerworfenMs(); });
        }
        AStimme.Speak(QString(), SVSFPurgeBeforeSpeak);
    }
    std::printf(" %s, %d runs\n", AWas, ALaeufe);
    Zeigen("Speak to the first PCM handed to the output", erstes);
    Zeigen("purge while speaking to the output's flush", schnitt);
}

} // namespace

int main() {
    const QString kurz = QStringLiteral("Guten Morgen.");
    const QString lang =
        QStringLiteral("Übung macht den Meister. Wer täglich zehn Minuten schreibt, lernt das "
                       "Zehnfingersystem schneller, als er denkt. Die Hände ruhen auf der "
                       "Grundreihe, die Daumen auf der Leertaste.")
            .repeated(20);

    std::printf("eSpeak NG voice, first use on the calling thread:\n");
    auto uhr = std::make_shared<TStoppuhr>();
    std::unique_ptr<TSpVoice> stimme = CreateEspeakVoice(uhr);
    QElapsedTimer t;
    t.start();
    const int anzahl = int(stimme->GetVoices().size());
    std::printf("  %-44s %6.2f ms (%d voices)\n", "first GetVoices (initialisation, listing)",
                t.nsecsElapsed() / 1e6, anzahl);
    t.restart();
    for (int i = 0; i < 100; ++i)
        stimme->GetVoices();
    std::printf("  %-44s %6.3f ms\n", "GetVoices afterwards", t.nsecsElapsed() / 1e6 / 100);

    Messen("into memory, short text", *stimme, *uhr, kurz, kRuns, std::chrono::milliseconds(20));
    Messen("into memory, text of 3400 characters", *stimme, *uhr, lang, kRuns, std::chrono::milliseconds(20));

    auto pulse = std::make_shared<TStoppuhr>(CreatePulsePcmAusgabe());
    std::unique_ptr<TSpVoice> laut = CreateEspeakVoice(pulse);
    laut->SetVolume(0);
    // A null sink wakes up only after its idle period of up to two seconds: one
    // utterance played to its end first, so that the figures are the voice's.
    laut->Speak(kurz, 0);
    if (!pulse->GeoeffnetS()) {
        std::printf(" sound server: none reachable, no figures\n");
        return 0;
    }
    Messen("sound server, stream open", *laut, *pulse, kurz, kRuns, std::chrono::milliseconds(20));
    Messen("sound server, after the idle stream was closed", *laut, *pulse, kurz, 3, std::chrono::seconds(4));
    return 0;
}
