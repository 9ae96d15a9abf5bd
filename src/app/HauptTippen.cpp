// Typing and the line check: every key that reaches the two panes.

#include "Haupt.h"

#include "DatenC.h"
#include "EinstellungenC.h"
#include "TextPane.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLocale>

namespace {
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

void TForm1::MemosKeyPress(TTextPane* ASender, QChar& AKey) {
    const QChar key = AKey;
    if (Memo2->ReadOnly()) {
        AKey = QChar();
        Beep();
        return;
    }
    Memo2->SetSelStart(static_cast<int>(GeschriebenText.size()));
    QString t0 = GeschriebenText;
    bool falschEnterS = false;
    const std::optional<TDateiRec> paar = AktuellesPaar();
    const QString b = paar ? paar->B : QString();

    if (key.unicode() == 13) {
        AKey = QChar();
        if (GeschriebenText.isEmpty()) {
            Beep();
        } else if (!paar) {
            // No pair to compare with (the file choice was cancelled): the line has ended.
            Beep();
        } else {
            const QString getippt = GeschriebenText;
            if (EingabePruefen()) {
                Ton(sRichtig, true);
                ProtokollSchreiben(ptRichtig);
                SetAktivNr(AktivNr() + 1);
            } else {
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
                falschEnterS = true;
            }
            t0 = GeschriebenText;
        }
    } else if (key.unicode() == 8) {
        AKey = QChar();
        if (!Einstellungen->KorrekturS || ASender == Memo1 || GeschriebenText.isEmpty()) {
            Beep();
        } else if (Modus() == mUeberschreiben) {
            Ton(sTyping, false);
            const int pos = static_cast<int>(GeschriebenText.size()) - 1;
            const TPaneAenderung aenderung(Memo2);
            Memo2->SetSelStart(pos);
            Memo2->SetSelLength(1);
            const QString zurueck = pos < b.size() ? QString(b.at(pos)) : QString();
            Memo2->SetSelText(zurueck);
            if (!zurueck.isEmpty()) {
                Memo2->SetSelStart(pos);
                Memo2->SetSelLength(1);
                Memo2->SetSelUnderline(true);
            }
            GeschriebenText.chop(1);
            Memo2->SetSelStart(static_cast<int>(GeschriebenText.size()));
        } else {
            Ton(sTyping, false);
            GeschriebenText.chop(1);
            const TPaneAenderung aenderung(Memo2);
            Memo2->SetSelStart(static_cast<int>(GeschriebenText.size()));
            Memo2->SetSelLength(1);
            Memo2->SetSelText(QString());
        }
    } else if (key.unicode() < 32) {
        AKey = QChar();
    } else if (ASender == Memo1) {
        AKey = QChar();
        Ton(sTyping, false);
        const TPaneAenderung aenderung(Memo2);
        Memo2->setFocus();
        TippenUeberschreiben(key);
    } else if (Modus() == mNachtippen) {
        AKey = QChar();
        GeschriebenText += key;
        Ton(sTyping, false);
        const TPaneAenderung aenderung(Memo2);
        Memo2->SetSelText(QString(key));
    } else {
        AKey = QChar();
        Ton(sTyping, false);
        const TPaneAenderung aenderung(Memo2);
        TippenUeberschreiben(key);
    }

    if (!GeschriebenText.isEmpty() && Modus() == mNachtippen && Einstellungen->TextVerschwindenS &&
        Memo1->TextLength() > 0)
        Memo1->SetText(QString());
    if (GeschriebenText != t0 || falschEnterS) {
        if (const auto p = AktuellesPaar()) SprechenText = Modus() == mNachtippen ? p->A : p->B;
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
