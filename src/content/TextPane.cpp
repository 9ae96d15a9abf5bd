#include "TextPane.h"

#include "RtfRef.h"
#include "TextFile.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QSaveFile>
#include <QTextBlock>

namespace {
constexpr Qt::TextInteractionFlags NurLesen = Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse;

QString NormaliseBreaks(const QString& AText) {
    QString t = AText;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

// The character a key stands for, as the program's handlers expect it.
QChar KeyChar(const QKeyEvent* AEvent) {
    switch (AEvent->key()) {
    case Qt::Key_Backspace:
        return QChar(8);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(13);
    case Qt::Key_Escape:
        return QChar(27);
    case Qt::Key_Tab:
        return QChar(9);
    default:
        break;
    }
    // Ctrl with a letter is a control character, whatever text the platform
    // delivers with it (AltGr, which some platforms report as Ctrl+Alt, is not).
    const Qt::KeyboardModifiers m = AEvent->modifiers();
    if ((m & Qt::ControlModifier) && !(m & Qt::AltModifier) && AEvent->key() >= Qt::Key_A &&
        AEvent->key() <= Qt::Key_Z)
        return QChar(AEvent->key() - Qt::Key_A + 1);
    const QString t = AEvent->text();
    if (t.isEmpty()) return QChar();
    // Delete brings DEL as its text: that and the other controls above ASCII
    // are no typed characters, the pane handles them as keys.
    if (t.at(0).unicode() >= 127 && t.at(0).unicode() < 160) return QChar();
    return t.at(0);
}

} // namespace

TTextPane::TTextPane(QWidget* AParent) : QTextEdit(AParent) {
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
    setUndoRedoEnabled(false);
    connect(this, &QTextEdit::textChanged, this, [this] {
        if (OnChange) OnChange(this);
    });
}

QString TTextPane::Text() const {
    return toPlainText();
}

void TTextPane::SetText(const QString& AText) {
    // Through a cursor rather than setPlainText, so that an open update
    // bracket stays one edit and the formats are plain again.
    QTextCursor c(document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.setCharFormat(QTextCharFormat());
    c.insertText(NormaliseBreaks(AText), QTextCharFormat());
    c.select(QTextCursor::Document);
    c.setCharFormat(QTextCharFormat());
    c.endEditBlock();
    QTextCursor caret(document());
    caret.setCharFormat(QTextCharFormat());
    SetCursor(caret);
    if (!InUpdate()) setCurrentCharFormat(QTextCharFormat());
}

// Inside an update bracket the caret and selection are kept aside and given
// to the widget once at the end, so that a multi-step change moves the
// visible caret (and what a screen reader is told) only once.
QTextCursor TTextPane::Cursor() const {
    return InUpdate() ? FPendingCursor : textCursor();
}

void TTextPane::SetCursor(const QTextCursor& ACursor) {
    if (InUpdate())
        FPendingCursor = ACursor;
    else
        setTextCursor(ACursor);
}

int TTextPane::TextLength() const {
    return document()->characterCount() - 1;
}

void TTextPane::SetReadOnly(bool AReadOnlyS) {
    FReadOnlyS = AReadOnlyS;
    // A read-only QTextEdit drops its caret; keep it for keyboard users.
    // A typing pane stays editable for the toolkit (and so for a screen
    // reader); its keys are kept from editing in keyPressEvent instead.
    const bool gesperrtS = AReadOnlyS && !FTypingPaneS;
    setReadOnly(gesperrtS);
    setTextInteractionFlags(gesperrtS ? NurLesen : Qt::TextEditorInteraction);
}

void TTextPane::SetTypingPane(bool ATypingPaneS) {
    FTypingPaneS = ATypingPaneS;
    SetReadOnly(FReadOnlyS);
}

int TTextPane::SelStart() const {
    return Cursor().selectionStart();
}

int TTextPane::SelLength() const {
    const QTextCursor c = Cursor();
    return c.selectionEnd() - c.selectionStart();
}

void TTextPane::SetSelStart(int AStart) {
    QTextCursor c = Cursor();
    c.setPosition(std::clamp(AStart, 0, TextLength()));
    SetCursor(c);
}

void TTextPane::SetSelLength(int ALength) {
    QTextCursor c = Cursor();
    const int start = c.selectionStart();
    c.setPosition(start);
    c.setPosition(std::clamp(start + std::max(ALength, 0), 0, TextLength()), QTextCursor::KeepAnchor);
    SetCursor(c);
}

void TTextPane::SelectAllText() {
    QTextCursor c = Cursor();
    c.setPosition(0);
    c.setPosition(TextLength(), QTextCursor::KeepAnchor);
    SetCursor(c);
}

QString TTextPane::SelText() const {
    QString s = Cursor().selectedText();
    s.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return s;
}

void TTextPane::SetSelText(const QString& AText) {
    QTextCursor c = Cursor();
    // The new text takes the format of the text it replaces, or of the
    // character before the caret, as a rich edit control does.
    QTextCharFormat f;
    if (c.hasSelection()) {
        QTextCursor first(document());
        first.setPosition(c.selectionStart() + 1);
        f = first.charFormat();
    } else {
        f = c.charFormat();
    }
    c.insertText(NormaliseBreaks(AText), f);
    SetCursor(c);
}

void TTextPane::SetSelUnderline(bool AOnS) {
    QTextCursor c = Cursor();
    if (!c.hasSelection()) return;
    QTextCharFormat f;
    f.setUnderlineStyle(AOnS ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline);
    c.mergeCharFormat(f);
}

bool TTextPane::IsUnderlined(int APos) const {
    if (APos < 0 || APos >= TextLength()) return false;
    QTextCursor c(document());
    c.setPosition(APos + 1); // the format of the character before the position
    return c.charFormat().underlineStyle() != QTextCharFormat::NoUnderline;
}

void TTextPane::SetPaneFont(const QFont& AFont, const QColor& ABackground) {
    setFont(AFont);
    document()->setDefaultFont(AFont);
    QPalette p = palette();
    p.setColor(QPalette::Base, ABackground);
    setPalette(p);
}

void TTextPane::BeginUpdate() {
    if (FUpdateCount++ == 0) {
        FUpdateCursor = QTextCursor(document());
        FUpdateCursor.beginEditBlock();
        FPendingCursor = textCursor();
    }
}

void TTextPane::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0) {
        FUpdateCursor.endEditBlock();
        FUpdateCursor = QTextCursor();
        // the caret and selection move once, at the end
        setTextCursor(FPendingCursor);
        FPendingCursor = QTextCursor();
        // The document lays out and asks for the changed lines to be repainted
        // when the edit block closes; nothing is painted in between, so the
        // pane and its scroll bars are not repainted as a whole.
        ensureCursorVisible();
    }
}

void TTextPane::SetPopupMenu(QMenu* AMenu) {
    if (FPopupMenu) {
        for (QAction* a : FPopupMenu->actions())
            removeAction(a);
    }
    FPopupMenu = AMenu;
    if (!AMenu) return;
    for (QAction* a : AMenu->actions()) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
    }
}

bool TTextPane::LoadRtf(const QString& AFilename) {
    QFile f(AFilename);
    if (!f.open(QIODevice::ReadOnly)) return false;
    SetText(TRtfRef::RtfToText(f.readAll()));
    return true;
}

bool TTextPane::SaveRtf(const QString& AFilename, const QFont& AFont) const {
    QSaveFile f(AFilename);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(TRtfRef::TextToRtf(Text(), &AFont));
    return f.commit();
}

void TTextPane::keyPressEvent(QKeyEvent* AEvent) {
    int key = AEvent->key();
    if (OnKeyDown) {
        OnKeyDown(this, key, AEvent->modifiers());
        if (key == 0) {
            AEvent->accept();
            return;
        }
    }
    const QChar ch = KeyChar(AEvent);
    if (!ch.isNull() && OnKeyPress) {
        QChar k = ch;
        OnKeyPress(this, k);
        if (k.isNull()) {
            AEvent->accept();
            return;
        }
        if (k != ch) {
            // The handler turned the key into another character.
            if (!FReadOnlyS) insertPlainText(QString(k));
            AEvent->accept();
            return;
        }
    }
    if (FReadOnlyS && FTypingPaneS) {
        // The caret still moves, but nothing is edited.
        setTextInteractionFlags(NurLesen);
        QTextEdit::keyPressEvent(AEvent);
        setTextInteractionFlags(Qt::TextEditorInteraction);
        return;
    }
    QTextEdit::keyPressEvent(AEvent);
}

void TTextPane::inputMethodEvent(QInputMethodEvent* AEvent) {
    // Composed characters (dead keys) are handled like typed characters.
    const QString commit = AEvent->commitString();
    if (!commit.isEmpty() && OnKeyPress) {
        for (QChar ch : commit) {
            QChar k = ch;
            OnKeyPress(this, k);
            if (!k.isNull() && !FReadOnlyS) insertPlainText(QString(k));
        }
        AEvent->accept();
        return;
    }
    if (FReadOnlyS) {
        // no composition shown where nothing may be typed
        AEvent->accept();
        return;
    }
    QTextEdit::inputMethodEvent(AEvent);
}

void TTextPane::focusInEvent(QFocusEvent* AEvent) {
    QTextEdit::focusInEvent(AEvent);
    if (OnEnter) OnEnter(this);
}

void TTextPane::mousePressEvent(QMouseEvent* AEvent) {
    if (OnMouseDown) OnMouseDown(this, AEvent->button());
    QTextEdit::mousePressEvent(AEvent);
}

void TTextPane::mouseReleaseEvent(QMouseEvent* AEvent) {
    QTextEdit::mouseReleaseEvent(AEvent);
    if (AEvent->button() == Qt::LeftButton && OnClick) OnClick(this);
}

void TTextPane::contextMenuEvent(QContextMenuEvent* AEvent) {
    if (FPopupMenu) FPopupMenu->exec(AEvent->globalPos());
    AEvent->accept();
}

// Nothing reaches a training pane by the clipboard, the selection buffer or
// drag and drop: only typed keys count.
bool TTextPane::canInsertFromMimeData(const QMimeData*) const {
    return false;
}
void TTextPane::insertFromMimeData(const QMimeData*) {}

bool TTextPane::event(QEvent* AEvent) {
    if (AEvent->type() == QEvent::ShortcutOverride) {
        auto* k = static_cast<QKeyEvent*>(AEvent);
        // QTextEdit claims Ctrl+arrows, Ctrl+V, Shift+Insert and the like for itself; the
        // program's menu keys must win, and what no menu takes comes back as
        // an ordinary key the program judges.
        const bool umschEinfgEntfS = (k->modifiers() & Qt::ShiftModifier) &&
                                     (k->key() == Qt::Key_Insert || k->key() == Qt::Key_Delete);
        if ((k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) || umschEinfgEntfS) {
            AEvent->ignore();
            return false;
        }
    }
    return QTextEdit::event(AEvent);
}
