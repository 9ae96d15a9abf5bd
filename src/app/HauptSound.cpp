// Event sounds and audio texts.

#include "Haupt.h"

#include "EinstellungenC.h"
#include "Pfade.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QtEndian>
#include <cmath>

namespace {
void Anhaengen32(QByteArray& AData, quint32 AValue) {
    char b[4];
    qToLittleEndian(AValue, b);
    AData.append(b, 4);
}
void Anhaengen16(QByteArray& AData, quint16 AValue) {
    char b[2];
    qToLittleEndian(AValue, b);
    AData.append(b, 2);
}
} // namespace

// The file's content, or a generated 8-bit tone of 11025 Hz when the file is
// missing or unreadable (with frequency 0 and duration 0: a valid silent WAV).
QByteArray SoundLaden(int AFrequenz, int ADauerMs, int AAmplitude, const QString& AFilename) {
    QFile f(AFilename);
    if (f.exists() && f.open(QIODevice::ReadOnly)) return f.readAll();
    if (AFrequenz > 0.6 * 11025) return {};
    const quint32 count = static_cast<quint32>(std::max(ADauerMs, 0)) * 11025U / 1000U;
    QByteArray d;
    d.append("RIFF");
    Anhaengen32(d, count + 38);
    d.append("WAVEfmt ");
    Anhaengen32(d, 18);
    Anhaengen16(d, 1);
    Anhaengen16(d, 1);
    Anhaengen32(d, 11025);
    Anhaengen32(d, 11025);
    Anhaengen16(d, 1);
    Anhaengen16(d, 8);
    Anhaengen16(d, 0);
    d.append("data");
    Anhaengen32(d, count);
    for (quint32 i = 0; i < count; ++i)
        d.append(static_cast<char>(
            static_cast<int>(std::trunc(std::sin(i * 2 * M_PI * AFrequenz / 11025) * AAmplitude)) + 127));
    return d;
}

const QByteArray& Piepton() {
    static const QByteArray ton = SoundLaden(880, 90, 60, QString());
    return ton;
}

void TForm1::LadeSounds() {
    static const char* const namen[TSoundCount] = {"Click.wav", "Falsch.wav", "Richtig.wav", "Fertig.wav",
                                                   "Typing.wav"};
    for (int i = 0; i < TSoundCount; ++i)
        FSnd[i] = SoundLaden(0, 0, 0, SoundsOrdner + QLatin1String(namen[i]));
}

void TForm1::SoundsAbwarten() {
    if (!FSoundsBereitS.load(std::memory_order_acquire) && FLoadKatThread.joinable()) FLoadKatThread.join();
}

void TForm1::Ton(TSound ASoundNr, bool WarteS) {
    if (!Einstellungen->SoundsWiedergebenS || !Einstellungen->SoundsArr[ASoundNr]) return;
    SoundsAbwarten();
    FDienste.Services.Sounds->Play(FSnd[ASoundNr], WarteS);
}

void TForm1::PlayMp3(const QString& AFilename, bool WartenS) {
    PlayerStop();
    if (!AFilename.isEmpty() && QFileInfo::exists(AFilename) && Einstellungen->Mp3TextS) {
        IAudioPlayer* player = FDienste.Services.Audio;
        if (player->Play(AFilename, false) && WartenS) {
            // Keys, menus and timers stay alive; Esc ("Wiedergabe stoppen") and
            // closing the area end the wait.
            while (player->IsPlaying() && !CloseS && !BeendenS) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                QThread::msleep(5);
            }
            player->Stop();
        }
    }
    EscLoslassenAbwarten();
}

// The repeats of a held Esc run "Wiedergabe stoppen" each time; they are used
// up here, so that none of them silences the line that comes up next. The
// release can be missed (another program took the keyboard), so a held key
// also ends when its repeats have stopped coming for a second.
void TForm1::EscLoslassenAbwarten() {
    while (FEscGedruecktS && !BeendenS && FEscUhr.elapsed() - FEscZuletztMs < 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

void TForm1::PlayerStop() {
    if (FDienste.Services.Audio->IsPlaying()) FDienste.Services.Audio->Stop();
    if (Erlaubt(QStringLiteral("MenuSpracheStoppen"))) MenuSpracheFunktionen(1);
}
