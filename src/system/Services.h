#pragma once
// The services the program asks of the desktop. The main window receives them
// at construction; the real program uses RealServices(), tests pass doubles.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

class QWidget;

enum class TMsgAntwort { Ja, Nein, Abbrechen, OK };

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    // Confirmation with "Ja" and "Nein"; true on "Ja".
    virtual bool Frage(QWidget* AOwner, const QString& AText) = 0;
    // Confirmation with "Ja", "Nein" and "Abbrechen".
    virtual TMsgAntwort FrageJaNeinAbbrechen(QWidget* AOwner, const QString& AText) = 0;
    // Information with "OK".
    virtual void Information(QWidget* AOwner, const QString& AText) = 0;
    virtual void Fehler(QWidget* AOwner, const QString& AText) = 0;
};

// Event sounds from memory (the bytes of a WAV file).
class ISoundPlayer {
public:
    virtual ~ISoundPlayer() = default;
    // Plays the sound; with AWarteS the call returns when it has ended.
    // A new sound cuts off the one playing. Empty data plays nothing.
    virtual void Play(const QByteArray& AWav, bool AWarteS) = 0;
    virtual void Stop() = 0;
};

// Audio texts and other sound files played by name.
class IAudioPlayer {
public:
    virtual ~IAudioPlayer() = default;
    // Starts the file; false when it cannot be played (missing, no device).
    // With AWarteS the call returns when playing has ended.
    virtual bool Play(const QString& AFilename, bool AWarteS) = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() const = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    virtual QDateTime Now() const = 0;
};

class IShell {
public:
    virtual ~IShell() = default;
    // A document, folder or address with the desktop's default program;
    // false when nothing could open it.
    virtual bool Open(QWidget* AOwner, const QString& AFileOrUrl) = 0;
    // Starts a program without waiting for it; false when it could not start.
    virtual bool StartProgram(const QString& AProgram, const QStringList& AArguments,
                              const QString& AWorkingFolder) = 0;
    // A text document, preferring an editor that shows it already (help texts).
    virtual bool OpenTextFile(const QString& AFilename) = 0;
    virtual bool CreateShortcut(const QString& ALinkFile, const QString& ATarget,
                                const QString& ADescription) = 0;
    virtual void Beep() = 0;
    // Whether Caps Lock is on.
    virtual bool FeststelltasteAn() const = 0;
};

struct TServices {
    IMessageBoxes* MessageBoxes = nullptr;
    ISoundPlayer* Sounds = nullptr;
    IAudioPlayer* Audio = nullptr;
    IClock* Clock = nullptr;
    IShell* Shell = nullptr;
};

// The real implementations; created on first use on the GUI thread, alive
// until the process ends.
TServices RealServices();
