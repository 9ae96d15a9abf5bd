#pragma once
// The font and colour dialog: font family, size, bold, font colour and
// background colour of the training text, with a preview line. It stands in
// for the desktop's font dialog, which a blind user cannot drive: every list
// tells the screen reader its value when it gets the focus, a colour list
// also when a key changes it, and colours are chosen by name.

#include "Farbtabelle.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

class IMessageBoxes;
class TTolkSRD;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSpinBox;
class QTimer;

struct TColorName {
    int Index = 0; // place in the table
    QColor Color;
    QString Name;
};

// The named colours of both colour lists.
class TColors {
public:
    static constexpr int Anzahl = TFarbtabelle::SchriftAnzahl;

    // A missing or empty name is taken from the default names.
    TColors(const QStringList& AColorNames, const QString& ABackgroundSuffix);

    int Count() const { return static_cast<int>(FList.size()); }
    // Replaces the content of ASl by the names in table order; in the
    // background list each name carries the background suffix.
    void FillStringList(QStringList& ASl, bool AIsBackground) const;
    // The first entry with exactly the red, green and blue of AColor.
    bool FindColor(const QColor& AColor, TColorName& AColorName) const;
    // Entry AIndex, entry 0 for an index outside the table.
    TColorName Get(int AIndex) const;
    TColorName Items(int AIndex) const { return Get(AIndex); }

private:
    QString FBackgroundSuffix;
    QList<TColorName> FList;
};

// Every text of the dialog; the formats take %d and %s in order.
struct TBackFontDlgTexts {
    QString WindowCaption;
    QString FontColumnCaption;
    QString FontSizeCaption; // smallest and largest size
    QString BoldCaption;
    QString PreviewText;
    QString OkCaption;
    QString CancelCaption;
    QString InsertCaption;
    QString CopyCaption;
    QString SelectAllCaption;
    QString BackgroundSuffix;
    QString EqualColorsQuestion;
    QString TolkFontName;   // the font list's row
    QString TolkFontColor;  // the font colour's name
    QString TolkFontSize;   // smallest size, largest size, the field's text
    QString TolkBackColor;  // the background's name
    QStringList ColorNames; // TColors::Anzahl names in table order
};

TBackFontDlgTexts DefaultBackFontDlgTexts();

class TBackFontDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int MinSize = 5;
    static constexpr int MaxSize = 35;

    // AAktFont and AAktFontColor are the training font and its colour,
    // AAktBackColor the background of the training text. ATolk speaks the
    // hints (nullptr: silent); AMessageBoxes asks whether equal colours are
    // meant (nullptr: the desktop's message boxes). Nothing of it is owned.
    TBackFontDlg(QWidget* AOwner, const QColor& AAktBackColor, const QFont& AAktFont,
                 const QColor& AAktFontColor, TTolkSRD* ATolk, IMessageBoxes* AMessageBoxes = nullptr);
    // Every empty text of ATexts (and every missing or empty colour name) is
    // replaced by its default.
    TBackFontDlg(QWidget* AOwner, const QColor& AAktBackColor, const QFont& AAktFont,
                 const QColor& AAktFontColor, const TBackFontDlgTexts& ATexts, TTolkSRD* ATolk,
                 IMessageBoxes* AMessageBoxes = nullptr);
    ~TBackFontDlg() override;

    // The choice, to be read after OK: the training font with the chosen
    // family, size and bold (italic, underline and strike-out removed), and
    // the chosen font colour.
    void GetNewFont(QFont& AFont, QColor& AFontColor) const;
    QColor NewBackColor() const;

    const TBackFontDlgTexts& Texts() const { return FTexts; }
    const TColors& Colors() const { return FColors; }

    QListWidget* LvFonts() const { return FLvFonts; }
    QLabel* LeSizeLabel() const { return FLeSizeLabel; }
    // The size field with its own up-down arrows.
    QSpinBox* LeSize() const { return FLeSize; }
    QCheckBox* CbBold() const { return FCbBold; }
    QComboBox* CoBoColors() const { return FCoBoColors; }
    QComboBox* CoBoBackColors() const { return FCoBoBackColors; }
    // The colour lists' labels; a screen reader names each list after its
    // label, since on this platform a drop-down list's own name is its value.
    QLabel* CoBoColorsLabel() const { return FCoBoColorsLabel; }
    QLabel* CoBoBackColorsLabel() const { return FCoBoBackColorsLabel; }
    QLineEdit* EditTest() const { return FEditTest; }
    QPushButton* Btn1OK() const { return FBtn1OK; }
    QPushButton* Btn2Cancel() const { return FBtn2Cancel; }
    QMenu* PuMenu1() const { return FPuMenu1; }
    QAction* PuEinfuegen() const { return FPuEinfuegen; }
    QMenu* PuMenuVorschau() const { return FPuMenuVorschau; }
    QAction* PuVorschauAllesMarkieren() const { return FPuVorschauAllesMarkieren; }
    QAction* PuVorschauKopieren() const { return FPuVorschauKopieren; }
    QTimer* TimerTolk() const { return FTimerTolk; }

    void UpdateEditTest();
    void LoadCurrentValues();
    void ApplyAppearance();
    void ArrangeControls();
    void CenterOnOwner();

    // OK with both colours the same asks first; only "Ja" closes.
    void done(int AResult) override;

protected:
    bool event(QEvent* AEvent) override;
    bool eventFilter(QObject* AObject, QEvent* AEvent) override;
    void showEvent(QShowEvent* AEvent) override;

private:
    void FormCreate();
    void CreatePreviewMenu();
    void AssignCaptions();
    void FillFontList();
    void Enters(QWidget* AControl, bool AInterrupt = false);
    void FarbeGewechselt(QComboBox* AListe);
    void TimerTolkTimer();
    void LeSizeChange();
    void PuMenuVorschauPopup();

    QColor FAktBackColor;
    QFont FAktFont;
    QColor FAktFontColor;
    TTolkSRD* FTolk = nullptr;
    IMessageBoxes* FMessageBoxes = nullptr;
    TBackFontDlgTexts FTexts;
    TColors FColors;
    QStringList FFamilien; // the installed families, one per row of LvFonts
    int FStartZeile = -1;  // the font list's row when the dialog opened
    int FMaxLvFontsWidth = 0;
    int FLeer = 5; // between the size label and its field
    int FRand = 10;
    bool FListeAnsagenS = false;         // the font list still has to get the focus after showing
    QWidget* FAnsageNachFrage = nullptr; // to be announced when the window is active again
    QComboBox* FWertAnsage = nullptr;    // its value was changed by a key and is still to be announced

    QListWidget* FLvFonts = nullptr;
    QLabel* FLeSizeLabel = nullptr;
    QSpinBox* FLeSize = nullptr;
    QCheckBox* FCbBold = nullptr;
    QLabel* FCoBoColorsLabel = nullptr;
    QComboBox* FCoBoColors = nullptr;
    QLabel* FCoBoBackColorsLabel = nullptr;
    QComboBox* FCoBoBackColors = nullptr;
    QLineEdit* FEditTest = nullptr;
    QPushButton* FBtn1OK = nullptr;
    QPushButton* FBtn2Cancel = nullptr;
    QMenu* FPuMenu1 = nullptr;
    QAction* FPuEinfuegen = nullptr;
    QMenu* FPuMenuVorschau = nullptr;
    QAction* FPuVorschauAllesMarkieren = nullptr;
    QAction* FPuVorschauKopieren = nullptr;
    QTimer* FTimerTolk = nullptr;
};
