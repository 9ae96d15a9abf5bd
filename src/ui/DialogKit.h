#pragma once
// What every dialog of the program is built with: text metrics, the training
// font applied to the controls, the button row, centring inside the screen's
// work area, and reporting a list's current entry to a screen reader.

#include <QColor>
#include <QFont>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

class QAbstractItemView;
class QPushButton;
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
// The part of the screen a dialog may take: the work area of the screen its
// reference window (else the dialog) is on, less the room of a window frame.
QRect DialogArbeitsbereich(const QWidget* ADialog);
// To be called once the dialog's layout has given it its fixed size. A dialog
// larger than the work area shows its controls in a scroll area that follows
// the keyboard focus, and takes no more than the work area. The dialog is
// then centred on its reference window (nothing when there is none) and kept
// inside the work area.
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
