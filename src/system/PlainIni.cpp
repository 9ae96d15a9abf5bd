#include "PlainIni.h"

#include "SaveFileChecked.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>
#include <cstring>

namespace {

bool IsHexDigit(char AC) {
    return (AC >= '0' && AC <= '9') || (AC >= 'a' && AC <= 'f') || (AC >= 'A' && AC <= 'F');
}

// The escapes that stand for one character each ("\n" for a line feed, ...),
// at the same places in both strings; "?" and "'" are only ever read.
constexpr char EinfacheFolgen[] = "abfnrtv\"\\?'";
constexpr char Zeichen[] = "\a\b\f\n\r\t\v\"\\?'";

int HexValue(char AC) {
    if (AC >= '0' && AC <= '9') return AC - '0';
    if (AC >= 'a' && AC <= 'f') return AC - 'a' + 10;
    return AC - 'A' + 10;
}

// One logical entry of the file: what stands up to the end of the line,
// where a line break inside quotes or after a backslash belongs to the entry
// and a ";" outside quotes starts a comment. False when a quote is left open.
bool NextEntry(const QByteArray& AData, qsizetype& APos, QByteArray& AEntry) {
    AEntry.clear();
    bool inQuotesS = false;
    while (APos < AData.size()) {
        const char c = AData.at(APos++);
        if (c == '\\' && APos < AData.size()) {
            AEntry += c;
            AEntry += AData.at(APos++);
            continue;
        }
        if (c == '"') inQuotesS = !inQuotesS;
        if (!inQuotesS && (c == '\n' || c == '\r')) return true;
        if (!inQuotesS && c == ';') {
            while (APos < AData.size() && AData.at(APos) != '\n' && AData.at(APos) != '\r')
                ++APos;
            return true;
        }
        AEntry += c;
    }
    return !inQuotesS;
}

QString Utf8(QByteArrayView ABytes) {
    return QString::fromUtf8(ABytes);
}

void ChopTrailingBlanks(QString& AText, qsizetype ALimit) {
    while (AText.size() > ALimit && (AText.back() == QLatin1Char(' ') || AText.back() == QLatin1Char('\t')))
        AText.chop(1);
}

// A value as QSettings' INI files spell it: quotes, backslash escapes and
// commas that make a list. The result is a QString, a QStringList or, for a
// serialised form, the raw bytes.
QVariant ParseValue(QByteArrayView ARaw) {
    QByteArrayView raw = ARaw.trimmed();
    if (raw.startsWith("@") && !raw.startsWith("@@")) return QByteArray(raw.data(), raw.size());

    QStringList liste;
    bool listeS = false;
    QString text;
    bool quotedS = false;
    bool inQuotesS = false;
    qsizetype chopLimit = 0;
    qsizetype i = 0;
    auto ueberspringeLeer = [&] {
        while (i < raw.size() && (raw.at(i) == ' ' || raw.at(i) == '\t'))
            ++i;
    };
    while (i < raw.size()) {
        const char c = raw.at(i);
        if (c == '\\') {
            ++i;
            if (i >= raw.size()) break;
            const char e = raw.at(i++);
            if (const char* k = std::strchr(EinfacheFolgen, e); e && k) {
                text += QLatin1Char(Zeichen[k - EinfacheFolgen]);
                chopLimit = text.size();
                continue;
            }
            switch (e) {
            case 'x': {
                char16_t wert = 0;
                while (i < raw.size() && IsHexDigit(raw.at(i)))
                    wert = char16_t((wert << 4) | HexValue(raw.at(i++)));
                text += QChar(wert);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    char16_t wert = char16_t(e - '0');
                    while (i < raw.size() && raw.at(i) >= '0' && raw.at(i) <= '7')
                        wert = char16_t((wert << 3) | (raw.at(i++) - '0'));
                    text += QChar(wert);
                } else if (e == '\r' || e == '\n') {
                    // a continued line
                    if (i < raw.size() && (raw.at(i) == '\r' || raw.at(i) == '\n') && raw.at(i) != e) ++i;
                }
                break;
            }
            chopLimit = text.size();
            continue;
        }
        if (c == '"') {
            ++i;
            quotedS = true;
            inQuotesS = !inQuotesS;
            if (!inQuotesS) ueberspringeLeer();
            continue;
        }
        if (c == ',' && !inQuotesS) {
            if (!quotedS) ChopTrailingBlanks(text, chopLimit);
            listeS = true;
            liste << text;
            text.clear();
            chopLimit = 0;
            quotedS = false;
            ++i;
            ueberspringeLeer();
            continue;
        }
        qsizetype j = i + 1;
        while (j < raw.size() && raw.at(j) != '\\' && raw.at(j) != '"' && raw.at(j) != ',')
            ++j;
        text += Utf8(raw.sliced(i, j - i));
        i = j;
    }
    if (!quotedS) ChopTrailingBlanks(text, chopLimit);
    auto entfalte = [](QString AText) {
        // "@@..." is how a text that starts with "@" is written.
        if (AText.startsWith(QLatin1String("@@"))) AText.remove(0, 1);
        return AText;
    };
    if (!listeS) return entfalte(text);
    liste << text;
    for (QString& t : liste)
        t = entfalte(t);
    return liste;
}

// Keys are written with "%XX" and "%UXXXX" for every character beyond
// letters, digits, "-", "_" and ".", and "\" for "/".
QString ParseKey(QByteArrayView ARaw) {
    QString key;
    for (qsizetype i = 0; i < ARaw.size(); ++i) {
        const char c = ARaw.at(i);
        if (c == '\\') {
            key += QLatin1Char('/');
        } else if (c == '%' && i + 5 < ARaw.size() && ARaw.at(i + 1) == 'U') {
            bool okS = false;
            const uint wert = ARaw.sliced(i + 2, 4).toByteArray().toUInt(&okS, 16);
            if (!okS) return QString();
            key += QChar(char16_t(wert));
            i += 5;
        } else if (c == '%' && i + 2 < ARaw.size() && IsHexDigit(ARaw.at(i + 1)) &&
                   IsHexDigit(ARaw.at(i + 2))) {
            key += QChar(char16_t(HexValue(ARaw.at(i + 1)) * 16 + HexValue(ARaw.at(i + 2))));
            i += 2;
        } else {
            key += QLatin1Char(c);
        }
    }
    return key;
}

void FormatKey(const QString& AKey, QByteArray& AOut) {
    for (QChar ch : AKey) {
        const char16_t c = ch.unicode();
        if (c == u'/') {
            AOut += '\\';
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
                   c == u'_' || c == u'-' || c == u'.') {
            AOut += char(c);
        } else if (c <= 0xFF) {
            AOut += '%' + QByteArray::number(uint(c), 16).rightJustified(2, '0').toUpper();
        } else {
            AOut += "%U" + QByteArray::number(uint(c), 16).rightJustified(4, '0').toUpper();
        }
    }
}

void FormatText(const QString& AText, QByteArray& AOut) {
    const qsizetype start = AOut.size();
    bool quotesS = false;
    bool escapeNextIfDigitS = false;
    const QByteArray utf8 = AText.toUtf8();
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8.at(i));
        if (c == ';' || c == ',' || c == '=') quotesS = true;
        if (escapeNextIfDigitS && IsHexDigit(char(c))) {
            AOut += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeNextIfDigitS = false;
        switch (c) {
        case '\0':
            AOut += "\\0";
            escapeNextIfDigitS = true;
            break;
        case '\a':
        case '\b':
        case '\f':
        case '\n':
        case '\r':
        case '\t':
        case '\v':
        case '"':
        case '\\':
            AOut += '\\';
            AOut += EinfacheFolgen[std::strchr(Zeichen, char(c)) - Zeichen];
            break;
        default:
            if (c <= 0x1F) {
                AOut += "\\x" + QByteArray::number(c, 16);
                escapeNextIfDigitS = true;
            } else {
                AOut += char(c);
            }
        }
    }
    if (quotesS || (start < AOut.size() && (AOut.at(start) == ' ' || AOut.back() == ' '))) {
        AOut.insert(start, '"');
        AOut += '"';
    }
}

void FormatValue(const QVariant& AValue, QByteArray& AOut) {
    if (IsRawIniValue(AValue)) {
        AOut += AValue.toByteArray();
        return;
    }
    auto text = [](QString AText) {
        if (AText.startsWith(QLatin1Char('@'))) AText.prepend(QLatin1Char('@'));
        return AText;
    };
    if (AValue.typeId() == QMetaType::QStringList || AValue.typeId() == QMetaType::QVariantList) {
        const QStringList liste = AValue.toStringList();
        if (liste.isEmpty()) {
            AOut += "@Invalid()";
            return;
        }
        for (qsizetype i = 0; i < liste.size(); ++i) {
            if (i > 0) AOut += ", ";
            FormatText(text(liste.at(i)), AOut);
        }
        return;
    }
    if (!AValue.isValid()) {
        AOut += "@Invalid()";
        return;
    }
    FormatText(text(AValue.toString()), AOut);
}

bool ReadStore(QIODevice& ADevice, QSettings::SettingsMap& AMap) {
    return ParsePlainIni(ADevice.readAll(), AMap);
}

bool WriteStore(QIODevice& ADevice, const QSettings::SettingsMap& AMap) {
    // A damaged file is about to be replaced: what it held is kept beside it.
    if (const auto* datei = qobject_cast<QFileDevice*>(&ADevice)) {
        QFile alt(datei->fileName());
        if (alt.exists() && alt.open(QIODevice::ReadOnly)) {
            const QByteArray inhalt = alt.readAll();
            QSettings::SettingsMap egal;
            if (!ParsePlainIni(inhalt, egal) && SaveFileChecked(DamagedStoreFile(datei->fileName()),
                                                                inhalt) != TSpeicherErgebnis::Gespeichert)
                return false;
        }
    }
    const QByteArray text = FormatPlainIni(AMap);
    if (ADevice.write(text) != text.size()) return false;
    // The file is only put in place when everything reached the disk.
    auto* datei = qobject_cast<QFileDevice*>(&ADevice);
    return !datei || datei->flush();
}

} // namespace

bool SyncStore(QSettings& AStore) {
    AStore.sync();
    if (AStore.status() == QSettings::NoError) return true;
    if (AStore.status() != QSettings::FormatError) return false;
    QFile f(AStore.fileName());
    if (!f.open(QIODevice::ReadOnly)) return false;
    QSettings::SettingsMap egal;
    return ParsePlainIni(f.readAll(), egal);
}

bool IsRawIniValue(const QVariant& AValue) {
    return AValue.typeId() == QMetaType::QByteArray;
}

bool ParsePlainIni(const QByteArray& AData, QSettings::SettingsMap& AMap) {
    AMap.clear();
    // Text only: a settings file never holds control characters or bytes that
    // are no UTF-8.
    QStringDecoder pruefer(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString alles = pruefer.decode(AData);
    if (pruefer.hasError()) return false;
    for (QChar c : alles)
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') return false;

    QString abschnitt;
    qsizetype pos = 0;
    if (AData.startsWith("\xEF\xBB\xBF")) pos = 3;
    QByteArray eintrag;
    while (pos < AData.size()) {
        if (!NextEntry(AData, pos, eintrag)) {
            AMap.clear();
            return false;
        }
        const QByteArrayView zeile = QByteArrayView(eintrag).trimmed();
        if (zeile.isEmpty()) continue;
        if (zeile.startsWith('[')) {
            if (!zeile.endsWith(']')) {
                AMap.clear();
                return false;
            }
            abschnitt = ParseKey(zeile.sliced(1, zeile.size() - 2).trimmed());
            if (abschnitt.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) abschnitt.clear();
            // "%General" is how a group named "General" is written.
            if (abschnitt == QLatin1String("%General")) abschnitt = QStringLiteral("General");
            continue;
        }
        const qsizetype gleich = zeile.indexOf('=');
        const QString key = gleich > 0 ? ParseKey(zeile.first(gleich).trimmed()) : QString();
        if (key.isEmpty()) {
            AMap.clear();
            return false;
        }
        const QString voll = abschnitt.isEmpty() ? key : abschnitt + QLatin1Char('/') + key;
        // A key given twice takes its last value, as with QSettings' own reader.
        AMap.insert(voll, ParseValue(zeile.sliced(gleich + 1)));
    }
    return true;
}

QByteArray FormatPlainIni(const QSettings::SettingsMap& AMap) {
    // Top-level keys in [General], every group in a section of its own.
    QMap<QString, QList<std::pair<QString, QVariant>>> abschnitte;
    for (auto it = AMap.cbegin(); it != AMap.cend(); ++it) {
        const qsizetype strich = it.key().indexOf(QLatin1Char('/'));
        const QString abschnitt = strich > 0 ? it.key().left(strich) : QString();
        abschnitte[abschnitt].append({strich > 0 ? it.key().mid(strich + 1) : it.key(), it.value()});
    }
    QByteArray text;
    for (auto it = abschnitte.cbegin(); it != abschnitte.cend(); ++it) {
        if (!text.isEmpty()) text += '\n';
        text += '[';
        if (it.key().isEmpty())
            text += "General";
        else if (it.key() == QLatin1String("General"))
            text += "%General";
        else
            FormatKey(it.key(), text);
        text += "]\n";
        for (const auto& [key, wert] : it.value()) {
            FormatKey(key, text);
            text += '=';
            FormatValue(wert, text);
            text += '\n';
        }
    }
    return text;
}

QString DamagedStoreFile(const QString& AStoreFile) {
    return AStoreFile + QStringLiteral(".defekt");
}

QSettings::Format PlainIniFormat() {
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("conf"), ReadStore, WriteStore);
    return format;
}

std::unique_ptr<QSettings> UserStore(const QString& AOrganisation, const QString& AApplication) {
    auto store =
        std::make_unique<QSettings>(PlainIniFormat(), QSettings::UserScope, AOrganisation, AApplication);
    // Only the current user's values count, as with a registry key.
    store->setFallbacksEnabled(false);
    return store;
}
