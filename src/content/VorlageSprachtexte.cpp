// What is spoken for the words of a split text, and the speech chunks that
// end where a speaker would pause.

#include "VorlageC.h"

#include <QLocale>

#include <algorithm>

namespace {

// Numbers of the "4=" texts.
constexpr int soVerbindung = 1;
constexpr int soZahl = 2;
constexpr int soEnde = 3;
constexpr int soKlein = 4;
constexpr int soGross = 5;
constexpr int soGrossbuchstaben = 6;

// Numbers of the "3=" texts.
constexpr int akAkut = 1;
constexpr int akGravis = 2;
constexpr int akZirkumflex = 3;

const QChar cEszett(u'ß');

// Letters are told apart by the platform's own case mapping; the locale's
// would turn a Turkish user's I into a letter outside the classes.
QChar LowerChar(QChar c) {
    return c.toLower();
}

QString Lower(const QString& S) {
    return QLocale().toLower(S);
}

// Pieces are joined by one blank; an empty word of the character speech
// texts leaves no gap behind.
bool NurLeer(QStringView S) {
    return std::all_of(S.begin(), S.end(), [](QChar c) { return c.unicode() <= 32; });
}

void Anhaengen(QString& AZiel, const QString& AStueck) {
    if (NurLeer(AStueck)) return;
    if (!AZiel.isEmpty()) AZiel += QLatin1Char(' ');
    AZiel += AStueck;
}

// The base letter and accent number of an accented vowel, or 0.
int Akzent(QChar ALower, QChar& ABasis) {
    static const QStringView grave(u"àèìòù"), akut(u"áéíóú"), zirkumflex(u"âêîôû");
    static const QStringView basis(u"aeiou");
    qsizetype k;
    if ((k = akut.indexOf(ALower)) >= 0) {
        ABasis = basis.at(k);
        return akAkut;
    }
    if ((k = grave.indexOf(ALower)) >= 0) {
        ABasis = basis.at(k);
        return akGravis;
    }
    if ((k = zirkumflex.indexOf(ALower)) >= 0) {
        ABasis = basis.at(k);
        return akZirkumflex;
    }
    return 0;
}

// Every leading zero except a final digit is followed by a blank, so that
// 007 is said as "0 0 7" and not as seven. Built in one pass: inserting the
// blanks one by one made a line of many zeros take seconds.
QString SeparateLeadingZeros(const QString& S) {
    qsizetype nullen = 0;
    while (nullen + 1 < S.size() && S.at(nullen) == u'0')
        ++nullen;
    if (nullen == 0) return S;
    QString result;
    result.reserve(S.size() + nullen);
    for (qsizetype i = 0; i < nullen; ++i)
        result += QStringLiteral("0 ");
    result += QStringView(S).mid(nullen);
    return result;
}

// Words as typed and shown: tab, line feed, carriage return and blank separate them.
QStringList Woerter(const QString& S) {
    QStringList result;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= S.size(); ++i) {
        const bool trennerS = i == S.size() || QStringView(u"\t\n\r ").contains(S.at(i));
        if (!trennerS && start < 0)
            start = i;
        else if (trennerS && start >= 0) {
            result.append(S.mid(start, i - start));
            start = -1;
        }
    }
    return result;
}

} // namespace

TVorlageSprachtextTyp GetSprachtextTyp(QChar c) {
    if (c >= u'0' && c <= u'9') return stZahlen;
    if (QStringView(u"!',.:;?").contains(c)) return stSatzzeichen;
    if (c.unicode() <= 0xFF) {
        const QChar lower = LowerChar(c);
        if ((lower >= u'a' && lower <= u'z') || QStringView(u"ßàáâäèéêìíîòóôöùúûü").contains(lower))
            return stTextzeichen;
    }
    return stSonder;
}

void TVorlage::BuildSprachtexte() {
    bool colonS = false;
    for (TVorlageWortRec& wort : Wort) {
        QString sprache;
        for (const TVorlageWortTeileRec& teil : std::as_const(wort.Teile)) {
            switch (teil.Typ) {
            case wtZeilenschaltung:
                colonS = false;
                Anhaengen(sprache, FSpracheCharText->GetZeilenschaltung(1));
                break;
            case wtLeerzeile:
                colonS = false;
                Anhaengen(sprache, FSpracheCharText->GetLeerzeile(1));
                break;
            case wtText:
                SplitTextPart(teil.Text);
                Anhaengen(sprache, SpeakTextPart(colonS));
                colonS = false;
                break;
            case wtSatzzeichen:
                colonS = teil.Text.contains(QLatin1Char(':'));
                Anhaengen(sprache, FSpracheCharText->FindCharStr(teil.Text, teil.Zusatz));
                break;
            case wtStrich:
                colonS = false;
                Anhaengen(sprache, FSpracheCharText->FindCharStr(teil.Text, teil.Zusatz));
                break;
            case wtGrenze:
                Anhaengen(sprache, FSpracheCharText->FindCharStr(teil.Text, teil.Zusatz));
                break;
            case wtNone:
                break;
            }
        }
        wort.Sprachtext = TrimRightControl(sprache);
    }
}

void TVorlage::SplitTextPart(const QString& A) {
    Sprachtext.clear();
    int value = 0;
    if (TryStrToInt32(A, value) && value >= 0) {
        AddSprachtext({A, stZahlen});
        return;
    }
    TVorlageSprachtextRec lauf;
    for (qsizetype i = 0; i < A.size(); ++i) {
        const QChar c = A.at(i);
        const TVorlageSprachtextTyp typ = GetSprachtextTyp(c);
        // 3,5 and 1.000 are one number, not a number, a comma and a number.
        const bool inZahlS = lauf.Typ == stZahlen && (c == u',' || c == u'.') && i + 1 < A.size() &&
                             GetSprachtextTyp(A.at(i + 1)) == stZahlen;
        if (typ == lauf.Typ || inZahlS) {
            lauf.Text += c;
            continue;
        }
        if (lauf.Typ != stNone) AddSprachtext(lauf);
        lauf = TVorlageSprachtextRec{QString(c), typ};
    }
    if (lauf.Typ != stNone) AddSprachtext(lauf);
}

void TVorlage::AddSprachtext(TVorlageSprachtextRec ARec) {
    if (NurLeer(ARec.Text)) return;
    if (ARec.Typ == stZahlen) ARec.Text = SeparateLeadingZeros(ARec.Text);
    Sprachtext.append(ARec);
}

QString TVorlage::SpeakTextPart(bool AColonS) const {
    QString result;
    for (qsizetype i = 0; i < Sprachtext.size(); ++i) {
        const TVorlageSprachtextRec& teil = Sprachtext.at(i);
        if (i > 0 && teil.Typ != stSatzzeichen && !NurLeer(teil.Text))
            Anhaengen(result, FSpracheCharText->GetSonstiges(soVerbindung));
        switch (teil.Typ) {
        case stTextzeichen:
            Anhaengen(result, SpeakLetters(teil.Text, AColonS));
            break;
        case stZahlen:
            // The digits themselves: the synthesizer reads them as a number.
            Anhaengen(result, FSpracheCharText->GetSonstiges(soZahl));
            Anhaengen(result, teil.Text);
            break;
        case stSatzzeichen:
        case stSonder:
            Anhaengen(result, FSpracheCharText->FindCharStr(teil.Text, 0));
            break;
        case stNone:
            break;
        }
    }
    return TrimRightControl(result);
}

QString TVorlage::Buchstabiert(const QString& AWort) const {
    QString result;
    for (const QChar c : AWort) {
        if (c.isLetter()) {
            Anhaengen(result, CaseMarker(c));
            Anhaengen(result, SpeakChar(c));
        } else {
            const QString name = FSpracheCharText->FindCharStr(QString(c), 0);
            Anhaengen(result, name.isEmpty() ? QString(c) : name);
        }
    }
    return TrimRightControl(result);
}

QString TVorlage::CaseMarker(QChar c) const {
    if (!c.isLower()) return FSpracheCharText->GetSonstiges(soGross);
    if (c == cEszett) return QString();
    return FSpracheCharText->GetSonstiges(soKlein);
}

QString TVorlage::SpeakLetters(const QString& T, bool AColonS) const {
    QString result;
    if (T.size() == 1) {
        Anhaengen(result, CaseMarker(T.at(0)));
        Anhaengen(result, SpeakChar(T.at(0)));
        return result;
    }
    bool grossNachErstemS = false;
    bool kleinS = false;
    for (qsizetype i = 0; i < T.size(); ++i) {
        if (i > 0 && T.at(i).isUpper()) grossNachErstemS = true;
        if (T.at(i).isLower()) kleinS = true;
    }
    if (!grossNachErstemS) {
        // An ordinary word is pronounced as a word; after a colon its case is
        // not obvious from the grammar, so it is said.
        if (AColonS) Anhaengen(result, CaseMarker(T.at(0)));
        Anhaengen(result, T);
        for (const QChar c : T) {
            QChar basis;
            if (Akzent(LowerChar(c), basis) != 0) Anhaengen(result, SpeakChar(c));
        }
        return result;
    }
    if (!kleinS) {
        Anhaengen(result, FSpracheCharText->GetSonstiges(soGrossbuchstaben));
        for (const QChar c : T)
            Anhaengen(result, SpeakChar(c));
        Anhaengen(result, FSpracheCharText->GetSonstiges(soEnde));
        return result;
    }
    for (const QChar c : T) {
        Anhaengen(result, CaseMarker(c));
        Anhaengen(result, SpeakChar(c));
    }
    Anhaengen(result, FSpracheCharText->GetSonstiges(soEnde));
    return result;
}

QString TVorlage::SpeakChar(QChar c) const {
    const QChar lower = LowerChar(c);
    if (lower == cEszett) {
        const QString name = FSpracheCharText->FindCharStr(QString(c), 0);
        return name.isEmpty() ? QString(c) : name;
    }
    QChar basis;
    if (const int akzent = Akzent(lower, basis); akzent != 0) {
        QString result(basis);
        Anhaengen(result, FSpracheCharText->GetAkzent(akzent));
        return result;
    }
    return QString(c);
}

void TVorlage::BuildSprichSl() {
    SprichSl.clear();
    Textwoerter.clear();
    QString sprache, gezeigt;
    int start = 0;
    auto abschliessen = [&]() {
        const QString sprich = TrimControl(sprache);
        if (!sprich.isEmpty()) {
            TSprichSlRec rec{gezeigt, sprich, start, static_cast<int>(gezeigt.size())};
            if (rec.TextNormal.endsWith(QLatin1Char(' '))) {
                rec.TextNormal.chop(1);
                --rec.ReSelLength;
            }
            SprichSl.append(rec);
        }
        sprache.clear();
        gezeigt.clear();
    };
    const qsizetype n = Wort.size();
    for (qsizetype i = 0; i < n; ++i) {
        const TVorlageWortRec& wort = Wort.at(i);
        Anhaengen(sprache, wort.Sprachtext);
        bool umbruchS = false;
        for (const TVorlageWortTeileRec& teil : wort.Teile) {
            gezeigt += teil.Text;
            umbruchS = umbruchS || teil.Typ == wtZeilenschaltung || teil.Typ == wtLeerzeile;
        }
        if (i + 1 < n && wort.ReSelStart + wort.ReSelLength < Wort.at(i + 1).ReSelStart)
            gezeigt += QLatin1Char(' ');
        // A run of pause words (a sentence end and the line break after it)
        // stays in one chunk.
        if (i > 0 && i + 1 < n && wort.PauseS && (!Wort.at(i + 1).PauseS || umbruchS)) {
            abschliessen();
            start = Wort.at(i + 1).ReSelStart;
        }
    }
    abschliessen();

    for (qsizetype e = 0; e < SprichSl.size(); ++e) {
        const QStringList woerter = Woerter(SprichSl.at(e).TextNormal);
        for (qsizetype j = 0; j < woerter.size(); ++j)
            Textwoerter.append({Lower(woerter.at(j)), {static_cast<int>(e + 1), static_cast<int>(j + 1)}});
    }
}

QString TVorlage::GetSprichSlStr() const {
    QString result;
    for (const TSprichSlRec& rec : SprichSl) {
        result += rec.TextSprich;
        result += QLatin1Char(' ');
    }
    return TrimRightControl(result);
}

QString TVorlage::GetSprichSlStr(int Nr) const {
    if (Nr < 0 || Nr >= SprichSl.size()) return QString();
    QString result;
    for (int i = 0; i <= Nr; ++i) {
        const TSprichSlRec& rec = SprichSl.at(i);
        result += rec.TextNormal;
        if (i < Nr && rec.ReSelStart + rec.ReSelLength < SprichSl.at(i + 1).ReSelStart)
            result += QLatin1Char(' ');
    }
    return result;
}

TVoiceBenutzerPos TVorlage::GetVoiceBenutzerPos(const QString& S) const {
    const QStringList getippt = Woerter(S);
    if (getippt.isEmpty() || Textwoerter.isEmpty()) return {};
    const qsizetype anzahl = Textwoerter.size();
    qsizetype i = 0;
    for (qsizetype t = 0; t < getippt.size(); ++t) {
        const QString w = Lower(getippt.at(t));
        const qsizetype last = std::min(i + 9, anzahl - 1);
        qsizetype gefunden = -1;
        for (qsizetype k = i; k <= last; ++k) {
            if (Textwoerter.at(k).Wort == w) {
                gefunden = k;
                break;
            }
        }
        i = gefunden >= 0 ? gefunden + 1 : i + 1;
        if (i >= anzahl) return Textwoerter.last().Pos;
    }
    return Textwoerter.at(i - 1).Pos;
}
