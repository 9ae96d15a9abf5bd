#pragma once
// The voice object an engine drives: a speech runtime of the desktop (the
// speech-dispatcher server, or eSpeak NG in this process). Engines hold one
// each and never talk to the runtime in any other way; tests put a recording
// voice in its place.
//
// Every operation may throw std::exception when the runtime fails; the engines
// swallow that at their own boundary. Operations are called on the main thread
// only. Connecting to the runtime happens on first use, never in the
// constructor, so that creating a voice object costs nothing at start-up.

#include <QList>
#include <QString>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// One installed voice. Id is what the runtime needs to select it again;
// Description is what the user sees and what the settings store.
struct TSpObjectToken {
    QString Id;
    QString Description;
    bool operator==(const TSpObjectToken&) const = default;
};

// A manual-reset event that threads can wait on, also for the first of
// several events (as WaitForMultipleObjects does).
class TSpEvent {
public:
    void Set();
    void Reset();
    bool IsSet() const;
    // Waits without time-out until one of the events is set; returns its index.
    static int WaitAny(const std::vector<TSpEvent*>& AEvents);

private:
    bool FSetS = false;
};

class TSpVoice {
public:
    virtual ~TSpVoice() = default;

    // All installed voices, in the runtime's own order. Throws on failure.
    virtual QList<TSpObjectToken> GetVoices() = 0;
    // The current voice; none when the runtime is missing, unreachable or
    // not connected yet (it never waits for a connection). Once the runtime
    // answers there is always a current voice (its default voice until one is
    // selected; a default voice may have an empty Id and Description).
    virtual std::optional<TSpObjectToken> Voice() = 0;
    // Whether the runtime is there or may be reached soon (a server that is
    // being connected); never waits.
    virtual bool Erreichbar() { return Voice().has_value(); }
    virtual void SetVoice(const TSpObjectToken& AToken) = 0;

    // Rate -10..10, volume 0..100, as the engines pass them.
    virtual int GetRate() = 0;
    virtual void SetRate(int AValue) = 0;
    virtual int GetVolume() = 0;
    virtual void SetVolume(int AValue) = 0;

    // Flags: SVSFlagsAsync, SVSFPurgeBeforeSpeak. The empty text with purge
    // only discards. Returns the stream number (counting up from 1).
    // Without SVSFlagsAsync the call returns when the text has been spoken.
    virtual int Speak(const QString& AText, int AFlags) = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;

    // Signalled when the voice has finished everything queued, reset when
    // new speech is queued. Null when the runtime has no such event.
    virtual std::shared_ptr<TSpEvent> SpeakCompleteEvent() = 0;

    // Connects and reads the voices in the background, so that a later call
    // finds them ready; never waits.
    virtual void Vorbereiten() {}

    // Whether GetVoices answers at once. A runtime that must first be asked
    // (a server) lists in the background meanwhile and calls StimmenGeaendert
    // once it knows; its GetVoices throws until then instead of waiting.
    virtual bool StimmenBekannt() { return true; }
    // The voice a description stands for, where the description itself names
    // all the runtime needs to select it; none otherwise.
    virtual std::optional<TSpObjectToken> TokenAusBeschreibung(const QString&) { return std::nullopt; }
    // Called on the main thread when the list of voices became known anew.
    std::function<void()> StimmenGeaendert;

    // Start and end of each stream as the runtime reports them, called on the
    // main thread with the stream number. Runtimes without notifications
    // never call them.
    std::function<void(int)> StartStream;
    std::function<void(int)> EndStream;
};
