#include "SpdVerbindung.h"

#include "DynBibliothek.h"

#include <QMetaObject>
#include <QObject>
#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <libspeechd.h>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <sys/socket.h>
#include <thread>

using namespace std::chrono_literals;

namespace {
constexpr auto Wiederholabstand = 2s;

// The client library is loaded on the first connection, not at start.
struct TSpdApi {
    decltype(&::spd_open2) Open2 = nullptr;
    decltype(&::spd_execute_command_with_reply) ExecuteCommandWithReply = nullptr;
    decltype(&::spd_close) Close = nullptr;
};

// Null when the library is missing: the server then cannot be reached.
const TSpdApi* SpdApi() {
    return ApiLaden<TSpdApi>("libspeechd.so.2", [](TDynBibliothek& b, TSpdApi& a) {
        return b.Binden(a.Open2, "spd_open2") &&
               b.Binden(a.ExecuteCommandWithReply, "spd_execute_command_with_reply") &&
               b.Binden(a.Close, "spd_close");
    });
}

// The connection behind the header's untyped handle.
SPDConnection* Spd(TSpdVerbindung::TSpdHandle AVerbindung) {
    return static_cast<SPDConnection*>(AVerbindung);
}

// Notifications whose message id is not known yet (its reply is still on the
// way to the worker); a few suffice, more would be stale.
constexpr size_t MaxUnzugeordnet = 64;

// libspeechd's notification callbacks carry no user data, only the server's
// id of the client connection.
std::mutex& RegisterMutex() {
    static std::mutex m;
    return m;
}
std::map<size_t, TSpdVerbindung*>& Register() {
    static std::map<size_t, TSpdVerbindung*> r;
    return r;
}

// A cancel of all speech asked for on one connection must reach the server
// before a text asked for later on another connection (the main window
// silences the screen reader, then its voice speaks), or it cuts that text
// off: each connection has its own worker, so texts wait for the cancels
// that were asked for before them. A cancel counts as done when its request
// has run or has been dropped unsent.
struct TAbbruchSchranke {
    std::mutex Mutex;
    std::condition_variable Bedingung;
    quint64 Vergeben = 0;
    std::set<quint64> Offen;
};
TAbbruchSchranke& Schranke() {
    static TAbbruchSchranke s;
    return s;
}
struct TAbbruchMarke {
    quint64 Nr;
    TAbbruchMarke() {
        std::lock_guard lock(Schranke().Mutex);
        Nr = ++Schranke().Vergeben;
        Schranke().Offen.insert(Nr);
    }
    ~TAbbruchMarke() {
        {
            std::lock_guard lock(Schranke().Mutex);
            Schranke().Offen.erase(Nr);
        }
        Schranke().Bedingung.notify_all();
    }
    TAbbruchMarke(const TAbbruchMarke&) = delete;
    TAbbruchMarke& operator=(const TAbbruchMarke&) = delete;
};
quint64 AbbruecheBisher() {
    std::lock_guard lock(Schranke().Mutex);
    return Schranke().Vergeben;
}
// Bounded: a server that hangs on one connection must not silence the others.
void AufAbbruecheWarten(quint64 ABis) {
    std::unique_lock lock(Schranke().Mutex);
    Schranke().Bedingung.wait_for(
        lock, 1s, [ABis] { return Schranke().Offen.empty() || *Schranke().Offen.begin() > ABis; });
}

// A server that went away leaves a socket whose next write raises SIGPIPE,
// which would end the whole program: the threads that talk to the server
// (and libspeechd's reading thread, which inherits their mask) block it, and
// the write fails with EPIPE instead.
void OhneSigpipe() {
    sigset_t maske;
    sigemptyset(&maske);
    sigaddset(&maske, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &maske, nullptr);
}

// The protocol ends a text at a line holding a single dot, so dots that
// start a line are doubled; its lines end in CR LF.
QByteArray SsipText(const QString& AText) {
    const QByteArray utf8 = AText.toUtf8();
    QByteArray aus;
    aus.reserve(utf8.size() + 8);
    bool zeilenAnfangS = true;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
            aus += "\r\n";
            zeilenAnfangS = true;
            continue;
        }
        if (zeilenAnfangS && c == '.') aus += '.';
        aus += c;
        zeilenAnfangS = false;
    }
    return aus;
}
} // namespace

// Runs on the connection's reading thread inside libspeechd.
struct TSpdRueckruf {
    static void Aufruf(size_t AMsg, size_t AClient, SPDNotificationType AArt) {
        TSpdVerbindung::TMeldung meldung;
        switch (AArt) {
        case SPD_EVENT_BEGIN:
            meldung = TSpdVerbindung::TMeldung::Beginn;
            break;
        case SPD_EVENT_END:
            meldung = TSpdVerbindung::TMeldung::Ende;
            break;
        case SPD_EVENT_CANCEL:
            meldung = TSpdVerbindung::TMeldung::Abbruch;
            break;
        default:
            return;
        }
        // Held while the connection handles it: closing a connection takes
        // this lock first, so no notification is half delivered when
        // libspeechd cancels its reading thread.
        std::lock_guard lock(RegisterMutex());
        const auto it = Register().find(AClient);
        if (it != Register().end()) it->second->Notiz(int(AMsg), meldung);
    }
};

std::optional<QByteArrayList> TSpdVerbindung::TKanal::Befehl(const QByteArray& ABefehl) {
    if (!FVerbindung || FKaputtS) return std::nullopt;
    char* antwort = nullptr;
    SpdApi()->ExecuteCommandWithReply(Spd(FVerbindung), ABefehl.constData(), &antwort);
    if (!antwort) {
        FKaputtS = true;
        return std::nullopt;
    }
    const QByteArray text(antwort);
    std::free(antwort);
    QByteArrayList daten;
    int code = 0;
    qsizetype anfang = 0;
    while (anfang < text.size()) {
        qsizetype ende = text.indexOf('\n', anfang);
        if (ende < 0) ende = text.size();
        QByteArray zeile = text.mid(anfang, ende - anfang);
        anfang = ende + 1;
        if (zeile.endsWith('\r')) zeile.chop(1);
        if (zeile.size() < 4) continue;
        if (zeile[3] == '-')
            daten << zeile.mid(4);
        else if (zeile[3] == ' ')
            code = zeile.left(3).toInt();
    }
    if (code < 200 || code >= 300) return std::nullopt;
    return daten;
}

void TSpdVerbindung::TKanal::EinstellungenErneuern() {
    std::vector<std::pair<QByteArray, QByteArray>> einstellungen;
    {
        std::lock_guard lock(FBesitzer->FMutex);
        einstellungen = FBesitzer->FEinstellungen;
    }
    // A request may have switched the output module for its own ends.
    if (!FStandardModul.isEmpty()) Befehl("SET SELF OUTPUT_MODULE " + FStandardModul);
    for (const auto& e : einstellungen)
        Befehl(e.second);
}

TSpdVerbindung::TSpdVerbindung(const QByteArray& AName, const QByteArray& APrioritaet, TMeldungFn AMeldung)
    : FName(AName), FPrioritaet(APrioritaet), FMeldung(std::move(AMeldung)),
      FKontext(std::make_unique<QObject>()) {}

TSpdVerbindung::~TSpdVerbindung() {
    {
        std::unique_lock lock(FMutex);
        FStoppS = true;
        FBedingung.notify_all();
        // A request that the server leaves unanswered is broken off.
        if (FArbeiter.joinable() && !FBedingung.wait_for(lock, 1s, [this] { return !FBeschaeftigtS; }) &&
            FVerbindung)
            ::shutdown(Spd(FVerbindung)->socket, SHUT_RDWR);
    }
    if (FArbeiter.joinable()) FArbeiter.join();
    // Drops the notifications still on their way to the main thread.
    FKontext.reset();
}

bool TSpdVerbindung::VersuchStarten() {
    if (FZustand != TZustand::Getrennt || FStoppS) return false;
    if (FLetzterVersuch && std::chrono::steady_clock::now() - *FLetzterVersuch < Wiederholabstand)
        return false;
    FZustand = TZustand::Verbindet;
    FVersuchBeginn = std::chrono::steady_clock::now();
    FAuftraege.push_front({[this](TKanal& k) { Verbinde(k); }, 0, {}});
    if (!FArbeiter.joinable()) FArbeiter = std::thread([this] { Arbeiten(); });
    FBedingung.notify_all();
    return true;
}

bool TSpdVerbindung::Verbunden(std::chrono::milliseconds AWarten) {
    std::unique_lock lock(FMutex);
    if (FZustand == TZustand::Verbunden) return true;
    VersuchStarten();
    // Waiting is bounded per attempt, so that one that hangs delays only once.
    if (FZustand == TZustand::Verbindet)
        FBedingung.wait_until(lock, FVersuchBeginn + AWarten,
                              [this] { return FZustand != TZustand::Verbindet; });
    return FZustand == TZustand::Verbunden;
}

bool TSpdVerbindung::Erreichbar() {
    std::lock_guard lock(FMutex);
    VersuchStarten();
    return FZustand != TZustand::Getrennt;
}

void TSpdVerbindung::Einreihen(TAuftrag AAuftrag) {
    if (FStoppS) return;
    if (!AAuftrag.Ersetzt.isEmpty())
        std::erase_if(FAuftraege, [&](const TAuftrag& a) { return a.Ersetzt == AAuftrag.Ersetzt; });
    FAuftraege.push_back(std::move(AAuftrag));
    if (!FArbeiter.joinable()) FArbeiter = std::thread([this] { Arbeiten(); });
    FBedingung.notify_all();
}

int TSpdVerbindung::Sagen(const QString& AText) {
    std::lock_guard lock(FMutex);
    VersuchStarten();
    const int strom = FNaechsterStrom++;
    FOffen.insert(strom);
    Einreihen({[this, strom, text = SsipText(AText), bis = AbbruecheBisher()](TKanal& k) {
                   AufAbbruecheWarten(bis);
                   SagenAusfuehren(k, strom, text);
               },
               strom,
               {}});
    return strom;
}

void TSpdVerbindung::Abbrechen(bool AAlleS) {
    std::lock_guard lock(FMutex);
    // Other clients' speech may need stopping even before we ever spoke.
    if (AAlleS) VersuchStarten();
    for (auto it = FAuftraege.begin(); it != FAuftraege.end();) {
        if (it->Strom) {
            Beenden(it->Strom, TMeldung::Abbruch);
            it = FAuftraege.erase(it);
        } else {
            ++it;
        }
    }
    const QByteArray befehl = AAlleS ? "CANCEL ALL" : "CANCEL SELF";
    std::shared_ptr<TAbbruchMarke> marke = AAlleS ? std::make_shared<TAbbruchMarke>() : nullptr;
    auto fn = [befehl, marke](TKanal& k) { k.Befehl(befehl); };
    // Nothing new was queued since a cancel still waiting: one is enough.
    if (!FAuftraege.empty() && FAuftraege.back().Ersetzt.startsWith("CANCEL")) {
        if (AAlleS) FAuftraege.back() = {fn, 0, befehl};
        return;
    }
    Einreihen({fn, 0, befehl});
}

void TSpdVerbindung::Einstellen(const QByteArray& AName, const QByteArray& ABefehl) {
    std::lock_guard lock(FMutex);
    const auto it = std::find_if(FEinstellungen.begin(), FEinstellungen.end(),
                                 [&](const auto& e) { return e.first == AName; });
    if (ABefehl.isEmpty()) {
        if (it != FEinstellungen.end()) FEinstellungen.erase(it);
    } else if (it != FEinstellungen.end()) {
        it->second = ABefehl;
    } else {
        FEinstellungen.emplace_back(AName, ABefehl);
    }
    // Settings are sent anyway once a connection is made.
    if (FZustand == TZustand::Getrennt) return;
    if (ABefehl.isEmpty())
        Einreihen({[](TKanal& k) { k.EinstellungenErneuern(); }, 0, {}});
    else
        Einreihen({[ABefehl](TKanal& k) { k.Befehl(ABefehl); }, 0, "SET " + AName});
}

std::pair<int, int> TSpdVerbindung::ServerRateUndLautstaerke() const {
    std::lock_guard lock(FMutex);
    return FServerWerte;
}

bool TSpdVerbindung::WarteAufEnde(int AStrom, std::chrono::milliseconds AWarten) {
    std::unique_lock lock(FMutex);
    return FBedingung.wait_for(lock, AWarten, [&] { return !FOffen.contains(AStrom); });
}

bool TSpdVerbindung::Spricht() const {
    std::lock_guard lock(FMutex);
    return !FOffen.empty();
}

bool TSpdVerbindung::Vorab(std::function<void(TKanal&)> AAnfrage) {
    std::lock_guard lock(FMutex);
    VersuchStarten();
    if (FZustand == TZustand::Getrennt || FStoppS) return false;
    Einreihen({std::move(AAnfrage), 0, {}});
    return true;
}

void TSpdVerbindung::ImHauptthread(std::function<void()> AFn) {
    QMetaObject::invokeMethod(FKontext.get(), std::move(AFn), Qt::QueuedConnection);
}

bool TSpdVerbindung::Abfragen(std::function<void(TKanal&)> AAnfrage, std::chrono::milliseconds AWarten) {
    const auto frist = std::chrono::steady_clock::now() + AWarten;
    if (!Verbunden(AWarten)) return false;
    std::unique_lock lock(FMutex);
    auto fertig = std::make_shared<bool>(false);
    Einreihen({[this, fertig, anfrage = std::move(AAnfrage)](TKanal& k) {
                   anfrage(k);
                   std::lock_guard l(FMutex);
                   *fertig = !k.FKaputtS && k.FVerbindung;
                   FBedingung.notify_all();
               },
               0,
               {}});
    FBedingung.wait_until(lock, frist, [&] { return *fertig; });
    return *fertig;
}

void TSpdVerbindung::Arbeiten() {
    OhneSigpipe();
    TKanal kanal;
    kanal.FBesitzer = this;
    std::unique_lock lock(FMutex);
    for (;;) {
        FBedingung.wait(lock, [this] { return FStoppS || !FAuftraege.empty(); });
        if (FStoppS) break;
        TAuftrag auftrag = std::move(FAuftraege.front());
        FAuftraege.pop_front();
        FBeschaeftigtS = true;
        lock.unlock();
        auftrag.Fn(kanal);
        if (kanal.FKaputtS) Trenne(kanal);
        lock.lock();
        FBeschaeftigtS = false;
        FBedingung.notify_all();
    }
    FAuftraege.clear();
    lock.unlock();
    Trenne(kanal);
}

// Opening waits for the server's first answer, which a server that hangs
// never gives, and nothing can break that wait off from outside. So the opening
// runs on a thread of its own that the connection can leave behind: it then
// closes what it opened, or ends with the process.
TSpdVerbindung::TSpdHandle TSpdVerbindung::Oeffnen() {
    const TSpdApi* spd = SpdApi();
    if (!spd) return nullptr;
    struct TOeffnen {
        std::mutex Mutex;
        std::condition_variable Bedingung;
        bool FertigS = false;
        bool AufgegebenS = false;
        SPDConnection* Verbindung = nullptr;
    };
    const auto o = std::make_shared<TOeffnen>();
    std::thread([o, spd, name = FName] {
        OhneSigpipe();
        char* fehler = nullptr;
        SPDConnection* v =
            spd->Open2("tastaro", name.constData(), nullptr, SPD_MODE_THREADED, nullptr, 1, &fehler);
        std::free(fehler);
        std::lock_guard lock(o->Mutex);
        if (o->AufgegebenS) {
            if (v) spd->Close(v);
            return;
        }
        o->Verbindung = v;
        o->FertigS = true;
        o->Bedingung.notify_all();
    }).detach();
    for (;;) {
        {
            std::unique_lock lock(o->Mutex);
            if (o->Bedingung.wait_for(lock, 50ms, [&] { return o->FertigS; })) return o->Verbindung;
        }
        std::lock_guard lock(FMutex);
        if (FStoppS) {
            std::lock_guard lockO(o->Mutex);
            if (o->FertigS) return o->Verbindung;
            o->AufgegebenS = true;
            return nullptr;
        }
    }
}

void TSpdVerbindung::Verbinde(TKanal& AKanal) {
    AKanal.FWiederS = false;
    if (AKanal.FVerbindung && !AKanal.FKaputtS) {
        // Renewed already by a text that found the connection broken.
        std::lock_guard lock(FMutex);
        FZustand = TZustand::Verbunden;
        FBedingung.notify_all();
        return;
    }
    SPDConnection* verbindung = Spd(Oeffnen());
    if (verbindung) {
        AKanal.FVerbindung = verbindung;
        AKanal.FKaputtS = false;
        {
            std::lock_guard lock(FMutex);
            FVerbindung = verbindung;
        }
        verbindung->callback_begin = &TSpdRueckruf::Aufruf;
        verbindung->callback_end = &TSpdRueckruf::Aufruf;
        verbindung->callback_cancel = &TSpdRueckruf::Aufruf;
        const auto id = AKanal.Befehl("HISTORY GET CLIENT_ID");
        bool gutS = id && !id->isEmpty();
        if (gutS) {
            AKanal.FClientId = id->first().toULong();
            std::lock_guard lock(RegisterMutex());
            Register()[AKanal.FClientId] = this;
        }
        for (const char* befehl : {"SET SELF NOTIFICATION begin on", "SET SELF NOTIFICATION end on",
                                   "SET SELF NOTIFICATION cancel on"})
            gutS = gutS && AKanal.Befehl(befehl);
        gutS = gutS && AKanal.Befehl("SET SELF PRIORITY " + FPrioritaet);
        const auto modul = AKanal.Befehl("GET OUTPUT_MODULE");
        AKanal.FStandardModul = modul && !modul->isEmpty() ? modul->first() : QByteArray();
        const auto rate = AKanal.Befehl("GET RATE");
        const auto lautstaerke = AKanal.Befehl("GET VOLUME");
        AKanal.EinstellungenErneuern();
        if (!gutS || AKanal.FKaputtS) {
            Trenne(AKanal);
        } else {
            std::lock_guard lock(FMutex);
            if (rate && !rate->isEmpty()) FServerWerte.first = rate->first().toInt();
            if (lautstaerke && !lautstaerke->isEmpty()) FServerWerte.second = lautstaerke->first().toInt();
            AKanal.FGeneration = ++FGeneration;
            FZustand = TZustand::Verbunden;
            FBedingung.notify_all();
            return;
        }
    }
    std::lock_guard lock(FMutex);
    FZustand = TZustand::Getrennt;
    FLetzterVersuch = std::chrono::steady_clock::now();
    FBedingung.notify_all();
}

void TSpdVerbindung::Trenne(TKanal& AKanal, int AAusser) {
    if (!AKanal.FVerbindung) return;
    // A connection that worked and broke is renewed by the next text at once.
    AKanal.FWiederS = AKanal.FKaputtS;
    {
        std::lock_guard lock(RegisterMutex());
        const auto it = Register().find(AKanal.FClientId);
        if (it != Register().end() && it->second == this) Register().erase(it);
    }
    {
        std::lock_guard lock(FMutex);
        FVerbindung = nullptr;
    }
    SpdApi()->Close(Spd(AKanal.FVerbindung));
    AKanal.FVerbindung = nullptr;
    AKanal.FKaputtS = false;
    std::lock_guard lock(FMutex);
    FZustand = TZustand::Getrennt;
    FLetzterVersuch = std::chrono::steady_clock::now();
    const std::set<int> offen = FOffen;
    for (const int strom : offen)
        if (strom != AAusser) Beenden(strom, TMeldung::Abbruch);
    FStromVonMsg.clear();
    FUnzugeordnet.clear();
    FBedingung.notify_all();
}

void TSpdVerbindung::SagenAusfuehren(TKanal& AKanal, int AStrom, const QByteArray& AText) {
    if (!AKanal.FVerbindung) {
        // The server may be starting, or have ended a moment ago: after a
        // connection that broke one more attempt is made at once, else after
        // the usual pause, unless the text is called off meanwhile.
        if (!AKanal.FWiederS) {
            std::unique_lock lock(FMutex);
            FBedingung.wait_for(lock, Wiederholabstand, [&] { return FStoppS || !FOffen.contains(AStrom); });
            if (FStoppS || !FOffen.contains(AStrom)) return;
        }
        Verbinde(AKanal);
    }
    std::optional<QByteArrayList> antwort;
    if (AKanal.Befehl("SPEAK")) antwort = AKanal.Befehl(AText + "\r\n.");
    if (!antwort && AKanal.FKaputtS) {
        // The server went away since the last request (it ends when idle for a
        // while, or was restarted): a new connection with the same settings
        // says the text at once, instead of dropping it.
        Trenne(AKanal, AStrom);
        Verbinde(AKanal);
        if (AKanal.FVerbindung && AKanal.Befehl("SPEAK")) antwort = AKanal.Befehl(AText + "\r\n.");
    }
    std::lock_guard lock(FMutex);
    if (!antwort || antwort->isEmpty()) {
        Beenden(AStrom, TMeldung::Abbruch);
        return;
    }
    const int msg = antwort->first().toInt();
    FStromVonMsg[msg] = AStrom;
    std::vector<std::pair<int, TMeldung>> frueh;
    std::erase_if(FUnzugeordnet, [&](const auto& n) {
        if (n.first != msg) return false;
        frueh.push_back(n);
        return true;
    });
    for (const auto& n : frueh)
        NotizGesperrt(n.first, n.second);
}

void TSpdVerbindung::Notiz(int AMsg, TMeldung AMeldung) {
    std::lock_guard lock(FMutex);
    NotizGesperrt(AMsg, AMeldung);
}

void TSpdVerbindung::NotizGesperrt(int AMsg, TMeldung AMeldung) {
    const auto it = FStromVonMsg.find(AMsg);
    if (it == FStromVonMsg.end()) {
        if (FUnzugeordnet.size() >= MaxUnzugeordnet) FUnzugeordnet.erase(FUnzugeordnet.begin());
        FUnzugeordnet.emplace_back(AMsg, AMeldung);
        return;
    }
    const int strom = it->second;
    if (AMeldung != TMeldung::Beginn) FStromVonMsg.erase(it);
    Zustellen(strom, AMeldung);
}

void TSpdVerbindung::Zustellen(int AStrom, TMeldung AMeldung) {
    if (AMeldung == TMeldung::Beginn) {
        if (FOffen.contains(AStrom)) Melden(AStrom, AMeldung);
    } else {
        Beenden(AStrom, AMeldung);
    }
}

void TSpdVerbindung::Beenden(int AStrom, TMeldung AMeldung) {
    if (FOffen.erase(AStrom) == 0) return;
    Melden(AStrom, AMeldung);
    FBedingung.notify_all();
}

void TSpdVerbindung::Melden(int AStrom, TMeldung AMeldung) {
    QMetaObject::invokeMethod(
        FKontext.get(),
        [this, AStrom, AMeldung] {
            if (FMeldung) FMeldung(AStrom, AMeldung);
        },
        Qt::QueuedConnection);
}
