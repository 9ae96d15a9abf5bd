#pragma once
// The text pane every readable or typeable text of the program stands in.
// Keys reach the program before the pane acts: a handler may swallow a
// key-down (the pane then produces no character and no change) or a character.
// Positions count a line break as one character.

#include <QTextEdit>
#include <functional>

class QMenu;

class TTextPane : public QTextEdit {
    Q_OBJECT
public:
    explicit TTextPane(QWidget* AParent = nullptr);

    int Tag = 0;

    QString Text() const;
    void SetText(const QString& AText);
    int TextLength() const;

    // Whether the pane takes typing. A read-only typing pane still presents
    // itself as an editable text: it is where the user types, and a screen
    // reader must not call it read-only while its line is coming up.
    bool ReadOnly() const { return FReadOnlyS; }
    void SetReadOnly(bool AReadOnlyS);
    void SetTypingPane(bool ATypingPaneS);

    int SelStart() const;
    int SelLength() const;
    // Puts the caret at AStart and drops the selection.
    void SetSelStart(int AStart);
    // Selects ALength characters from the current start.
    void SetSelLength(int ALength);
    void SelectAllText();
    QString SelText() const;
    // Replaces the selection; with nothing selected it inserts at the caret.
    void SetSelText(const QString& AText);
    // Only the selected characters change; the rest of the formatting stays.
    void SetSelUnderline(bool AOnS);
    bool IsUnderlined(int APos) const;

    void SetPaneFont(const QFont& AFont, const QColor& ABackground);

    // Changes between begin and end are shown at once at the end; nesting is allowed.
    void BeginUpdate();
    void EndUpdate();
    bool InUpdate() const { return FUpdateCount > 0; }

    // The popup menu of the pane; its visible actions' shortcuts work while the
    // pane has the focus. Qt gives a hidden action no shortcut: keys of hidden
    // items need an action of their own on the pane.
    void SetPopupMenu(QMenu* AMenu);
    QMenu* PopupMenu() const { return FPopupMenu; }

    bool LoadRtf(const QString& AFilename);
    bool SaveRtf(const QString& AFilename, const QFont& AFont) const;

    // AKey = 0 swallows the key; the key code is Qt's, AShift the modifiers.
    std::function<void(TTextPane*, int& AKey, Qt::KeyboardModifiers AShift)> OnKeyDown;
    // The character of a key (Backspace 8, Enter 13, Escape 27 included); set to 0 to swallow.
    std::function<void(TTextPane*, QChar& AKey)> OnKeyPress;
    std::function<void(TTextPane*)> OnChange;
    std::function<void(TTextPane*)> OnEnter;
    std::function<void(TTextPane*)> OnClick;
    std::function<void(TTextPane*, Qt::MouseButton)> OnMouseDown;

protected:
    void keyPressEvent(QKeyEvent* AEvent) override;
    void inputMethodEvent(QInputMethodEvent* AEvent) override;
    void focusInEvent(QFocusEvent* AEvent) override;
    void mousePressEvent(QMouseEvent* AEvent) override;
    void mouseReleaseEvent(QMouseEvent* AEvent) override;
    void contextMenuEvent(QContextMenuEvent* AEvent) override;
    bool canInsertFromMimeData(const QMimeData* ASource) const override;
    void insertFromMimeData(const QMimeData* ASource) override;
    bool event(QEvent* AEvent) override;

private:
    int FUpdateCount = 0;
    bool FReadOnlyS = false;
    bool FTypingPaneS = false;
    QMenu* FPopupMenu = nullptr;
    QTextCursor FUpdateCursor;
    QTextCursor FPendingCursor;
    QTextCursor Cursor() const;
    void SetCursor(const QTextCursor& ACursor);
};

// The update bracket of a pane for as long as it lives, so that no path can
// leave a pane that never shows its changes.
class TPaneAenderung {
public:
    explicit TPaneAenderung(TTextPane* APane) : FPane(APane) { FPane->BeginUpdate(); }
    ~TPaneAenderung() { FPane->EndUpdate(); }
    TPaneAenderung(const TPaneAenderung&) = delete;
    TPaneAenderung& operator=(const TPaneAenderung&) = delete;

private:
    TTextPane* FPane;
};
