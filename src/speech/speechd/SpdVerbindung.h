#pragma once
// One connection to the speech-dispatcher server, as the speech-dispatcher
// voice and the Orca driver each keep one.
//
// The server may take its time to answer (a cancel on a stalled sound device
// has been seen to take half a minute), so the main thread never talks to it:
// a worker thread owns the connection and works through a queue of requests,
// and every call here returns within microseconds, except the ones that say
// they wait. The connection is opened by the worker on first use, the server
// started on demand; after a failed attempt the next one is made two seconds
// later at the earliest.
//
// Each text said gets a stream number at once (counting up from 1). The
// server's begin, end and cancel notifications for it reach the main thread
// through queued calls on a context object this connection owns, so none
// arrives after it is destroyed.

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <utility>
#include <vector>

class QObject;

class TSpdVerbindung {
public:
    enum class TMeldung { Beginn, Ende, Abbruch };
    // libspeechd's connection (SPDConnection*): only the implementation
    // includes the library's header, so here it is an untyped pointer.
    using TSpdHandle = void*;
    using TMeldungFn = std::function<void(int AStrom, TMeldung AMeldung)>;

    // What a request running on the worker may do with the connection.
    class TKanal {
    public:
        // Sends one command; the data lines of a positive reply, none on a
        // negative reply or when the connection broke. (libspeechd's own
        // setters format into static buffers shared by all connections, and
        // its voice list parser is quadratic, so commands are written here.)
        std::optional<QByteArrayList> Befehl(const QByteArray& ABefehl);
        // Sends the stored settings again (after a request changed them).
        void EinstellungenErneuern();
        // Counts the connections made so far; a cache of server answers is
        // valid as long as this stays the same.
        int Generation() const { return FGeneration; }
        // The connection broke during a request.
        bool Kaputt() const { return FKaputtS || !FVerbindung; }

    private:
        friend class TSpdVerbindung;
        TSpdVerbindung* FBesitzer = nullptr;
        TSpdHandle FVerbindung = nullptr;
        int FGeneration = 0;
        size_t FClientId = 0;
        bool FKaputtS = false;
        bool FWiederS = false; // broke while in use: renewed without the pause between attempts
        QByteArray FStandardModul;
    };

    // AName tells the connection apart in the server's client list;
    // APrioritaet is the priority of everything said ("text", "message").
    // AMeldung runs on the thread that creates this object.
    TSpdVerbindung(const QByteArray& AName, const QByteArray& APrioritaet, TMeldungFn AMeldung);
    ~TSpdVerbindung();
    TSpdVerbindung(const TSpdVerbindung&) = delete;
    TSpdVerbindung& operator=(const TSpdVerbindung&) = delete;

    // Whether the server is connected. Starts an attempt when none runs and
    // one is due; waits for a running attempt until AWarten after its start.
    bool Verbunden(std::chrono::milliseconds AWarten = std::chrono::milliseconds(0));
    // True unless the last attempt failed and the next one is not due yet.
    bool Erreichbar();

    // Queues the text; returns its stream number.
    int Sagen(const QString& AText);
    // Drops what is queued here and cancels this connection's speech, or
    // with AAlleS the speech of every client of the server.
    void Abbrechen(bool AAlleS);
    // Stores a setting under AName (a later one of the same name replaces it,
    // an empty one removes it) and sends it; the settings are sent again
    // whenever the connection is renewed.
    void Einstellen(const QByteArray& AName, const QByteArray& ABefehl);
    // The server's rate and volume as read when the connection was made.
    std::pair<int, int> ServerRateUndLautstaerke() const;

    // Blocks until the stream has ended or been cancelled, at most AWarten.
    bool WarteAufEnde(int AStrom, std::chrono::milliseconds AWarten);
    // Whether a text said here has not ended yet.
    bool Spricht() const;
    // Runs AAnfrage on the worker once connected, without waiting for it;
    // false when the server cannot be reached now (then it never runs).
    bool Vorab(std::function<void(TKanal&)> AAnfrage);
    // Runs AFn on the thread that created this connection, later; dropped when
    // the connection is destroyed first.
    void ImHauptthread(std::function<void()> AFn);
    // Runs AAnfrage on the worker and waits up to AWarten for it; false when
    // it did not run in time or there is no connection.
    bool Abfragen(std::function<void(TKanal&)> AAnfrage, std::chrono::milliseconds AWarten);

private:
    struct TAuftrag {
        std::function<void(TKanal&)> Fn;
        int Strom = 0;      // a text to say, dropped by a cancel while still queued
        QByteArray Ersetzt; // a setting or cancel that a newer one of the same kind makes moot
    };

    void Arbeiten();
    void Verbinde(TKanal& AKanal);
    TSpdHandle Oeffnen();
    // AAusser: a stream that goes on on a new connection, not cancelled.
    void Trenne(TKanal& AKanal, int AAusser = 0);
    void Einreihen(TAuftrag AAuftrag); // under FMutex
    bool VersuchStarten();             // under FMutex
    void SagenAusfuehren(TKanal& AKanal, int AStrom, const QByteArray& AText);
    void Melden(int AStrom, TMeldung AMeldung);
    void Zustellen(int AStrom, TMeldung AMeldung); // under FMutex
    void Beenden(int AStrom, TMeldung AMeldung);   // under FMutex
    friend struct TSpdRueckruf;
    void Notiz(int AMsg, TMeldung AMeldung);
    void NotizGesperrt(int AMsg, TMeldung AMeldung); // under FMutex

    const QByteArray FName;
    const QByteArray FPrioritaet;
    TMeldungFn FMeldung;
    std::unique_ptr<QObject> FKontext;

    mutable std::mutex FMutex;
    std::condition_variable FBedingung;
    enum class TZustand { Getrennt, Verbindet, Verbunden } FZustand = TZustand::Getrennt;
    std::optional<std::chrono::steady_clock::time_point> FLetzterVersuch;
    std::chrono::steady_clock::time_point FVersuchBeginn;
    std::deque<TAuftrag> FAuftraege;
    bool FStoppS = false;
    bool FBeschaeftigtS = false;
    TSpdHandle FVerbindung = nullptr; // for breaking a hanging request only
    int FGeneration = 0;
    int FNaechsterStrom = 1;
    std::set<int> FOffen;                                // said, not ended
    std::map<int, int> FStromVonMsg;                     // server message id -> stream
    std::vector<std::pair<int, TMeldung>> FUnzugeordnet; // notifications before their id was known
    std::vector<std::pair<QByteArray, QByteArray>> FEinstellungen;
    std::pair<int, int> FServerWerte{0, 100};
    std::thread FArbeiter;
};
