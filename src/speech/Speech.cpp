#include "Speech.h"

#include "Sapi5_1.h"
#include "Sapi5_4.h"

TSpeech::TSpeech(bool AOnlyUseSapiSpeech, const TSpeechPlatform& APlatform)
    : FOnlyUseSapiSpeech(AOnlyUseSapiSpeech), FTolk(std::make_unique<TTolkSRD>(APlatform.Treiber)) {
    FTolk->Load();
    FSapi5_1 = APlatform.Sapi5_1 ? APlatform.Sapi5_1() : std::make_unique<TSapi5_1>();
    FSapi5_4 = APlatform.Sapi5_4 ? APlatform.Sapi5_4() : std::make_unique<TSapi5_4>();
    if (FSapi5_1) FSapi5_1->StimmenGeaendert = [this] { ListeDaSapi5_1(); };
    if (FSapi5_4)
        FSapi5_4->StimmenGeaendert = [this] {
            if (StimmenGeaendert) StimmenGeaendert();
        };
}

TSpeech::~TSpeech() {
    for (TSapiBase* e : {FSapi5_1.get(), FSapi5_4.get()}) {
        if (!e) continue;
        e->SetOnStartStream(nullptr);
        e->SetOnEndStream(nullptr);
        e->StimmenGeaendert = nullptr;
    }
    FSapi5_4.reset();
    FSapi5_1.reset();
    FTolk.reset();
}

TSapiBase* TSpeech::Engine() const {
    if (FNrIndex.Nr == 1) return FSapi5_1.get();
    if (FNrIndex.Nr == 2) return FSapi5_4.get();
    return nullptr;
}

QStringList TSpeech::Tokens() {
    FTokens.clear();
    if (!FOnlyUseSapiSpeech) FTokens << ScreenReaderStimme;
    if (FSapi5_1) FTokens << FSapi5_1->Tokens();
    if (FSapi5_4) FTokens << FSapi5_4->Tokens();
    return FTokens;
}

bool TSpeech::IstScreenReaderStimme(const QString& ADescription) {
    return ADescription.isEmpty() || ADescription.compare(ScreenReaderStimme, Qt::CaseInsensitive) == 0 ||
           ADescription.compare(ScreenReaderStimmeAlt, Qt::CaseInsensitive) == 0;
}

TNrIndex TSpeech::FindDescriptionInTokensNrIndex(const QString& ADescription) {
    const TNrIndex screenReader{0, -1};
    FGesucht = ADescription;
    if (IstScreenReaderStimme(ADescription)) return screenReader;
    if (FSapi5_1) {
        const int i = FSapi5_1->FindDescriptionInTokensIndex(ADescription);
        if (i >= 0) return {1, i};
    }
    if (FSapi5_4) {
        const int i = FSapi5_4->FindDescriptionInTokensIndex(ADescription);
        if (i >= 0) return {2, i};
    }
    // A server that has not listed its voices yet (it may be starting, or
    // restarting): a description in its form selects the voice now; only a
    // list that lacks it makes the screen reader take over.
    if (FSapi5_1 && !FSapi5_1->StimmenBekannt() && ADescription.contains(QStringLiteral(": ")))
        return {1, -1};
    return screenReader;
}

void TSpeech::SetTokenNrIndex(TNrIndex AValue) {
    FNrIndex = AValue;
    FVorgemerkt.clear();
    if (AValue.Nr == 1 && AValue.Index < 0 && FSapi5_1 && !FGesucht.isEmpty() &&
        FSapi5_1->SetTokenDescription(FGesucht)) {
        FVorgemerkt = FGesucht;
        SetRate(FRate);
        SetVolume(FVolume);
        return;
    }
    if (AValue.Nr == 0) {
        FNrIndex.Index = -1;
    } else if (TSapiBase* e = Engine()) {
        e->SetTokenIndex(AValue.Index);
        FNrIndex.Index = e->TokenIndex();
    } else {
        FNrIndex = {};
    }
    if (Engine()) {
        SetRate(FRate);
        SetVolume(FVolume);
    }
}

QString TSpeech::TokenDescription() {
    if (FNrIndex.Nr == 0) return ScreenReaderStimme;
    if (TSapiBase* e = Engine()) return e->TokenDescription();
    return QString();
}

int TSpeech::Rate() {
    TSapiBase* e = Engine();
    return e ? e->Rate() : 0;
}

// Only the selected engine gets the value at once; another gets it when it is
// selected (SetTokenNrIndex). Passing it to an engine that is not in use
// would load its runtime on the main thread for nothing: with the screen
// reader's voice, setting the stored rate at start did that for both.
void TSpeech::SetRate(int AValue) {
    FRate = AValue;
    if (TSapiBase* e = Engine()) e->SetRate(AValue);
}

int TSpeech::Volume() {
    TSapiBase* e = Engine();
    return e ? e->Volume() : 0;
}

void TSpeech::SetVolume(int AValue) {
    FVolume = AValue;
    if (TSapiBase* e = Engine()) e->SetVolume(AValue);
}

void TSpeech::Speak(const QString& AText, bool AStopS) {
    if (FNrIndex.Nr == 0) {
        FTolk->Speak(AText, AStopS);
    } else if (TSapiBase* e = Engine()) {
        if (AStopS) e->Stop();
        SprachLogSchreiben(AText);
        e->Speak(AText, SVSFlagsAsync);
    }
}

void TSpeech::Stop() {
    if (FNrIndex.Nr == 0)
        FTolk->Stop();
    else if (TSapiBase* e = Engine())
        e->Stop();
}

TSpVoiceStartStream TSpeech::OnStartStream() const {
    TSapiBase* e = Engine();
    return e ? e->OnStartStream() : TSpVoiceStartStream{};
}

void TSpeech::SetOnStartStream(TSpVoiceStartStream AHandler) {
    for (TSapiBase* e : {FSapi5_1.get(), FSapi5_4.get()})
        if (e) e->SetOnStartStream(AHandler);
}

TSpVoiceEndStream TSpeech::OnEndStream() const {
    TSapiBase* e = Engine();
    return e ? e->OnEndStream() : TSpVoiceEndStream{};
}

void TSpeech::SetOnEndStream(TSpVoiceEndStream AHandler) {
    for (TSapiBase* e : {FSapi5_1.get(), FSapi5_4.get()})
        if (e) e->SetOnEndStream(AHandler);
}

bool TSpeech::StimmenBekannt() {
    return (!FSapi5_1 || FSapi5_1->StimmenBekannt()) && (!FSapi5_4 || FSapi5_4->StimmenBekannt());
}

void TSpeech::ListeDaSapi5_1() {
    if (FNrIndex.Nr == 1 && !FVorgemerkt.isEmpty()) {
        const int i = FSapi5_1->FindDescriptionInTokensIndex(FVorgemerkt);
        if (i >= 0) {
            FNrIndex.Index = i;
        } else {
            // The server really lacks the voice: the screen reader speaks.
            FNrIndex = {0, -1};
        }
        FVorgemerkt.clear();
    }
    if (StimmenGeaendert) StimmenGeaendert();
}

QString TSpeech::FindRandomDescription(const QString& FindString) {
    const QStringList l = Tokens();
    if (!FindString.isEmpty())
        for (const QString& s : l)
            if (s.contains(FindString, Qt::CaseSensitive)) return s;
    return l.isEmpty() ? QString() : l.first();
}
