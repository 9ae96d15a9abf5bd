#include "TextFile.h"

#include "SaveFileChecked.h"

#include "RtfRef.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QSaveFile>
#include <QStringDecoder>

#include <array>
#include <vector>

namespace {

constexpr qint64 kBlockSize = 65536;

// Bytes 80..9F of Windows-1252. The five bytes the code page leaves undefined
// (81, 8D, 8F, 90, 9D) pass through as the C1 controls, as Windows itself does,
// so that every byte decodes and encodes back to itself.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t AnsiToUnicode(unsigned char AByte) {
    if (AByte >= 0x80 && AByte <= 0x9F) return kCp1252High[AByte - 0x80];
    return AByte;
}

// -1 when Windows-1252 has no byte for the character.
int UnicodeToAnsi(char32_t ACode) {
    if (ACode < 0x80 || (ACode >= 0xA0 && ACode <= 0xFF)) return static_cast<int>(ACode);
    for (std::size_t I = 0; I < kCp1252High.size(); ++I)
        if (kCp1252High[I] == ACode) return static_cast<int>(0x80 + I);
    return -1;
}

enum class TUtf8Result { Valid, Invalid, ReadError };

struct TUtf8Scan {
    TUtf8Result Result = TUtf8Result::ReadError;
    bool MultiByteS = false;
};

TUtf8Scan ScanUtf8(const QString& AFileName) {
    TUtf8Scan Scan;
    QFile File(AFileName);
    if (!File.open(QIODevice::ReadOnly)) return Scan;

    std::vector<unsigned char> Block(kBlockSize);
    int Pending = 0;
    char32_t CodePoint = 0;
    char32_t Minimum = 0;
    for (;;) {
        const qint64 Got = File.read(reinterpret_cast<char*>(Block.data()), kBlockSize);
        if (Got < 0) return Scan;
        if (Got == 0) break;
        for (qint64 I = 0; I < Got; ++I) {
            const unsigned char B = Block[static_cast<std::size_t>(I)];
            if (Pending == 0) {
                if (B < 0x80) continue;
                Scan.MultiByteS = true;
                if (B >= 0xC2 && B <= 0xDF) {
                    Pending = 1;
                    CodePoint = B & 0x1F;
                    Minimum = 0x80;
                } else if (B >= 0xE0 && B <= 0xEF) {
                    Pending = 2;
                    CodePoint = B & 0x0F;
                    Minimum = 0x800;
                } else if (B >= 0xF0 && B <= 0xF4) {
                    Pending = 3;
                    CodePoint = B & 0x07;
                    Minimum = 0x10000;
                } else {
                    Scan.Result = TUtf8Result::Invalid;
                    return Scan;
                }
            } else {
                if (B < 0x80 || B > 0xBF) {
                    Scan.Result = TUtf8Result::Invalid;
                    return Scan;
                }
                CodePoint = (CodePoint << 6) | (B & 0x3F);
                if (--Pending == 0 && (CodePoint < Minimum || (CodePoint >= 0xD800 && CodePoint <= 0xDFFF) ||
                                       CodePoint > 0x10FFFF)) {
                    Scan.Result = TUtf8Result::Invalid;
                    return Scan;
                }
            }
        }
    }
    Scan.Result = Pending == 0 ? TUtf8Result::Valid : TUtf8Result::Invalid;
    return Scan;
}

struct TZeroCount {
    qsizetype Zeros = 0;
    qsizetype EvenZeros = 0;
    qsizetype OddZeros = 0;
};

TZeroCount CountZeros(const QByteArray& ASample) {
    TZeroCount Count;
    for (qsizetype I = 0; I < ASample.size(); ++I) {
        if (ASample[I] != 0) continue;
        ++Count.Zeros;
        if (I % 2 == 0)
            ++Count.EvenZeros;
        else
            ++Count.OddZeros;
    }
    return Count;
}

bool StartsWith(const QByteArray& AData, std::initializer_list<unsigned char> APrefix) {
    if (AData.size() < static_cast<qsizetype>(APrefix.size())) return false;
    qsizetype I = 0;
    for (unsigned char B : APrefix)
        if (static_cast<unsigned char>(AData[I++]) != B) return false;
    return true;
}

QByteArray ReadAll(const QString& AFileName) {
    QFile File(AFileName);
    QByteArray Data;
    if (File.open(QIODevice::ReadOnly)) Data = File.readAll();
    if (!File.isOpen() || File.error() != QFileDevice::NoError) {
        throw ETextFileError(
            QStringLiteral("Datei konnte nicht gelesen werden: %1 (%2)").arg(AFileName, File.errorString()));
    }
    return Data;
}

QString DecodeUtf16(const QByteArray& AData) {
    qsizetype Start = 0;
    bool BigEndianS = false;
    if (StartsWith(AData, {0xFF, 0xFE})) {
        Start = 2;
    } else if (StartsWith(AData, {0xFE, 0xFF})) {
        Start = 2;
        BigEndianS = true;
    } else {
        // Without a mark the text is little endian, unless its zero bytes
        // plainly stand first in each pair: reading such a file little endian
        // would turn every Latin letter into a CJK ideograph.
        const TZeroCount Count = CountZeros(AData.left(kBlockSize));
        BigEndianS = Count.EvenZeros > Count.Zeros * 7 / 10 && Count.EvenZeros > Count.OddZeros;
    }
    QString Text;
    Text.reserve((AData.size() - Start) / 2 + 1);
    qsizetype I = Start;
    for (; I + 1 < AData.size(); I += 2) {
        const auto B0 = static_cast<unsigned char>(AData[I]);
        const auto B1 = static_cast<unsigned char>(AData[I + 1]);
        Text.append(QChar(BigEndianS ? char16_t((B0 << 8) | B1) : char16_t((B1 << 8) | B0)));
    }
    // A lone last byte is half a character: show that something was there.
    if (I < AData.size()) Text.append(QChar(QChar::ReplacementCharacter));
    return Text;
}

// Strict UTF-8: false on any malformed sequence.
// The caller has removed the byte order mark; a second one is text.
bool DecodeUtf8Strict(const QByteArray& AData, QString& AText) {
    QStringDecoder Decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    AText = Decoder.decode(AData);
    return !Decoder.hasError();
}

QByteArray EncodeUtf8(const QString& AText) {
    QStringEncoder Encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    return Encoder.encode(AText);
}

void WriteBytes(const QString& AFileName, const QByteArray& AData) {
    // A full disk or a failing write never leaves half a file behind.
    QString Grund;
    switch (SaveFileChecked(AFileName, AData, &Grund, true)) {
    case TSpeicherErgebnis::Gespeichert:
        return;
    case TSpeicherErgebnis::NichtAngelegt:
        throw ETextFileError(
            QStringLiteral("Datei konnte nicht angelegt werden: %1 (%2)").arg(AFileName, Grund));
    case TSpeicherErgebnis::NichtGeschrieben:
        break;
    }
    throw ETextFileError(
        QStringLiteral("Datei konnte nicht geschrieben werden: %1 (%2)").arg(AFileName, Grund));
}

} // namespace

QString DecodeAnsi(const QByteArray& ABytes) {
    QString Text(ABytes.size(), Qt::Uninitialized);
    QChar* Out = Text.data();
    for (qsizetype I = 0; I < ABytes.size(); ++I)
        Out[I] = QChar(AnsiToUnicode(static_cast<unsigned char>(ABytes[I])));
    return Text;
}

QByteArray EncodeAnsi(const QString& AText) {
    QByteArray Bytes;
    Bytes.reserve(AText.size());
    for (qsizetype I = 0; I < AText.size(); ++I) {
        char32_t Code = AText[I].unicode();
        if (QChar::isHighSurrogate(Code) && I + 1 < AText.size() && AText[I + 1].isLowSurrogate()) {
            Code = QChar::surrogateToUcs4(AText[I], AText[I + 1]);
            ++I;
        }
        const int Byte = QChar::isSurrogate(Code) ? -1 : UnicodeToAnsi(Code);
        Bytes.append(Byte < 0 ? '?' : static_cast<char>(Byte));
    }
    return Bytes;
}

TUtf8Check IsValidUtf8(const QString& AFileName) {
    const TUtf8Scan Scan = ScanUtf8(AFileName);
    TUtf8Check Check;
    Check.ValidS = Scan.Result == TUtf8Result::Valid;
    Check.MultiByteS = Scan.MultiByteS;
    return Check;
}

TFileTextType GetFileTextType(const QString& AFileName) {
    const QFileInfo Info(AFileName);
    if (!Info.exists() || Info.isDir()) return fttUnknown;

    QFile File(AFileName);
    if (!File.open(QIODevice::ReadOnly)) return fttUnknown;
    const QByteArray Sample = File.read(kBlockSize);
    if (File.error() != QFileDevice::NoError) return fttUnknown;
    File.close();

    if (Sample.isEmpty()) return fttAnsi;
    if (StartsWith(Sample, {0x7B, 0x5C, 0x72, 0x74})) return fttRtf;
    if (StartsWith(Sample, {0xEF, 0xBB, 0xBF})) return fttUtf8Bom;
    if (StartsWith(Sample, {0xFF, 0xFE}) || StartsWith(Sample, {0xFE, 0xFF})) return fttUnicode;

    const TZeroCount Count = CountZeros(Sample);
    if (Sample.size() >= 32 && Count.Zeros > Sample.size() / 10 &&
        (Count.EvenZeros > Count.Zeros * 7 / 10 || Count.OddZeros > Count.Zeros * 7 / 10))
        return fttUnicode;

    bool HighS = false;
    for (char C : Sample) {
        if (static_cast<unsigned char>(C) >= 0x80) {
            HighS = true;
            break;
        }
    }
    if (HighS) {
        const TUtf8Scan Scan = ScanUtf8(AFileName);
        if (Scan.Result == TUtf8Result::ReadError) return fttUnknown;
        if (Scan.Result == TUtf8Result::Valid && Scan.MultiByteS) return fttUtf8;
    }
    return fttAnsi;
}

QString ReadUtf8OrAnsi(const QString& AFileName) {
    static const QString Prefix =
        QStringLiteral("Datei konnte weder als UTF-8 noch als ANSI gelesen werden: ");
    QByteArray Data;
    try {
        Data = ReadAll(AFileName);
    } catch (const ETextFileError& E) {
        throw ETextFileError(Prefix + E.Message());
    }
    if (Data.size() > 2 && StartsWith(Data, {0xEF, 0xBB, 0xBF})) Data.remove(0, 3);
    QString Text;
    if (DecodeUtf8Strict(Data, Text)) return Text;
    // Every byte has a character in Windows-1252, so this cannot fail.
    return DecodeAnsi(Data);
}

QString ReadTextFile(const QString& AFileName, TFileTextType& AFileType) {
    AFileType = GetFileTextType(AFileName);
    switch (AFileType) {
    case fttUnknown:
        throw ETextFileError(QStringLiteral("FileTextType konnte nicht ermittelt werden."));
    case fttUnicode:
        return DecodeUtf16(ReadAll(AFileName));
    case fttRtf:
        return TRtfRef::RtfToText(ReadAll(AFileName));
    case fttUtf8: {
        // Checked as valid, but the file may have changed since: a lenient
        // decode keeps whatever is there.
        QStringDecoder Decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return Decoder.decode(ReadAll(AFileName));
    }
    case fttUtf8Bom: {
        try {
            QString Text;
            if (DecodeUtf8Strict(ReadAll(AFileName).mid(3), Text)) return Text;
        } catch (const ETextFileError&) {
        }
        return ReadUtf8OrAnsi(AFileName);
    }
    case fttAnsi:
        break;
    }
    return DecodeAnsi(ReadAll(AFileName));
}

QString ReadTextFile(const QString& AFileName) {
    TFileTextType FileType = fttUnknown;
    return ReadTextFile(AFileName, FileType);
}

void WriteTextFile(const QString& AFileName, const QString& AText, TFileTextType AFileType,
                   const QFont* AFont) {
    QByteArray Data;
    switch (AFileType) {
    case fttRtf:
        Data = TRtfRef::TextToRtf(AText, AFont);
        break;
    case fttUnicode: {
        Data.reserve(2 + AText.size() * 2);
        Data.append('\xFF').append('\xFE');
        for (QChar C : AText) {
            Data.append(static_cast<char>(C.unicode() & 0xFF));
            Data.append(static_cast<char>(C.unicode() >> 8));
        }
        break;
    }
    case fttUtf8:
        Data = EncodeUtf8(AText);
        break;
    case fttUtf8Bom:
        Data = QByteArray("\xEF\xBB\xBF") + EncodeUtf8(AText);
        break;
    case fttAnsi:
    case fttUnknown:
        Data = EncodeAnsi(AText);
        break;
    }
    WriteBytes(AFileName, Data);
}
