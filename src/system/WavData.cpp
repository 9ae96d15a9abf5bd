#include "WavData.h"

#include <QtEndian>
#include <cstring>

namespace {

quint16 Le16(const char* AData) {
    return qFromLittleEndian<quint16>(AData);
}
quint32 Le32(const char* AData) {
    return qFromLittleEndian<quint32>(AData);
}

constexpr quint16 WaveFormatPcm = 1;
constexpr quint16 WaveFormatExtensible = 0xFFFE;

bool ReadFormat(const char* AChunk, quint32 ALength, TWavData& AWav) {
    if (ALength < 16) return false;
    quint16 tag = Le16(AChunk);
    // The extensible header names the real format in the first two bytes of
    // its sub-format GUID.
    if (tag == WaveFormatExtensible && ALength >= 40) tag = Le16(AChunk + 24);
    if (tag != WaveFormatPcm) return false;
    const int channels = Le16(AChunk + 2);
    const quint32 rate = Le32(AChunk + 4);
    const int bits = Le16(AChunk + 14);
    if (channels != 1 && channels != 2) return false;
    if (bits != 8 && bits != 16) return false;
    if (rate == 0 || rate > 384000) return false;
    AWav.Kanaele = channels;
    AWav.Bits = bits;
    AWav.Rate = int(rate);
    return true;
}

} // namespace

qint64 TWavData::DauerMs() const {
    const int frameBytes = Kanaele * Bits / 8;
    if (frameBytes <= 0 || Rate <= 0) return 0;
    return qint64(Pcm.size() / frameBytes) * 1000 / Rate;
}

std::optional<TWavData> ParseWav(const QByteArray& AWav) {
    const char* bytes = AWav.constData();
    const qint64 size = AWav.size();
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) return {};

    // The RIFF length is often wrong in files written by simple tools, so the
    // chunks are walked up to the real end of the data instead.
    TWavData wav;
    bool formatS = false;
    const char* data = nullptr;
    qint64 dataLength = 0;
    qint64 pos = 12;
    while (pos + 8 <= size) {
        const char* chunk = bytes + pos;
        const qint64 length = Le32(chunk + 4);
        const qint64 body = pos + 8;
        // A chunk cut short before both format and samples were found: the
        // file is broken, and playing part of it would be a guess.
        if (body + length > size) return {};
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (formatS || !ReadFormat(bytes + body, quint32(length), wav)) return {};
            formatS = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !data) {
            data = bytes + body;
            dataLength = length;
        }
        if (formatS && data) break;
        pos = body + length + (length & 1);
    }
    if (!formatS || !data) return {};
    const int frameBytes = wav.Kanaele * wav.Bits / 8;
    wav.Pcm = QByteArray(data, dataLength - dataLength % frameBytes);
    return wav;
}
