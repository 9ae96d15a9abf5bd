#include "TolkSRD.h"

#include <QFile>

#include <exception>

TTolkSRD::TTolkSRD(TScreenReaderDriverFabrik AFabrik) : FFabrik(std::move(AFabrik)) {}

TTolkSRD::~TTolkSRD() {
    Unload();
}

void TTolkSRD::Load() {
    if (FIsLoaded) return;
    try {
        FList = FFabrik ? FFabrik() : PlatformScreenReaderDrivers();
    } catch (const std::exception&) {
        FList.clear();
    }
    FCurrentSRD = nullptr;
    FIsLoaded = true;
}

void TTolkSRD::Unload() {
    if (!FIsLoaded) return;
    FCurrentSRD = nullptr;
    FList.clear();
    FIsLoaded = false;
}

QString TTolkSRD::DetectScreenReader() {
    if (!FIsLoaded) return QString();
    try {
        FCurrentSRD = nullptr;
        for (const auto& d : FList) {
            if (d && d->IsActive()) {
                FCurrentSRD = d.get();
                break;
            }
        }
        return FCurrentSRD ? FCurrentSRD->Name() : QString();
    } catch (const std::exception&) {
        FCurrentSRD = nullptr;
        return QString();
    }
}

bool TTolkSRD::Speak(const QString& S, bool Interrupt) {
    if (S.isEmpty() || DetectScreenReader().isEmpty()) return false;
    SprachLogSchreiben(S);
    return FCurrentSRD->Speak(S, Interrupt);
}

bool TTolkSRD::Output(const QString& S, bool Interrupt) {
    if (S.isEmpty() || DetectScreenReader().isEmpty()) return false;
    SprachLogSchreiben(S);
    return FCurrentSRD->Output(S, Interrupt);
}

bool TTolkSRD::Braille(const QString& S) {
    if (S.isEmpty() || DetectScreenReader().isEmpty()) return false;
    return FCurrentSRD->Braille(S);
}

bool TTolkSRD::IsSpeaking() {
    return !DetectScreenReader().isEmpty() && FCurrentSRD->IsSpeaking();
}

bool TTolkSRD::Silence() {
    return !DetectScreenReader().isEmpty() && FCurrentSRD->Silence();
}

bool TTolkSRD::HasSpeech() {
    return !DetectScreenReader().isEmpty() && FCurrentSRD->HasSpeech();
}

bool TTolkSRD::HasBraille() {
    return !DetectScreenReader().isEmpty() && FCurrentSRD->HasBraille();
}

void SprachLogSchreiben(const QString& AText) {
    static const QString datei = qEnvironmentVariable("TASTARO_SPRACHLOG");
    if (datei.isEmpty()) return;
    QFile f(datei);
    if (!f.open(QIODevice::Append | QIODevice::Text)) return;
    f.write(QString(AText)
                .replace(QLatin1Char('\n'), QLatin1Char(' '))
                .replace(QLatin1Char('\r'), QLatin1Char(' '))
                .toUtf8() +
            '\n');
}
