#pragma once
// Recording doubles of the speech outputs: engines with a fixed voice list and
// a screen reader driver, all writing into one shared record.

#include "SpVoice.h"
#include "Speech.h"

#include <QStringList>
#include <memory>
#include <stdexcept>

struct TSprachWelt {
    QStringList Aufrufe;    // every call, e.g. "A.Speak(Hallo,1)", "Orca.Silence"
    QStringList Gesprochen; // the texts handed to any output
    bool ScreenReaderAktivS = true;
};

class TRecordingEngine : public TSapiBase {
public:
    TRecordingEngine(QString AName, QStringList AStimmen, std::shared_ptr<TSprachWelt> AWelt)
        : FName(std::move(AName)), FStimmen(std::move(AStimmen)), FWelt(std::move(AWelt)) {
        std::stable_sort(FStimmen.begin(), FStimmen.end(), [](const QString& a, const QString& b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        });
        if (!FStimmen.isEmpty()) FAktuell = 0;
    }
    int Rate() override { return FAktuell >= 0 ? FRate : 0; }
    void SetRate(int AValue) override {
        if (FAktuell < 0) return;
        FRate = AValue;
        Log(QStringLiteral("Rate(%1)").arg(AValue));
    }
    int Volume() override { return FAktuell >= 0 ? FVolume : 0; }
    void SetVolume(int AValue) override {
        if (FAktuell < 0) return;
        FVolume = AValue;
        Log(QStringLiteral("Volume(%1)").arg(AValue));
    }
    int Speak(const QString& AText, int AFlags) override {
        if (FAktuell < 0) return 0;
        Log(QStringLiteral("Speak(%1,%2)").arg(AText).arg(AFlags));
        if (!AText.isEmpty()) FWelt->Gesprochen << AText;
        return ++FStream;
    }
    void Stop() override { Log(QStringLiteral("Stop")); }
    void Pause() override {}
    void Resume() override {}
    int FindDescriptionInTokensIndex(const QString& ADescription) override {
        if (ADescription.isEmpty()) return -1;
        for (int i = 0; i < FStimmen.size(); ++i)
            if (FStimmen.at(i).compare(ADescription, Qt::CaseInsensitive) == 0) return i;
        return -1;
    }
    QStringList Tokens() override { return FStimmen; }
    int TokenIndex() override { return FAktuell; }
    void SetTokenIndex(int AValue) override {
        if (AValue >= 0 && AValue < FStimmen.size()) FAktuell = AValue;
    }
    QString TokenDescription() override { return FAktuell >= 0 ? FStimmen.at(FAktuell) : QString(); }
    TSpVoiceStartStream OnStartStream() const override { return FStart; }
    void SetOnStartStream(TSpVoiceStartStream AHandler) override { FStart = std::move(AHandler); }
    TSpVoiceEndStream OnEndStream() const override { return FEnde; }
    void SetOnEndStream(TSpVoiceEndStream AHandler) override { FEnde = std::move(AHandler); }

private:
    void Log(const QString& A) { FWelt->Aufrufe << FName + QLatin1Char('.') + A; }
    QString FName;
    QStringList FStimmen;
    std::shared_ptr<TSprachWelt> FWelt;
    int FAktuell = -1;
    int FRate = 0;
    int FVolume = 80;
    int FStream = 0;
    TSpVoiceStartStream FStart;
    TSpVoiceEndStream FEnde;
};

class TRecordingDriver : public TScreenReaderDriver {
public:
    TRecordingDriver(const QString& AName, std::shared_ptr<TSprachWelt> AWelt)
        : TScreenReaderDriver(AName, true, false), FWelt(std::move(AWelt)) {}
    bool Speak(const QString& S, bool Interrupt) override {
        Log(QStringLiteral("Speak(%1,%2)").arg(S).arg(Interrupt));
        FWelt->Gesprochen << S;
        return true;
    }
    bool Braille(const QString&) override { return false; }
    bool IsSpeaking() override { return false; }
    bool Silence() override {
        Log(QStringLiteral("Silence"));
        return true;
    }
    bool IsActive() override { return FWelt->ScreenReaderAktivS; }
    bool Output(const QString& S, bool Interrupt) override {
        Log(QStringLiteral("Output(%1,%2)").arg(S).arg(Interrupt));
        return true;
    }

private:
    void Log(const QString& A) { FWelt->Aufrufe << FName + QLatin1Char('.') + A; }
    std::shared_ptr<TSprachWelt> FWelt;
};

// A speech platform of recording doubles: engine "A" (speech server voices),
// engine "B" (in-process voices) and the screen reader "Orca".
struct TFakeSprache {
    std::shared_ptr<TSprachWelt> Welt = std::make_shared<TSprachWelt>();
    QStringList StimmenA{QStringLiteral("Teststimme")};
    QStringList StimmenB;

    QStringList& Gesprochen() { return Welt->Gesprochen; }
    TSpeechPlatform Platform() const {
        TSpeechPlatform p;
        p.Treiber = [w = Welt] {
            TScreenReaderDriverListe l;
            l.push_back(std::make_unique<TRecordingDriver>(QStringLiteral("Orca"), w));
            return l;
        };
        p.Sapi5_1 = [w = Welt, s = StimmenA] {
            return std::make_unique<TRecordingEngine>(QStringLiteral("A"), s, w);
        };
        p.Sapi5_4 = [w = Welt, s = StimmenB] {
            return std::make_unique<TRecordingEngine>(QStringLiteral("B"), s, w);
        };
        return p;
    }
};

// A speech server voice whose list arrives only when the test says so, as a
// server that is still starting lists its voices.
class TSpaeteStimme : public TSpVoice {
public:
    bool BekanntS = false;
    TSpObjectToken Aktuell;
    QList<TSpObjectToken> GetVoices() override {
        if (!BekanntS) throw std::runtime_error("not listed yet");
        return {{"espeak-ng:German", "espeak-ng: German"}, {"x:Anna", "x: Anna"}};
    }
    bool StimmenBekannt() override { return BekanntS; }
    std::optional<TSpObjectToken> TokenAusBeschreibung(const QString& ADescription) override {
        const qsizetype p = ADescription.indexOf(QStringLiteral(": "));
        if (p <= 0) return std::nullopt;
        return TSpObjectToken{ADescription.left(p) + u':' + ADescription.mid(p + 2), ADescription};
    }
    std::optional<TSpObjectToken> Voice() override { return Aktuell; }
    void SetVoice(const TSpObjectToken& AToken) override { Aktuell = AToken; }
    int GetRate() override { return 0; }
    void SetRate(int) override {}
    int GetVolume() override { return 0; }
    void SetVolume(int) override {}
    int Speak(const QString&, int) override { return 1; }
    void Pause() override {}
    void Resume() override {}
    std::shared_ptr<TSpEvent> SpeakCompleteEvent() override { return nullptr; }
    void Ankommen() {
        BekanntS = true;
        if (StimmenGeaendert) StimmenGeaendert();
    }
};
