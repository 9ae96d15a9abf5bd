#include "SpdVoice.h"

#include "Sapi5_1.h"
#include "SapiBasics.h"
#include "SpdVerbindung.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <stdexcept>

using namespace std::chrono_literals;

namespace {
// The module's voices as the server lists them (name, language, variant).
// eSpeak NG lists every language once more with each of its ~100 variants;
// only the plain languages are offered, as nobody picks from thousands.
QList<TSpObjectToken> StimmenDesModuls(const QByteArray& AModul, const QByteArrayList& AZeilen) {
    QList<TSpObjectToken> alle;
    QList<TSpObjectToken> ohneVariante;
    const QString modul = QString::fromUtf8(AModul);
    for (const QByteArray& zeile : AZeilen) {
        const QByteArrayList teile = zeile.split('\t');
        const QString name = QString::fromUtf8(teile.value(0));
        if (name.isEmpty()) continue;
        TSpObjectToken token{modul + u':' + name, modul + QStringLiteral(": ") + name};
        const QByteArray variante = teile.value(2);
        if (variante.isEmpty() || variante == "none") ohneVariante.append(token);
        alle.append(std::move(token));
    }
    return ohneVariante.isEmpty() ? alle : ohneVariante;
}

// The server's voices, shared by every voice object of the process: reading
// them takes more than a second (the espeak-ng module sends thousands), and
// the server learns of new voices only when it is started again. So the list
// is read again only after a connection had to be renewed, or when it is old.
struct TStimmenCache {
    std::mutex Mutex;
    std::map<QByteArray, QList<TSpObjectToken>> ProModul;
    std::chrono::steady_clock::time_point Gelesen;
    // The modules of the last complete listing, in the server's order.
    std::optional<QByteArrayList> Module;
};
TStimmenCache& Cache() {
    static TStimmenCache c;
    return c;
}
constexpr auto CacheAlter = 10min;

void CacheAltern() {
    if (std::chrono::steady_clock::now() - Cache().Gelesen <= CacheAlter) return;
    Cache().ProModul.clear();
    Cache().Module.reset();
}

std::optional<QList<TSpObjectToken>> AusDemCache(const QByteArray& AModul) {
    std::lock_guard lock(Cache().Mutex);
    CacheAltern();
    const auto it = Cache().ProModul.find(AModul);
    if (it == Cache().ProModul.end()) return std::nullopt;
    return it->second;
}

// The whole list when every module's voices are known.
std::optional<QList<TSpObjectToken>> VollstaendigeListe() {
    std::lock_guard lock(Cache().Mutex);
    CacheAltern();
    if (!Cache().Module) return std::nullopt;
    QList<TSpObjectToken> alle;
    for (const QByteArray& modul : *Cache().Module) {
        const auto it = Cache().ProModul.find(modul);
        if (it == Cache().ProModul.end()) return std::nullopt;
        alle.append(it->second);
    }
    return alle;
}

void ModuleInDenCache(const QByteArrayList& AModule) {
    std::lock_guard lock(Cache().Mutex);
    Cache().Module = AModule;
}

void InDenCache(const QByteArray& AModul, const QList<TSpObjectToken>& AStimmen) {
    std::lock_guard lock(Cache().Mutex);
    if (Cache().ProModul.empty()) Cache().Gelesen = std::chrono::steady_clock::now();
    Cache().ProModul[AModul] = AStimmen;
}

void CacheVergessen() {
    std::lock_guard lock(Cache().Mutex);
    Cache().ProModul.clear();
    Cache().Module.reset();
}

class TSpdVoice : public TSpVoice {
public:
    TSpdVoice()
        : FGeneration(std::make_shared<int>(0)),
          FVerbindung(std::make_unique<TSpdVerbindung>(
              "voice", "text",
              [this](int AStrom, TSpdVerbindung::TMeldung AMeldung) { Melden(AStrom, AMeldung); })) {}

    ~TSpdVoice() override { FVerbindung.reset(); }

    // Starting the server and reading its voices take seconds, so the main
    // thread never waits for them: the list is read on the worker, and until
    // it is known this throws.
    QList<TSpObjectToken> GetVoices() override {
        if (auto liste = VollstaendigeListe()) return *liste;
        Vorbereiten();
        throw std::runtime_error("speech-dispatcher has not listed its voices yet");
    }

    bool StimmenBekannt() override { return VollstaendigeListe().has_value(); }

    void Vorbereiten() override {
        if (FListetS) return;
        // The worker ends before the connection goes, and the connection
        // drops the call to the main thread when it goes.
        FListetS =
            FVerbindung->Vorab([this, v = FVerbindung.get(), g = FGeneration](TSpdVerbindung::TKanal& k) {
                QList<TSpObjectToken> verworfen;
                Aufzaehlen(*g, verworfen, k);
                v->ImHauptthread([this] {
                    FListetS = false;
                    if (StimmenGeaendert && VollstaendigeListe()) StimmenGeaendert();
                });
            });
    }

    // "module: name", as the list describes the voices: selected without
    // listing them.
    std::optional<TSpObjectToken> TokenAusBeschreibung(const QString& ADescription) override {
        const qsizetype trenner = ADescription.indexOf(QStringLiteral(": "));
        if (trenner <= 0 || trenner + 2 >= ADescription.size()) return std::nullopt;
        const QString modul = ADescription.left(trenner);
        const QString name = ADescription.mid(trenner + 2);
        for (const QString& teil : {modul, name})
            if (teil.contains(QLatin1Char('\n')) || teil.contains(QLatin1Char('\r'))) return std::nullopt;
        if (modul.contains(QLatin1Char(' ')) || modul.contains(QLatin1Char(':'))) return std::nullopt;
        return TSpObjectToken{modul + u':' + name, ADescription};
    }

    bool Erreichbar() override { return FVerbindung->Erreichbar(); }

    std::optional<TSpObjectToken> Voice() override {
        if (!FVerbindung->Verbunden()) return std::nullopt;
        return FAktuell;
    }

private:
    // AGeneration: the connection count this voice object last listed with
    // (only its worker touches it).
    static void Aufzaehlen(int& AGeneration, QList<TSpObjectToken>& stimmen, TSpdVerbindung::TKanal& k) {
        // A renewed connection may mean a server started afresh.
        if (AGeneration != 0 && AGeneration != k.Generation()) CacheVergessen();
        AGeneration = k.Generation();
        const auto module = k.Befehl("LIST OUTPUT_MODULES");
        if (!module) return;
        bool umgeschaltetS = false;
        bool ganzS = true;
        for (const QByteArray& modul : *module) {
            std::optional<QList<TSpObjectToken>> liste = AusDemCache(modul);
            if (!liste) {
                // Only the connection's own output module can be asked.
                umgeschaltetS = true;
                if (!k.Befehl("SET SELF OUTPUT_MODULE " + modul)) {
                    ganzS = ganzS && !k.Kaputt();
                    continue;
                }
                const auto zeilen = k.Befehl("LIST SYNTHESIS_VOICES");
                if (!zeilen) {
                    ganzS = ganzS && !k.Kaputt();
                    continue;
                }
                liste = StimmenDesModuls(modul, *zeilen);
                InDenCache(modul, *liste);
            }
            stimmen.append(*liste);
        }
        if (umgeschaltetS) k.EinstellungenErneuern();
        // A module that refuses to list has no voices to offer; a listing cut
        // off by a lost connection is not complete.
        if (ganzS && !k.Kaputt()) ModuleInDenCache(*module);
    }

public:
    void SetVoice(const TSpObjectToken& AToken) override {
        FAktuell = AToken;
        const qsizetype trenner = AToken.Id.indexOf(u':');
        if (trenner < 0) {
            // the server's default voice
            FVerbindung->Einstellen("stimme", {});
            FVerbindung->Einstellen("modul", {});
            return;
        }
        FVerbindung->Einstellen("modul", "SET SELF OUTPUT_MODULE " + AToken.Id.left(trenner).toUtf8());
        FVerbindung->Einstellen("stimme", "SET SELF SYNTHESIS_VOICE " + AToken.Id.mid(trenner + 1).toUtf8());
    }

    int GetRate() override { return FRate.value_or(FVerbindung->ServerRateUndLautstaerke().first / 10); }

    void SetRate(int AValue) override {
        FRate = std::clamp(AValue, -10, 10);
        FVerbindung->Einstellen("rate", "SET SELF RATE " + QByteArray::number(*FRate * 10));
    }

    int GetVolume() override {
        return FVolume.value_or((FVerbindung->ServerRateUndLautstaerke().second + 100) / 2);
    }

    void SetVolume(int AValue) override {
        FVolume = std::clamp(AValue, 0, 100);
        FVerbindung->Einstellen("lautstaerke", "SET SELF VOLUME " + QByteArray::number(*FVolume * 2 - 100));
    }

    int Speak(const QString& AText, int AFlags) override {
        if (AFlags & SVSFPurgeBeforeSpeak) FVerbindung->Abbrechen(false);
        if (AText.isEmpty()) return 0;
        const int strom = FVerbindung->Sagen(AText);
        if (!(AFlags & SVSFlagsAsync)) {
            // Bounded, so that a server that never reports the end cannot
            // hold the caller for ever: generous for slow speech.
            const auto frist = std::min<std::chrono::milliseconds>(5s + AText.size() * 150ms, 120s);
            FVerbindung->WarteAufEnde(strom, frist);
        }
        return strom;
    }

    // Not passed on: a PAUSE silences this server (0.11, espeak-ng module)
    // for every client, RESUME and CANCEL do not bring it back, and Orca
    // would fall silent with it. Nothing in the program pauses.
    void Pause() override {}
    void Resume() override {}
    std::shared_ptr<TSpEvent> SpeakCompleteEvent() override { return nullptr; }

private:
    void Melden(int AStrom, TSpdVerbindung::TMeldung AMeldung) {
        if (AMeldung == TSpdVerbindung::TMeldung::Beginn) {
            if (StartStream) StartStream(AStrom);
        } else if (EndStream) {
            EndStream(AStrom);
        }
    }

    std::shared_ptr<int> FGeneration;
    bool FListetS = false; // a listing is on its way
    std::unique_ptr<TSpdVerbindung> FVerbindung;
    TSpObjectToken FAktuell; // the server's default voice until one is chosen
    std::optional<int> FRate;
    std::optional<int> FVolume;
};
} // namespace

std::unique_ptr<TSpVoice> CreateSpdVoice() {
    return std::make_unique<TSpdVoice>();
}

// On Linux the speech server is speech-dispatcher.
std::unique_ptr<TSpVoice> PlatformServerVoice() {
    return CreateSpdVoice();
}
