#pragma once
// The PCM content of a WAV file held in memory.

#include <QByteArray>
#include <optional>

struct TWavData {
    int Kanaele = 0; // 1 or 2
    int Bits = 0;    // 8 (unsigned) or 16 (signed)
    int Rate = 0;    // frames per second
    QByteArray Pcm;  // whole frames only
    qint64 DauerMs() const;
};

// RIFF/WAVE with uncompressed PCM, 8 or 16 bits, mono or stereo, any rate;
// unknown chunks are skipped. Anything else, and a data chunk that is cut
// short, gives nothing.
std::optional<TWavData> ParseWav(const QByteArray& AWav);
