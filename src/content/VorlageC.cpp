#include "VorlageC.h"

#include <QStringList>

namespace {

// Zusatz values of a part.
constexpr int zNichts = 0;
constexpr int zGedankenstrichAnfuehrung = 1;
constexpr int zWortersatzAusfuehrung = 2;
constexpr int zBindestrich = 3;
constexpr int zMinus = 4;
constexpr int zStrich = 5;

const QChar cBlank(u' ');
const QChar cQuote(u'"');
const QChar cApostroph(u'\'');
const QChar cDash(u'-');

bool IsGrenze(QChar c) {
    return QStringView(u"\"'(<{[/)>}]").contains(c);
}
bool IsSatzzeichen(QChar c) {
    return QStringView(u"!?,;.:").contains(c);
}
bool IsOeffnend(QChar c) {
    return QStringView(u"(<{[/").contains(c);
}
bool IsSchliessend(QChar c) {
    return QStringView(u")>}]/").contains(c);
}
bool IsZiffer(QChar c) {
    return c >= u'0' && c <= u'9';
}
bool IsTrenner(QChar c) {
    return c == cBlank || IsGrenze(c) || IsSatzzeichen(c) || c == cDash;
}

// Lines as a text pane's line list sees them: CR LF, CR and LF end a line,
// and a final line break does not open another, empty line.
QStringList SplitLines(const QString& S) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = S.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = S.at(i);
        if (c != u'\r' && c != u'\n') continue;
        lines.append(S.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && S.at(i + 1) == u'\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.append(S.mid(start));
    return lines;
}

bool IsGanzeZahl(const QString& S) {
    int value = 0;
    return TryStrToInt32(S, value) && value != -1;
}

QString TypName(TVorlageWortTeileTyp ATyp) {
    switch (ATyp) {
    case wtNone:
        return QStringLiteral("Nichts");
    case wtZeilenschaltung:
        return QStringLiteral("Zeilenschaltung");
    case wtLeerzeile:
        return QStringLiteral("Leerzeile");
    case wtText:
        return QStringLiteral("Text");
    case wtGrenze:
        return QStringLiteral("Grenze");
    case wtSatzzeichen:
        return QStringLiteral("Satzzeichen");
    case wtStrich:
        return QStringLiteral("Strich");
    }
    return QString::number(ATyp);
}

QString ZusatzName(int AZusatz) {
    switch (AZusatz) {
    case zNichts:
        return QStringLiteral("Nichts");
    case zGedankenstrichAnfuehrung:
        return QStringLiteral("Gedankenstrich/Anführung");
    case zWortersatzAusfuehrung:
        return QStringLiteral("Wortersatz/Ausführung");
    case zBindestrich:
        return QStringLiteral("Bindestrich");
    case zMinus:
        return QStringLiteral("Minus");
    case zStrich:
        return QStringLiteral("Strich");
    default:
        return QString::number(AZusatz);
    }
}

bool BerechnePauseS(const TVorlageWortTeileListe& ATeile) {
    const qsizetype n = ATeile.size();
    if (n == 0) return false;
    const TVorlageWortTeileRec& tn = ATeile.at(n - 1);
    if (tn.Typ == wtStrich && tn.Zusatz == zGedankenstrichAnfuehrung) return true;
    if (n > 1) {
        const TVorlageWortTeileRec& tv = ATeile.at(n - 2);
        if (tn.Typ == wtGrenze && tv.Typ == wtSatzzeichen) return true;
        // A period after a number is an ordinal ("3."), not a sentence end.
        if (tn.Text == QLatin1String(".") && !IsGanzeZahl(tv.Text)) return true;
    }
    return tn.Typ == wtSatzzeichen && tn.Text != QLatin1String(".");
}

} // namespace

bool TryStrToInt32(const QString& S, int& AValue) {
    qsizetype i = 0;
    const qsizetype n = S.size();
    while (i < n && S.at(i) == cBlank)
        ++i;
    bool negativS = false;
    if (i < n && (S.at(i) == u'+' || S.at(i) == u'-')) {
        negativS = S.at(i) == u'-';
        ++i;
    }
    bool hexS = false;
    if (i < n && (S.at(i) == u'$' || S.at(i) == u'x' || S.at(i) == u'X')) {
        hexS = true;
        ++i;
    } else if (i + 1 < n && S.at(i) == u'0' && (S.at(i + 1) == u'x' || S.at(i + 1) == u'X')) {
        hexS = true;
        i += 2;
    }
    if (i >= n) return false;
    quint64 value = 0;
    const quint64 limit = hexS ? 0xFFFFFFFFull : (negativS ? 0x80000000ull : 0x7FFFFFFFull);
    for (; i < n; ++i) {
        const char16_t c = S.at(i).unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hexS && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hexS && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0) return false;
        value = value * (hexS ? 16 : 10) + static_cast<quint64>(digit);
        if (value > limit) return false;
    }
    qint64 result = hexS ? static_cast<qint32>(static_cast<quint32>(value)) : static_cast<qint64>(value);
    if (negativS) result = -result;
    AValue = static_cast<qint32>(static_cast<quint32>(result));
    return true;
}

TVorlage::TVorlage() : FSpracheCharText(std::make_unique<TSpracheCharText>()) {
    Clear();
}

TVorlage::TVorlage(const QString& ASpracheCharTextFilename)
    : FSpracheCharText(std::make_unique<TSpracheCharText>(ASpracheCharTextFilename)) {
    Clear();
}

TVorlage::~TVorlage() {
    FSpracheCharText.reset();
    Clear();
}

void TVorlage::Clear() {
    Wort.clear();
    Sprachtext.clear();
    SprichSl.clear();
    Textwoerter.clear();
}

void TVorlage::Split(const QString& S) {
    Clear();
    const QStringList lines = SplitLines(S);
    int offset = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (i > 0) offset += static_cast<int>(lines.at(i - 1).size()) + 1;
        if (line.isEmpty()) {
            Wort.append(
                TVorlageWortRec{{{QStringLiteral("\r\r"), wtLeerzeile, zNichts}}, {}, offset, 2, true});
            continue;
        }
        if (i > 0 && !lines.at(i - 1).isEmpty())
            Wort.append(
                TVorlageWortRec{{{QStringLiteral("\r"), wtZeilenschaltung, zNichts}}, {}, offset, 1, true});
        qsizetype p = 0;
        while (p < line.size()) {
            if (line.at(p) == cBlank) {
                ++p;
                continue;
            }
            qsizetype e = p;
            while (e < line.size() && line.at(e) != cBlank)
                ++e;
            TVorlageWortRec rec;
            rec.ReSelStart = offset + static_cast<int>(p) + 1;
            rec.ReSelLength = static_cast<int>(e - p);
            SplitWort(line.mid(p, e - p), rec);
            rec.PauseS = BerechnePauseS(rec.Teile);
            Wort.append(rec);
            p = e;
        }
    }
    BuildSprachtexte();
    BuildSprichSl();
}

void TVorlage::SplitWort(const QString& AWort, TVorlageWortRec& AWortRec) const {
    // Two blanks on each side give every character two neighbours either way.
    const QString w = QStringLiteral("  ") + AWort + QStringLiteral("  ");
    TVorlageWortTeileRec teil;
    int pending = zNichts;
    auto beginne = [&](QChar c, TVorlageWortTeileTyp ATyp, int AZusatz) {
        if (teil.Typ != wtNone) AWortRec.Teile.append(teil);
        teil = TVorlageWortTeileRec{QString(c), ATyp, AZusatz};
    };
    auto textzeichen = [&](QChar c) {
        if (teil.Typ == wtText)
            teil.Text += c;
        else
            beginne(c, wtText, zNichts);
        pending = zNichts;
    };
    for (qsizetype j = 2; j < w.size() - 2; ++j) {
        const QChar c = w.at(j);
        const QChar prev = w.at(j - 1), prev2 = w.at(j - 2);
        const QChar next = w.at(j + 1), next2 = w.at(j + 2);
        const bool innenS = !IsTrenner(prev) && !IsTrenner(next);
        if (IsGrenze(c)) {
            if (c == cApostroph && innenS) {
                textzeichen(c);
                continue;
            }
            const int quoteValue =
                (prev == cBlank || IsOeffnend(prev)) ? zGedankenstrichAnfuehrung : zWortersatzAusfuehrung;
            if (teil.Typ == wtGrenze) {
                teil.Text += c;
                if (c == cQuote && pending == zNichts) {
                    pending = quoteValue;
                    teil.Zusatz = pending;
                }
            } else {
                pending = c == cQuote ? quoteValue : zNichts;
                beginne(c, wtGrenze, pending);
            }
        } else if (IsSatzzeichen(c)) {
            // Inside a word (z.B, 3,5, 10:30) punctuation is part of the text.
            if (innenS) {
                textzeichen(c);
                continue;
            }
            if (teil.Typ == wtSatzzeichen)
                teil.Text += c;
            else
                beginne(c, wtSatzzeichen, zNichts);
            pending = zNichts;
        } else if (c == cDash) {
            if (teil.Typ == wtStrich) {
                teil.Text += c;
                continue;
            }
            auto endetFrei = [](QChar n1, QChar n2) {
                const auto frei = [](QChar x) { return x == cBlank || IsSatzzeichen(x) || IsSchliessend(x); };
                return frei(n1) || (n1 == cQuote && frei(n2));
            };
            auto beginntFrei = [](QChar p1, QChar p2) {
                return IsOeffnend(p1) || (p1 == cQuote && (p2 == cBlank || IsOeffnend(p2)));
            };
            int zusatz;
            if (pending != zNichts)
                zusatz = pending;
            else if (next == cDash)
                zusatz = zStrich;
            else if (prev == cBlank && endetFrei(next, next2))
                zusatz = zGedankenstrichAnfuehrung;
            else if (next == cBlank && beginntFrei(prev, prev2))
                zusatz = zGedankenstrichAnfuehrung;
            else if (innenS)
                zusatz = zBindestrich;
            else if (prev == cBlank && IsZiffer(next))
                zusatz = zMinus;
            else
                zusatz = zWortersatzAusfuehrung;
            beginne(c, wtStrich, zusatz);
            pending = zusatz;
        } else {
            textzeichen(c);
        }
    }
    if (teil.Typ != wtNone) AWortRec.Teile.append(teil);
}

QString TVorlage::GetWortStr(const TVorlageWortRec& AWortRec) {
    QString result;
    for (qsizetype k = 0; k < AWortRec.Teile.size(); ++k) {
        const TVorlageWortTeileRec& t = AWortRec.Teile.at(k);
        result += QStringLiteral("%1.: \"%2\" | Typ: %3 | Flag: %4\r\n")
                      .arg(k + 1)
                      .arg(t.Text, TypName(t.Typ), ZusatzName(t.Zusatz));
    }
    return result;
}
