#include "SapiBasics.h"

#include <algorithm>
#include <exception>

TSapiEngine::TSapiEngine(std::unique_ptr<TSpVoice> AVoice) : FVoice(std::move(AVoice)) {
    if (FVoice)
        FVoice->StimmenGeaendert = [this] {
            TokensNeu();
            if (StimmenGeaendert) StimmenGeaendert();
        };
}

TSapiEngine::~TSapiEngine() {
    if (FVoice) FVoice->StimmenGeaendert = nullptr;
}

bool TSapiEngine::HatStimmeS() {
    if (!FVoice) return false;
    try {
        return FVoice->Voice().has_value();
    } catch (const std::exception&) {
        return false;
    }
}

int TSapiEngine::Rate() {
    if (!HatStimmeS()) return 0;
    try {
        return FVoice->GetRate();
    } catch (const std::exception&) {
        return 0;
    }
}

bool TSapiEngine::ErreichbarS() {
    if (!FVoice) return false;
    try {
        return FVoice->Erreichbar();
    } catch (const std::exception&) {
        return false;
    }
}

// Rate and volume are passed on even before a server answers: it gets them
// as soon as it is connected.
void TSapiEngine::SetRate(int AValue) {
    if (!ErreichbarS()) return;
    try {
        FVoice->SetRate(AValue);
        FRate = AValue;
    } catch (const std::exception&) {
    }
}

int TSapiEngine::Volume() {
    if (!HatStimmeS()) return 0;
    try {
        return FVoice->GetVolume();
    } catch (const std::exception&) {
        return 0;
    }
}

void TSapiEngine::SetVolume(int AValue) {
    if (!ErreichbarS()) return;
    try {
        FVoice->SetVolume(AValue);
        FVolume = AValue;
    } catch (const std::exception&) {
    }
}

void TSapiEngine::Pause() {
    if (!HatStimmeS()) return;
    try {
        FVoice->Pause();
    } catch (const std::exception&) {
    }
}

void TSapiEngine::Resume() {
    if (!HatStimmeS()) return;
    try {
        FVoice->Resume();
    } catch (const std::exception&) {
    }
}

void TSapiEngine::TokensNeu() {
    if (FVoice && !FVoice->StimmenBekannt()) {
        // Never waited for: what was known stays until the list arrives.
        FVoice->Vorbereiten();
        return;
    }
    FTokenObjs.clear();
    FTokens.clear();
    if (!FVoice) return;
    try {
        FTokenObjs = FVoice->GetVoices();
        FTokens.reserve(static_cast<std::size_t>(FTokenObjs.size()));
        for (int i = 0; i < FTokenObjs.size(); ++i)
            FTokens.push_back({FTokenObjs.at(i).Description, i});
        std::stable_sort(FTokens.begin(), FTokens.end(), [](const TTokenEintrag& a, const TTokenEintrag& b) {
            return QString::compare(a.Description, b.Description, Qt::CaseInsensitive) < 0;
        });
    } catch (const std::exception&) {
        FTokenObjs.clear();
        FTokens.clear();
    }
}

QStringList TSapiEngine::Tokens() {
    TokensNeu();
    QStringList l;
    l.reserve(static_cast<qsizetype>(FTokens.size()));
    for (const TTokenEintrag& e : FTokens)
        l << e.Description;
    return l;
}

int TSapiEngine::FindDescriptionInTokensIndex(const QString& ADescription) {
    if (ADescription.isEmpty()) return -1;
    TokensNeu();
    const QString gesucht = ADescription.toLower();
    for (std::size_t i = 0; i < FTokens.size(); ++i)
        if (FTokens[i].Description.toLower() == gesucht) return static_cast<int>(i);
    return -1;
}

std::optional<TSpObjectToken> TSapiEngine::Token() {
    if (!FVoice) return std::nullopt;
    try {
        return FVoice->Voice();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void TSapiEngine::SetToken(const TSpObjectToken& AToken) {
    if (!FVoice) return;
    try {
        FVoice->SetVoice(AToken);
        FVoice->SetRate(FRate);
        FVoice->SetVolume(FVolume);
    } catch (const std::exception&) {
    }
}

bool TSapiEngine::StimmenBekannt() {
    return !FVoice || FVoice->StimmenBekannt();
}

bool TSapiEngine::SetTokenDescription(const QString& ADescription) {
    if (!FVoice) return false;
    const std::optional<TSpObjectToken> token = FVoice->TokenAusBeschreibung(ADescription);
    if (!token) return false;
    SetToken(*token);
    return true;
}

QString TSapiEngine::TokenDescription() {
    const std::optional<TSpObjectToken> t = Token();
    return t ? t->Description : QString();
}

int TSapiEngine::TokenIndex() {
    return FindDescriptionInTokensIndex(TokenDescription());
}

void TSapiEngine::SetTokenIndex(int AValue) {
    TokensNeu();
    if (AValue < 0 || AValue >= static_cast<int>(FTokens.size())) return;
    SetToken(FTokenObjs.at(FTokens[static_cast<std::size_t>(AValue)].Pos));
}
