#pragma once
// The area and file chooser, and the layout helpers every window of the
// program sizes its buttons and fields with.

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

class QAbstractItemView;
class QListWidget;
class QPushButton;
class QTimer;
class QWidget;

// Where text is measured. The default reads the screen's font metrics; a
// replacement makes a font whose metrics cannot be read reproducible.
class ITextMetrics {
public:
    virtual ~ITextMetrics() = default;
    // Character height in pixels; 0 or less when the metrics cannot be read.
    virtual int Height(const QFont& AFont) const = 0;
    // Pixel width of AText; 0 or less on failure.
    virtual int Width(const QFont& AFont, const QString& AText) const = 0;
};

// Installs AMetrics for all later measurements (nullptr: the screen's metrics)
// and returns the one used until now. GUI thread only.
ITextMetrics* SetTextMetrics(ITextMetrics* AMetrics);

// Character height of AFont; 0 when its metrics cannot be read.
int GetFontTextHeight(const QFont& AFont);
// Pixel width of AText in AFont; 0 for an empty text or a failure.
int GetFontTextWidth(const QFont& AFont, const QString& AText);
// Width of AText followed by one blank.
int GetFontTextWidthPadded(const QFont& AFont, const QString& AText);
// Height for AControl when it shows text in AFont: the text height (12 when it
// cannot be read) plus the room its kind needs around the text.
int GetControlHeight(const QFont& AFont, const QWidget* AControl);

// What every dialog takes from the main window when it is shown.
struct TDialogAussehen {
    QFont Schrift;                           // the training font
    QColor SchriftFarbe = QColor(Qt::black); // its colour
    QColor HintergrundFarbe = QColor(Qt::white);
};

// Gives the text-bearing controls below ARoot the background colour and a copy
// of the training font with its colour; buttons take only the font's family,
// size and style and keep their own text colour. List views and other
// controls are left alone.
void ApplyTrainingFont(QWidget* ARoot, const TDialogAussehen& AAussehen);

// The window a dialog takes its size from and is centred on: its owner's,
// else the program's main window; null when there is neither.
QWidget* DialogBezugsfenster(const QWidget* ADialog);
// Centres ADialog on that window; nothing when there is none.
void DialogZentrieren(QWidget* ADialog);

// Makes all buttons as high as their font needs and as wide as the longest
// caption (counted in characters, "&" removed) plus "MM " in the button's font.
// Returns the common height and width.
QSize LayoutButtons(const QList<QPushButton*>& AButtons);

// Reports the list's current entry to a screen reader as the focused object,
// as an arrow key does; the selection stays as it is. Only while the list has
// the keyboard focus.
void EintragMelden(QAbstractItemView* AListe);

// Does the same each time the list gets the keyboard focus (Tab, a shortcut),
// once the list itself has been reported.
void EintragBeiFokusMelden(QAbstractItemView* AListe);

class TKatDlg : public QDialog {
    Q_OBJECT
public:
    explicit TKatDlg(QWidget* AOwner, const TDialogAussehen& AAussehen = TDialogAussehen());

    void SetAussehen(const TDialogAussehen& AAussehen);
    const TDialogAussehen& Aussehen() const { return FAussehen; }

    void SetCaption(const QString& ACaption);
    QString Caption() const { return windowTitle(); }

    // The titles joined by line breaks (CR LF, LF or CR), line k being entry
    // k; a final line break adds no entry.
    void SetListText(const QString& ATitelText);
    void SetItems(const QStringList& ATitel);
    QStringList Items() const;
    // Selects entry AIndex; -1 or an index outside the list clears the selection.
    void SetItemIndex(int AIndex);
    // The selected entry, -1 when none.
    int ItemIndex() const;
    // Fills the list and selects entry AAktivNr, the first one when AAktivNr is
    // -1 or not in the list.
    void SetTitel(const QString& ATitelText, int AAktivNr);

    QListWidget* ListBox1() const { return FListBox1; }
    QPushButton* Btn1Weiter() const { return FBtn1Weiter; }
    QPushButton* Btn2Abbrechen() const { return FBtn2Abbrechen; }

    void CaptionZuweisen();
    void SchriftartZuweisen();
    void SchalterEinrichten();
    void FensterEinrichten();

protected:
    bool event(QEvent* AEvent) override;
    void showEvent(QShowEvent* AEvent) override;

private:
    // Shortly after the dialog has been shown and become active: the focus
    // goes to the selected entry.
    void Timer1FokusTimer();

    TDialogAussehen FAussehen;
    QListWidget* FListBox1 = nullptr;
    QPushButton* FBtn1Weiter = nullptr;
    QPushButton* FBtn2Abbrechen = nullptr;
    QTimer* FTimer1Fokus = nullptr;
    bool FEintragZeigenS = false; // the entry still has to be announced after showing
};
