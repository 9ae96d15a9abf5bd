#include "Sapi5_4.h"

#include <exception>

TSapiSpeakWaitThread::TSapiSpeakWaitThread(TSapi5_4* AOwner, int AGen, int AStreamNo,
                                           std::shared_ptr<TSpEvent> AShutdownEvent,
                                           std::shared_ptr<TSpEvent> ASpeakEvent)
    : FOwner(AOwner), FSpeakEvent(std::move(ASpeakEvent)), FShutdownEvent(std::move(AShutdownEvent)),
      FStreamNo(AStreamNo), FGen(AGen), FKontext(std::make_unique<TSapiWarteKontext>(this)) {}

void TSapiWarteKontext::Melden() {
    FThread->Zustellen();
}

void TSapiSpeakWaitThread::Zustellen() {
    if (FOwner) FOwner->EndeMelden(FGen, FStreamNo);
    FCallbackDone = true;
}

TSapiSpeakWaitThread::~TSapiSpeakWaitThread() {
    FTerminatedS = true;
    if (FThread.joinable()) FThread.join();
}

void TSapiSpeakWaitThread::Start() {
    FThread = std::thread([this] { Execute(); });
}

void TSapiSpeakWaitThread::WaitFor() {
    if (FThread.joinable()) FThread.join();
}

void TSapiSpeakWaitThread::Abkoppeln() {
    FKontext.reset();
    FOwner = nullptr;
}

void TSapiSpeakWaitThread::Execute() {
    const int wer = TSpEvent::WaitAny({FShutdownEvent.get(), FSpeakEvent.get(), FAbbruchEvent.get()});
    if (wer == 1 && !FTerminatedS.load()) {
        QMetaObject::invokeMethod(FKontext.get(), "Melden", Qt::QueuedConnection);
    } else {
        FCallbackDone = true;
    }
    FFinishedS = true;
}

TSapi5_4::TSapi5_4(std::unique_ptr<TSpVoice> AVoice)
    : TSapiEngine(AVoice ? std::move(AVoice) : PlatformInProcessVoice()) {}

TSapi5_4::~TSapi5_4() {
    FShuttingDown = true;
    FOnStartStream = nullptr;
    FOnEndStream = nullptr;
    ++FSpeakGen;
    FShutdownEvent->Set();
    if (HatStimmeS()) {
        try {
            Voice()->Speak(QString(), SVSFPurgeBeforeSpeak);
        } catch (const std::exception&) {
        }
    }
    WarteThreadsAufraeumen(true);
}

int TSapi5_4::Speak(const QString& AText, int AFlags) {
    if (!HatStimmeS()) return 0;
    try {
        if (AFlags & SVSFPurgeBeforeSpeak) {
            ++FSpeakGen;
            WarteThreadsAbbrechen();
        }
        if ((AFlags & SVSFlagsAsync) && FOnStartStream) FOnStartStream(0, 0);
        const int streamNo = Voice()->Speak(AText, AFlags);
        if (AFlags & SVSFlagsAsync)
            WarteThreadStarten(streamNo);
        else if (!AText.isEmpty() && FOnEndStream)
            FOnEndStream(streamNo, 0);
        return streamNo;
    } catch (const std::exception&) {
        return 0;
    }
}

void TSapi5_4::Stop() {
    if (!HatStimmeS()) return;
    try {
        ++FSpeakGen;
        WarteThreadsAbbrechen();
        const int streamNo = Voice()->Speak(QString(), SVSFPurgeBeforeSpeak);
        if (FOnEndStream) FOnEndStream(streamNo, 0);
    } catch (const std::exception&) {
    }
}

void TSapi5_4::WarteThreadStarten(int AStreamNo) {
    if (FShuttingDown || !Voice()) return;
    // Only the newest utterance reports its end: the older ones need not wait.
    WarteThreadsAbbrechen();
    WarteThreadsAufraeumen(false);
    ++FSpeakGen;
    std::shared_ptr<TSpEvent> fertig = Voice()->SpeakCompleteEvent();
    if (!fertig) return;
    FSpeakWaitThreads.push_back(std::make_unique<TSapiSpeakWaitThread>(this, FSpeakGen, AStreamNo,
                                                                       FShutdownEvent, std::move(fertig)));
    try {
        FSpeakWaitThreads.back()->Start();
    } catch (...) {
        FSpeakWaitThreads.pop_back();
        throw;
    }
}

void TSapi5_4::WarteThreadsAufraeumen(bool AWartenS) {
    for (auto i = FSpeakWaitThreads.size(); i-- > 0;) {
        TSapiSpeakWaitThread* t = FSpeakWaitThreads[i].get();
        if (AWartenS)
            t->WaitFor();
        else if (!t->Finished() || !t->CallbackDone())
            continue;
        t->Abkoppeln();
        FSpeakWaitThreads.erase(FSpeakWaitThreads.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void TSapi5_4::WarteThreadsAbbrechen() {
    for (const auto& t : FSpeakWaitThreads)
        t->Abbrechen();
}

void TSapi5_4::EndeMelden(int AGen, int AStreamNo) {
    if (FShuttingDown || AGen != FSpeakGen || !FOnEndStream) return;
    FOnEndStream(AStreamNo, 0);
}
