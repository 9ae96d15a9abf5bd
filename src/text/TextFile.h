#pragma once
// The one reader and writer of text files. The reader finds out by itself how
// a file is encoded (ANSI = Windows-1252, UTF-8 with or without byte order
// mark, UTF-16, RTF); callers split the result into lines themselves.

#include <QString>
#include <cstdint>
#include <stdexcept>

class QFont;

enum TFileTextType : std::uint8_t {
    fttUnknown = 0,
    fttAnsi = 1,
    fttUnicode = 2,
    fttRtf = 3,
    fttUtf8 = 4,
    fttUtf8Bom = 5,
};

// Raised by ReadTextFile and WriteTextFile; what() is the German message as UTF-8.
class ETextFileError : public std::runtime_error {
public:
    explicit ETextFileError(const QString& AMessage)
        : std::runtime_error(AMessage.toStdString()), FMessage(AMessage) {}
    const QString& Message() const { return FMessage; }

private:
    QString FMessage;
};

struct TUtf8Check {
    bool ValidS = false;
    bool MultiByteS = false;
};

// Never fails; a missing or unreadable file gives fttUnknown.
TFileTextType GetFileTextType(const QString& AFileName);
// Checks the whole file in 64 KiB blocks with one state machine.
TUtf8Check IsValidUtf8(const QString& AFileName);
// Raise ETextFileError when the kind cannot be found or the content not decoded.
QString ReadTextFile(const QString& AFileName, TFileTextType& AFileType);
QString ReadTextFile(const QString& AFileName);
QString ReadUtf8OrAnsi(const QString& AFileName);
// Replaces the file. AFont is used only for fttRtf and may be null.
void WriteTextFile(const QString& AFileName, const QString& AText, TFileTextType AFileType,
                   const QFont* AFont = nullptr);

// Windows-1252: every byte decodes; characters it lacks are encoded as '?'.
QString DecodeAnsi(const QByteArray& ABytes);
QByteArray EncodeAnsi(const QString& AText);
