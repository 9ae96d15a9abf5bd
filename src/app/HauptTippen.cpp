// Typing and the line check: every key that reaches the two panes.

#include "Haupt.h"

#include "DatenC.h"
#include "EinstellungenC.h"
#include "TextPane.h"
#include "VorlageC.h"
#include "ZeilenErgebnisC.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLocale>

namespace {
constexpr QChar TasteEnter(13);
constexpr QChar TasteRueck(8);

bool IstLeerOderSteuer(QChar AC) {
    return AC == QLatin1Char(' ') || AC.unicode() < 32;
}

QString OhneEndeLeer(QString AText, bool ASteuerS) {
    while (!AText.isEmpty() &&
           (ASteuerS ? IstLeerOderSteuer(AText.back()) : AText.back() == QLatin1Char(' ')))
        AText.chop(1);
    return AText;
}
} // namespace

void TForm1::Memo1KeyDown(TTextPane*, int&, Qt::KeyboardModifiers) {
    NewCaret();
}

void TForm1::Memo2KeyDown(TTextPane*, int& AKey, Qt::KeyboardModifiers) {
    NewCaret();
    switch (AKey) {
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // The caret stays where the typed text ends.
        AKey = 0;
        break;
    default:
        break;
    }
}

// Every character key that reaches either pane ends here; none is inserted by
// the pane itself.
void TForm1::MemosKeyPress(TTextPane* ASender, QChar& AKey) {
    const QChar key = AKey;
    AKey = QChar();
    if (Memo2->ReadOnly()) {
        Beep();
        return;
    }
    Memo2->SetSelStart(static_cast<int>(GeschriebenText.size()));
    const QString vorher = GeschriebenText;
    bool falschS = false;
    if (key == TasteEnter)
        falschS = ZeileAbschliessen();
    else if (key == TasteRueck)
        ZeichenZuruecknehmen(ASender);
    else if (key.unicode() >= 32)
        ZeichenTippen(ASender, key);
    // other control characters are dropped

    if (!GeschriebenText.isEmpty() && Modus() == mNachtippen && Einstellungen->TextVerschwindenS &&
        Memo1->TextLength() > 0)
        Memo1->SetText(QString());
    // After Enter the line to say is set by the check; after a typed or taken
    // back character it is the whole line again.
    const bool geaendertS = key != TasteEnter && GeschriebenText != vorher;
    if (geaendertS || falschS) {
        if (const auto p = AktuellesPaar()) SprechenText = Modus() == mNachtippen ? p->A : p->B;
    }
}

// Enter checks the typed line: a right one brings the next line, a wrong one
// keeps the typed text up to its last right word. True for a wrong line.
bool TForm1::ZeileAbschliessen() {
    // Without a pair to compare with (the file choice was cancelled) the line has ended.
    if (GeschriebenText.isEmpty() || !AktuellesPaar()) {
        Beep();
        return false;
    }
    const QString getippt = GeschriebenText;
    const QString vorlage = AktuellesPaar()->B;
    auto ergebnis = [&] {
        return ZeilenErgebnisText(getippt, vorlage, GeschriebenText, Einstellungen->GrossKleinS,
                                  [this](const QString& AWort) { return Vorlage->Buchstabiert(AWort); });
    };
    const bool richtigS = EingabePruefen();
    Lauf.Eingabe(FDienste.Services.Clock->Now(), richtigS, static_cast<int>(vorlage.size()));
    ZeichenZaehlen(getippt, vorlage, richtigS, Einstellungen->GrossKleinS, LaufZeichen);
    if (richtigS) {
        Ton(sRichtig, true);
        ProtokollSchreiben(ptRichtig);
        const int naechste = AktivNr() + 1;
        SetAktivNr(naechste);
        // The last line's outcome is the finish dialog.
        if (Einstellungen->ErgebnisAnsagenS && AktivNr() == naechste) VorDerZeileSagen(ergebnis());
        return false;
    }
    Ton(sFalsch, true);
    ProtokollSchreiben(ptFalsch, getippt);
    SetFehler(Fehler() + 1);
    {
        const TPaneAenderung aenderung(Memo2);
        if (Modus() == mUeberschreiben) {
            // The rest of the line stands underlined again, as when the line came up.
            Memo2->SetText(GeschriebenText + SprechenText);
            Memo2->SetSelStart(static_cast<int>(GeschriebenText.size()));
            Memo2->SetSelLength(static_cast<int>(SprechenText.size()));
            Memo2->SetSelUnderline(true);
        } else {
            Memo2->SetText(GeschriebenText);
        }
        Memo2->SetSelStart(static_cast<int>(GeschriebenText.size()));
    }
    Memo2->setFocus();
    Timer1SprechenText->start();
    if (Einstellungen->ErgebnisAnsagenS) VorDerZeileSagen(ergebnis());
    return true;
}

// Backspace takes the last typed character back, if corrections are allowed;
// in overwrite mode the line's own character comes back underlined.
void TForm1::ZeichenZuruecknehmen(TTextPane* ASender) {
    if (!Einstellungen->KorrekturS || ASender == Memo1 || GeschriebenText.isEmpty()) {
        Beep();
        return;
    }
    Lauf.Taste(FDienste.Services.Clock->Now());
    Ton(sTyping, false);
    const TPaneAenderung aenderung(Memo2);
    const int pos = static_cast<int>(GeschriebenText.size()) - 1;
    GeschriebenText.chop(1);
    Memo2->SetSelStart(pos);
    Memo2->SetSelLength(1);
    if (Modus() != mUeberschreiben) {
        Memo2->SetSelText(QString());
        return;
    }
    const std::optional<TDateiRec> paar = AktuellesPaar();
    const QString zurueck = paar && pos < paar->B.size() ? QString(paar->B.at(pos)) : QString();
    Memo2->SetSelText(zurueck);
    if (!zurueck.isEmpty()) {
        Memo2->SetSelStart(pos);
        Memo2->SetSelLength(1);
        Memo2->SetSelUnderline(true);
    }
    Memo2->SetSelStart(pos);
}

// A letter that differs from the line's only in its case, typed while Caps
// Lock is on: the user is told once per line, a sighted user sees the
// capitals, a blind one would only hear the line go wrong.
void TForm1::FeststelltastePruefen(QChar AKey) {
    if (FFeststelltasteZeile == FZeilenZaehler || AKey.toUpper() == AKey.toLower()) return;
    const std::optional<TDateiRec> paar = AktuellesPaar();
    const qsizetype pos = GeschriebenText.size();
    if (!paar || pos >= paar->B.size()) return;
    const QChar soll = paar->B.at(pos);
    if (soll == AKey || soll.toLower() != AKey.toLower()) return;
    if (!FDienste.Services.Shell->FeststelltasteAn()) return;
    FFeststelltasteZeile = FZeilenZaehler;
    Hinweis(QStringLiteral("Feststelltaste ist eingeschaltet"));
}

// A printable character: typed into the typing pane, whichever pane had it.
void TForm1::ZeichenTippen(TTextPane* ASender, QChar AKey) {
    FeststelltastePruefen(AKey);
    Lauf.Taste(FDienste.Services.Clock->Now());
    Ton(sTyping, false);
    const TPaneAenderung aenderung(Memo2);
    if (ASender == Memo1) {
        Memo2->setFocus();
        TippenUeberschreiben(AKey);
    } else if (Modus() == mNachtippen) {
        GeschriebenText += AKey;
        Memo2->SetSelText(QString(AKey));
    } else {
        TippenUeberschreiben(AKey);
    }
}

// The typed character goes into the typing pane at the end of the typed text:
// over the next character of the line in overwrite mode (losing its
// underline), appended in type-after mode.
void TForm1::TippenUeberschreiben(QChar AKey) {
    const int pos = static_cast<int>(GeschriebenText.size());
    Memo2->SetSelStart(pos);
    if (Modus() == mUeberschreiben) Memo2->SetSelLength(1);
    Memo2->SetSelText(QString(AKey));
    Memo2->SetSelStart(pos);
    Memo2->SetSelLength(1);
    Memo2->SetSelUnderline(false);
    GeschriebenText += AKey;
    Memo2->SetSelStart(static_cast<int>(GeschriebenText.size()));
}

bool TForm1::EingabePruefen() {
    const std::optional<TDateiRec> paar = AktuellesPaar();
    if (!paar) return false;
    QString t = GeschriebenText;
    QString v = paar->B;
    if (!Einstellungen->GrossKleinS) {
        const QLocale locale;
        t = locale.toLower(t);
        v = locale.toLower(v);
    }
    if (t == v) {
        SprechenText.clear();
        return true;
    }
    int s = 0;
    QString kept;
    bool abweichungS = false;
    for (int i = 0; i < t.size(); ++i) {
        if (i >= v.size() || t.at(i) != v.at(i)) {
            kept = OhneEndeLeer(t.left(s), true);
            abweichungS = true;
            break;
        }
        if (t.at(i) == QLatin1Char(' ')) s = i + 1;
    }
    if (!abweichungS) {
        if (t.size() < v.size() && v.at(t.size()) == QLatin1Char(' '))
            kept = GeschriebenText;
        else
            kept = OhneEndeLeer(t.left(s), false);
    }
    GeschriebenText = kept;
    SprechenText = v.mid(kept.size());
    return false;
}

void TForm1::NewCaret() {
    if (!Einstellungen || !Einstellungen->BigCursorS) {
        for (TTextPane* m : {Memo1, Memo2})
            if (m->cursorWidth() != 1) m->setCursorWidth(1);
        return;
    }
    auto* pane = qobject_cast<TTextPane*>(QApplication::focusWidget());
    if (!pane || (pane != Memo1 && pane != Memo2)) return;
    const int pos = pane->textCursor().position();
    QChar next = pos < pane->TextLength() ? pane->document()->characterAt(pos) : QLatin1Char(' ');
    if (next == QChar::ParagraphSeparator || next == QLatin1Char('\n')) next = QLatin1Char(' ');
    // Measured with the pane's font: the block covers the character typed next.
    const QFontMetrics fm(pane->document()->defaultFont());
    const int w = std::max(fm.horizontalAdvance(next), 2);
    if (pane->cursorWidth() != w) pane->setCursorWidth(w);
    if (QApplication::cursorFlashTime() != 1000) QApplication::setCursorFlashTime(1000);
}
