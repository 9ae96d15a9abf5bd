#pragma once
// Where spoken text goes. The main window speaks lines and typed text through
// this; the real output is a speech-dispatcher client (the voice the desktop's
// screen reader uses as well).

#include <QString>
#include <QStringList>
#include <memory>

class ISpeechOutput {
public:
    virtual ~ISpeechOutput() = default;
    // The kind of output selected: -1 none, 0 the running screen reader,
    // 1 a synthesizer voice, 2 an in-process voice.
    virtual int Nr() const = 0;
    // Speaks the text; AStopS interrupts anything said before.
    virtual void Speak(const QString& AText, bool AStopS) = 0;
    virtual void Stop() = 0;
    // Selects the output by the voice's description (empty: none) with the
    // rate (-10..10) and volume (0..100) of the settings.
    virtual void SetStimme(const QString& AStimme, int ARate, int AVolume) = 0;
    // The descriptions the options can offer.
    virtual QStringList Stimmen() const = 0;
};

// The pseudo voice that stands for the running screen reader.
inline const QString ScreenReaderStimme = QStringLiteral("ScreenReader (JAWS/NVDA)");

std::unique_ptr<ISpeechOutput> CreateSpeechOutput();
