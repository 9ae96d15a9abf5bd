#pragma once
// The in-process voices (eSpeak NG on Linux, from espeak/). The runtime
// reports only that everything queued has been spoken; a short waiting thread
// per utterance turns that into the end notification of the most recent
// utterance.

#include "SapiBasics.h"

#include <QObject>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class TSapi5_4;
class TSapiSpeakWaitThread;

// The voice object of this platform's in-process synthesizer.
std::unique_ptr<TSpVoice> PlatformInProcessVoice();

// Lives on the main thread; a waiting thread's result arrives as a queued call
// of Melden. Called by name, so that nothing but the call itself crosses
// between the threads.
class TSapiWarteKontext : public QObject {
    Q_OBJECT
public:
    explicit TSapiWarteKontext(TSapiSpeakWaitThread* AThread) : FThread(AThread) {}
public Q_SLOTS:
    void Melden();

private:
    TSapiSpeakWaitThread* FThread;
};

class TSapiSpeakWaitThread {
public:
    TSapiSpeakWaitThread(TSapi5_4* AOwner, int AGen, int AStreamNo, std::shared_ptr<TSpEvent> AShutdownEvent,
                         std::shared_ptr<TSpEvent> ASpeakEvent);
    ~TSapiSpeakWaitThread();
    void Start();
    bool Finished() const { return FFinishedS.load(); }
    bool CallbackDone() const { return FCallbackDone.load(); }
    void WaitFor();
    // Its utterance was stopped or superseded: the thread ends without a report.
    void Abbrechen() { FAbbruchEvent->Set(); }
    // Drops the calls still queued to the main thread and forgets the owner.
    void Abkoppeln();
    // On the main thread: the end of this thread's utterance reaches the owner.
    void Zustellen();

private:
    void Execute();

    TSapi5_4* FOwner;
    std::shared_ptr<TSpEvent> FSpeakEvent;
    std::shared_ptr<TSpEvent> FShutdownEvent;
    // Its own, so that a stop reaches it even when the voice's event is set
    // and reset again before the thread looks.
    std::shared_ptr<TSpEvent> FAbbruchEvent = std::make_shared<TSpEvent>();
    int FStreamNo;
    int FGen;
    std::atomic<bool> FCallbackDone{false};
    std::atomic<bool> FFinishedS{false};
    std::atomic<bool> FTerminatedS{false};
    // Lives on the main thread; the queued call is addressed to it, so deleting
    // it discards a call that has not run yet.
    std::unique_ptr<TSapiWarteKontext> FKontext;
    std::thread FThread;
};

class TSapi5_4 : public TSapiEngine {
public:
    // Null: the platform's in-process voice object.
    explicit TSapi5_4(std::unique_ptr<TSpVoice> AVoice = nullptr);
    ~TSapi5_4() override;

    int Speak(const QString& AText, int AFlags) override;
    void Stop() override;

    TSpVoiceStartStream OnStartStream() const override { return FOnStartStream; }
    void SetOnStartStream(TSpVoiceStartStream AHandler) override { FOnStartStream = std::move(AHandler); }
    TSpVoiceEndStream OnEndStream() const override { return FOnEndStream; }
    void SetOnEndStream(TSpVoiceEndStream AHandler) override { FOnEndStream = std::move(AHandler); }

    // Called on the main thread by a waiting thread's queued call.
    void EndeMelden(int AGen, int AStreamNo);
    // Waiting threads not yet freed (for tests).
    int WarteThreadAnzahl() const { return static_cast<int>(FSpeakWaitThreads.size()); }

private:
    void WarteThreadStarten(int AStreamNo);
    void WarteThreadsAufraeumen(bool AWartenS);
    void WarteThreadsAbbrechen();

    bool FShuttingDown = false;
    int FSpeakGen = 0;
    std::vector<std::unique_ptr<TSapiSpeakWaitThread>> FSpeakWaitThreads;
    std::shared_ptr<TSpEvent> FShutdownEvent = std::make_shared<TSpEvent>();
    TSpVoiceStartStream FOnStartStream;
    TSpVoiceEndStream FOnEndStream;
};
