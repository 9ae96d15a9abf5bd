#pragma once
// A driver for one screen reader: it tells whether that screen reader runs and
// hands it text to speak or to show on a braille display. Every Boolean result
// tells whether the screen reader accepted the request. Drivers are used on the
// main thread only.

#include <QString>
#include <memory>
#include <vector>

class TScreenReaderDriver {
public:
    TScreenReaderDriver(const QString& AScreenReaderName, bool ASpeech, bool ABraille)
        : FName(AScreenReaderName), FHasSpeech(ASpeech), FHasBraille(ABraille) {}
    virtual ~TScreenReaderDriver() = default;

    QString Name() const { return FName; }
    bool HasSpeech() const { return FHasSpeech; }
    bool HasBraille() const { return FHasBraille; }

    virtual bool Speak(const QString& S, bool Interrupt) = 0;
    virtual bool Braille(const QString& S) = 0;
    virtual bool IsSpeaking() = 0;
    virtual bool Silence() = 0;
    // Must be cheap: the dispatcher asks before every request.
    virtual bool IsActive() = 0;
    virtual bool Output(const QString& S, bool Interrupt) = 0;

protected:
    QString FName;
    bool FHasSpeech = false;
    bool FHasBraille = false;
};

using TScreenReaderDriverListe = std::vector<std::unique_ptr<TScreenReaderDriver>>;
