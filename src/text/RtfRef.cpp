#include "RtfRef.h"

#include "TextFile.h"

#include <QFont>
#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Groups nested deeper than this still balance their braces but share the
// state of the deepest tracked group; real documents stay far below it.
constexpr std::size_t kMaxDepth = 4096;
constexpr int kMaxWordLength = 32;

// Destinations whose content a rich text viewer never shows.
bool IsHiddenDestination(const QByteArray& AWord) {
    static const QSet<QByteArray> Names = [] {
        const QByteArray List =
            "fonttbl colortbl stylesheet info pict header headerl headerr headerf footer footerl "
            "footerr footerf fldinst listtable listoverridetable rsidtbl generator xmlnstbl "
            "themedata datastore latentstyles pgdsctbl filetbl revtbl objdata objclass nonshppict "
            "footnote annotation xe tc txe pntext listtext pn pntxta pntxtb shpinst sp ftnsep "
            "ftnsepc ftncn aftnsep aftnsepc aftncn bkmkstart bkmkend colorschememapping mmathPr "
            "template userprops";
        QSet<QByteArray> Set;
        for (const QByteArray& Name : List.split(' '))
            Set.insert(Name);
        return Set;
    }();
    return Names.contains(AWord);
}

// Windows code page for an RTF \fcharset; 0 means the document's own.
int CodePageOfCharset(int ACharset) {
    switch (ACharset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return 0;
    }
}

QString DecodeCodePage(const QByteArray& ABytes, int ACodePage) {
    if (ACodePage != 1252) {
        const QByteArray Number = QByteArray::number(ACodePage);
        const QByteArray Names[] = {
            ACodePage == 10000 ? QByteArray("macintosh") : "windows-" + Number,
            "IBM" + Number,
            "cp" + Number,
        };
        for (const QByteArray& Name : Names) {
            QStringDecoder Decoder(Name.constData(), QStringDecoder::Flag::Stateless);
            if (Decoder.isValid()) return Decoder.decode(ABytes);
        }
    }
    return DecodeAnsi(ABytes);
}

struct TGroupState {
    int Uc = 1;
    bool SkipS = false;
    bool FontTblS = false;
    int Font = -1;
};

class TRtfReader {
public:
    explicit TRtfReader(const QByteArray& ARtf) : FRtf(ARtf) {}
    QString Run();

private:
    void OpenGroup();
    bool CloseGroup();
    void ReadControl();
    void ControlWord(const QByteArray& AWord, bool AHasParamS, int AParam);
    void TextByte(char AByte);
    void Append(QStringView AText);
    void Append(char16_t AChar) { Append(QStringView(&AChar, 1)); }
    void LineBreak();
    void Flush();
    int CodePage() const;

    const QByteArray& FRtf;
    qsizetype FPos = 0;
    QString FText;
    QByteArray FPending;
    int FPendingCodePage = 1252;
    std::vector<TGroupState> FStack;
    std::size_t FOverflow = 0;
    TGroupState FState;
    int FUcSkip = 0;
    int FDefaultCodePage = 1252;
    int FDefaultFont = 0;
    int FFontDef = 0;
    QHash<int, int> FFontCodePage;
    bool FEndsWithBreakS = false;
    bool FSeenGroupS = false;
};

QString TRtfReader::Run() {
    while (FPos < FRtf.size()) {
        const char C = FRtf[FPos++];
        switch (C) {
        case '{':
            OpenGroup();
            break;
        case '}':
            if (CloseGroup()) FPos = FRtf.size();
            break;
        case '\\':
            ReadControl();
            break;
        case '\r':
        case '\n':
        case '\0':
            break;
        default:
            TextByte(C);
            break;
        }
    }
    Flush();
    // A rich edit control ends every document with a paragraph mark of its
    // own, so the last \par does not open another, empty line.
    if (FEndsWithBreakS) FText.chop(2);
    return FText;
}

void TRtfReader::OpenGroup() {
    FSeenGroupS = true;
    FUcSkip = 0;
    if (FStack.size() >= kMaxDepth) {
        ++FOverflow;
        return;
    }
    FStack.push_back(FState);
}

// True when the outermost group has closed, which ends the document.
bool TRtfReader::CloseGroup() {
    FUcSkip = 0;
    if (FOverflow > 0) {
        --FOverflow;
        return false;
    }
    if (FStack.empty()) return FSeenGroupS;
    FState = FStack.back();
    FStack.pop_back();
    return FStack.empty();
}

void TRtfReader::ReadControl() {
    if (FPos >= FRtf.size()) return;
    const char C = FRtf[FPos];
    const auto IsLetter = [](char L) { return (L >= 'a' && L <= 'z') || (L >= 'A' && L <= 'Z'); };
    const auto IsDigit = [](char D) { return D >= '0' && D <= '9'; };
    if (!IsLetter(C)) {
        ++FPos;
        if (C == '\'') {
            const auto Hex = [&](qsizetype AAt) {
                if (AAt >= FRtf.size()) return -1;
                const char H = FRtf[AAt];
                if (H >= '0' && H <= '9') return H - '0';
                if (H >= 'a' && H <= 'f') return H - 'a' + 10;
                if (H >= 'A' && H <= 'F') return H - 'A' + 10;
                return -1;
            };
            const int High = Hex(FPos);
            const int Low = High < 0 ? -1 : Hex(FPos + 1);
            if (Low < 0) {
                // Half an escape is dropped rather than shown as a stray digit.
                if (High >= 0) ++FPos;
                return;
            }
            FPos += 2;
            TextByte(static_cast<char>(High * 16 + Low));
            return;
        }
        if (FUcSkip > 0) {
            --FUcSkip;
            return;
        }
        switch (C) {
        case '\\':
        case '{':
        case '}':
            TextByte(C);
            break;
        case '~':
            Append(u'\u00A0');
            break;
        case '_':
            // The non-breaking hyphen looks like a hyphen and is typed as one.
            Append(u'-');
            break;
        case '*':
            FState.SkipS = true;
            break;
        case '\r':
        case '\n':
            LineBreak();
            break;
        default:
            // \- (optional hyphen) and the rest show nothing.
            break;
        }
        return;
    }

    const qsizetype Start = FPos;
    while (FPos < FRtf.size() && IsLetter(FRtf[FPos]))
        ++FPos;
    const QByteArray Word = FRtf.mid(Start, std::min<qsizetype>(FPos - Start, kMaxWordLength));
    bool HasParamS = false;
    bool NegativeS = false;
    long long Param = 0;
    if (FPos + 1 < FRtf.size() && FRtf[FPos] == '-' && IsDigit(FRtf[FPos + 1])) {
        NegativeS = true;
        ++FPos;
    }
    while (FPos < FRtf.size() && IsDigit(FRtf[FPos])) {
        HasParamS = true;
        Param = std::min(Param * 10 + (FRtf[FPos] - '0'), 1000000000LL);
        ++FPos;
    }
    if (FPos < FRtf.size() && FRtf[FPos] == ' ') ++FPos;
    ControlWord(Word, HasParamS, static_cast<int>(NegativeS ? -Param : Param));
}

void TRtfReader::ControlWord(const QByteArray& AWord, bool AHasParamS, int AParam) {
    if (AWord == "bin") {
        // Binary data may hold any byte, braces included.
        FPos += std::clamp<qsizetype>(AParam, 0, FRtf.size() - FPos);
        if (FUcSkip > 0) --FUcSkip;
        return;
    }
    if (FUcSkip > 0) {
        --FUcSkip;
        return;
    }
    if (AWord == "u" && AHasParamS) {
        if (!FState.SkipS) Append(static_cast<char16_t>(AParam < 0 ? AParam + 65536 : AParam));
        FUcSkip = FState.Uc;
        return;
    }
    if (AWord == "uc") {
        FState.Uc = std::clamp(AParam, 0, 1000);
        return;
    }
    if (IsHiddenDestination(AWord)) {
        FState.SkipS = true;
        if (AWord == "fonttbl") FState.FontTblS = true;
        return;
    }
    if (FState.FontTblS) {
        if (AWord == "f") {
            FFontDef = AParam;
        } else if (AWord == "fcharset") {
            if (!FFontCodePage.contains(FFontDef)) FFontCodePage.insert(FFontDef, CodePageOfCharset(AParam));
        } else if (AWord == "cpg") {
            FFontCodePage.insert(FFontDef, AParam);
        }
        return;
    }
    if (AWord == "ansicpg") {
        if (AParam > 0) FDefaultCodePage = AParam;
    } else if (AWord == "pc") {
        FDefaultCodePage = 437;
    } else if (AWord == "pca") {
        FDefaultCodePage = 850;
    } else if (AWord == "mac") {
        FDefaultCodePage = 10000;
    } else if (AWord == "deff") {
        FDefaultFont = AParam;
    } else if (AWord == "f") {
        FState.Font = AParam;
    } else if (AWord == "plain") {
        FState.Font = -1;
    } else if (FState.SkipS) {
        return;
    } else if (AWord == "par" || AWord == "line" || AWord == "sect") {
        LineBreak();
    } else if (AWord == "row") {
        if (FText.endsWith(u'\t')) FText.chop(1);
        LineBreak();
    } else if (AWord == "tab" || AWord == "cell") {
        Append(u'\t');
    } else if (AWord == "emdash") {
        Append(u'\u2014');
    } else if (AWord == "endash") {
        Append(u'\u2013');
    } else if (AWord == "emspace") {
        Append(u'\u2003');
    } else if (AWord == "enspace") {
        Append(u'\u2002');
    } else if (AWord == "lquote") {
        Append(u'\u2018');
    } else if (AWord == "rquote") {
        Append(u'\u2019');
    } else if (AWord == "ldblquote") {
        Append(u'\u201C');
    } else if (AWord == "rdblquote") {
        Append(u'\u201D');
    } else if (AWord == "bullet") {
        Append(u'\u2022');
    }
}

int TRtfReader::CodePage() const {
    const int Font = FState.Font < 0 ? FDefaultFont : FState.Font;
    const int CodePage = FFontCodePage.value(Font, 0);
    return CodePage > 0 ? CodePage : FDefaultCodePage;
}

void TRtfReader::TextByte(char AByte) {
    if (FUcSkip > 0) {
        --FUcSkip;
        return;
    }
    if (FState.SkipS) return;
    const int Page = CodePage();
    if (!FPending.isEmpty() && Page != FPendingCodePage) Flush();
    FPendingCodePage = Page;
    FPending.append(AByte);
    FEndsWithBreakS = false;
}

void TRtfReader::Flush() {
    if (FPending.isEmpty()) return;
    FText += DecodeCodePage(FPending, FPendingCodePage);
    FPending.clear();
}

void TRtfReader::Append(QStringView AText) {
    if (FState.SkipS) return;
    Flush();
    FText += AText;
    FEndsWithBreakS = false;
}

void TRtfReader::LineBreak() {
    if (FState.SkipS) return;
    Append(u"\r\n");
    FEndsWithBreakS = true;
}

void AppendEscaped(QByteArray& AOut, QStringView AText) {
    for (QChar C : AText) {
        const char16_t U = C.unicode();
        if (U == u'\\' || U == u'{' || U == u'}') {
            AOut.append('\\').append(static_cast<char>(U));
        } else if (U == u'\t') {
            AOut.append("\\tab ");
        } else if (U >= 0x20 && U < 0x80) {
            AOut.append(static_cast<char>(U));
        } else {
            const QByteArray Ansi = EncodeAnsi(QString(C));
            if (U >= 0x80 && Ansi != "?") {
                static const char Digits[] = "0123456789abcdef";
                const auto B = static_cast<unsigned char>(Ansi[0]);
                AOut.append("\\'").append(Digits[B >> 4]).append(Digits[B & 0x0F]);
            } else {
                // RTF keeps \u values as signed 16-bit numbers.
                AOut.append("\\u")
                    .append(QByteArray::number(U > 32767 ? int(U) - 65536 : int(U)))
                    .append('?');
            }
        }
    }
}

} // namespace

QString TRtfRef::RtfToText(const QByteArray& ARtf) {
    return TRtfReader(ARtf).Run();
}

QByteArray TRtfRef::TextToRtf(const QString& AText, const QFont* AFont) {
    QString Family = QStringLiteral("Arial");
    double Points = 12;
    bool BoldS = false;
    bool ItalicS = false;
    bool UnderlineS = false;
    bool StrikeOutS = false;
    if (AFont) {
        if (!AFont->family().isEmpty()) Family = AFont->family();
        if (AFont->pointSizeF() > 0)
            Points = AFont->pointSizeF();
        else if (AFont->pixelSize() > 0)
            Points = AFont->pixelSize() * 0.75;
        BoldS = AFont->bold();
        ItalicS = AFont->italic();
        UnderlineS = AFont->underline();
        StrikeOutS = AFont->strikeOut();
    }
    // A semicolon would end the font table entry early.
    Family.remove(u';');

    QByteArray Rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 ";
    AppendEscaped(Rtf, Family);
    Rtf.append(";}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs");
    Rtf.append(QByteArray::number(std::max(1L, std::lround(Points * 2))));
    if (BoldS) Rtf.append("\\b");
    if (ItalicS) Rtf.append("\\i");
    if (UnderlineS) Rtf.append("\\ul");
    if (StrikeOutS) Rtf.append("\\strike");
    Rtf.append(' ');

    qsizetype LineStart = 0;
    for (qsizetype I = 0; I <= AText.size(); ++I) {
        const bool EndS = I == AText.size();
        if (!EndS && AText[I] != u'\r' && AText[I] != u'\n') continue;
        AppendEscaped(Rtf, QStringView(AText).mid(LineStart, I - LineStart));
        Rtf.append("\\par\r\n");
        if (!EndS && AText[I] == u'\r' && I + 1 < AText.size() && AText[I + 1] == u'\n') ++I;
        LineStart = I + 1;
    }
    Rtf.append("}\r\n");
    return Rtf;
}
