#include "BuchstabierenC.h"

#include "SpracheCharTextC.h"

#include <QHash>
#include <QLocale>

namespace {

// Lowercase letters are missing on purpose: the text is put in capitals first.
constexpr QStringView cWiederholungsAlphabet =
    u" ABCDEFGHIJKLMNOPQRSTUVWXYZÖÄÜß<>|@\\~{}[],;.:-_#'+*!\"§$%&/()=?";

constexpr int cMaxLauf = 9; // the count is spoken as one digit

const QHash<char16_t, QString>& BuchstabierAlphabet() {
    static const QHash<char16_t, QString> alphabet{
        {u' ', QStringLiteral("Leer ")},
        {u'!', QStringLiteral("Rufzeichen ")},
        {u'"', QStringLiteral("Anführung ")},
        {u'#', QStringLiteral("Raute ")},
        {u'$', QStringLiteral("Dollar ")},
        {u'%', QStringLiteral("Prozent ")},
        {u'&', QStringLiteral("Kaufmännisches Und ")},
        {u'\'', QStringLiteral("Apostroph ")},
        {u'(', QStringLiteral("Klammer auf ")},
        {u')', QStringLiteral("Klammer zu ")},
        {u'*', QStringLiteral("Stern ")},
        {u'+', QStringLiteral("Plus ")},
        {u',', QStringLiteral("Komma ")},
        {u'-', QStringLiteral("Bindestrich ")},
        {u'.', QStringLiteral("Punkt ")},
        {u'/', QStringLiteral("Schrägstrich ")},
        {u':', QStringLiteral("Doppelpunkt ")},
        {u';', QStringLiteral("Strichpunkt ")},
        {u'<', QStringLiteral("Kleiner als ")},
        {u'=', QStringLiteral("Ist gleich ")},
        {u'>', QStringLiteral("Größer als ")},
        {u'?', QStringLiteral("Fragezeichen ")},
        {u'@', QStringLiteral("Klammeraffe ")},
        {u'[', QStringLiteral("Eckige Klammer auf ")},
        {u'\\', QStringLiteral("Backslash ")},
        {u']', QStringLiteral("Eckige Klammer zu ")},
        {u'_', QStringLiteral("Unterstrich ")},
        {u'{', QStringLiteral("Geschweifte Klammer auf ")},
        {u'|', QStringLiteral("Verkettung ")},
        {u'}', QStringLiteral("Geschweifte Klammer zu ")},
        {u'~', QStringLiteral("Tilde ")},
        {u'A', QStringLiteral("Anton ")},
        {u'B', QStringLiteral("Berta ")},
        {u'C', QStringLiteral("Cäsa ")},
        {u'D', QStringLiteral("Dora ")},
        {u'E', QStringLiteral("Emil ")},
        {u'F', QStringLiteral("Friedrich ")},
        {u'G', QStringLiteral("Gustav ")},
        {u'H', QStringLiteral("Heinrich ")},
        {u'I', QStringLiteral("Ida ")},
        {u'J', QStringLiteral("Jürgen ")},
        {u'K', QStringLiteral("Konrad ")},
        {u'L', QStringLiteral("Ludwig ")},
        {u'M', QStringLiteral("Martha ")},
        {u'N', QStringLiteral("Nordpol ")},
        {u'O', QStringLiteral("Otto ")},
        {u'P', QStringLiteral("Paula ")},
        {u'Q', QStringLiteral("Q ")},
        {u'R', QStringLiteral("Richard ")},
        {u'S', QStringLiteral("Siegfried ")},
        {u'T', QStringLiteral("Theodor ")},
        {u'U', QStringLiteral("Ulrich ")},
        {u'V', QStringLiteral("Viktor ")},
        {u'W', QStringLiteral("Walter ")},
        {u'X', QStringLiteral("Xaver ")},
        {u'Y', QStringLiteral("Y ")},
        {u'Z', QStringLiteral("Zeppelin ")},
        {u'Ä', QStringLiteral("Umlaut A ")},
        {u'Ö', QStringLiteral("Österreich ")},
        {u'Ü', QStringLiteral("Übel ")},
        {u'ß', QStringLiteral("Scharfes s ")},
        {u'§', QStringLiteral("Paragraph ")},
    };
    return alphabet;
}

// Upper case by the user's locale, one character for one: ß has no single
// capital and stays as it is.
QString UpperKeepLength(const QString& AText) {
    const QLocale locale;
    QString result;
    result.reserve(AText.size());
    for (const QChar c : AText) {
        const QString upper = locale.toUpper(QString(c));
        result += upper.size() == 1 ? upper.at(0) : c;
    }
    return result;
}

} // namespace

QString GetWiederholungenText(const QString& S) {
    QString result;
    result.reserve(S.size());
    qsizetype i = 0;
    while (i < S.size()) {
        const QChar c = S.at(i);
        qsizetype e = i + 1;
        while (e < S.size() && S.at(e) == c)
            ++e;
        qsizetype lauf = e - i;
        if (lauf == 1 || !cWiederholungsAlphabet.contains(c)) {
            result += S.mid(i, lauf);
        } else {
            // Nine at a time, then the rest counted the same way, so that the
            // spoken counts always add up to the run.
            while (lauf > 0) {
                const qsizetype teil = std::min<qsizetype>(lauf, cMaxLauf);
                if (teil > 1) result += QChar(u'0' + static_cast<char16_t>(teil));
                result += c;
                lauf -= teil;
            }
        }
        i = e;
    }
    return result;
}

QString GetBuchstabierenText(const QString& AText) {
    const QString text = GetWiederholungenText(UpperKeepLength(AText));
    const QHash<char16_t, QString>& alphabet = BuchstabierAlphabet();
    QString result;
    result.reserve(text.size() * 8);
    for (const QChar c : text) {
        const auto it = alphabet.constFind(c.unicode());
        if (it != alphabet.constEnd()) {
            result += *it;
        } else {
            result += c;
            result += QLatin1Char(' ');
        }
    }
    return TrimRightControl(result);
}
