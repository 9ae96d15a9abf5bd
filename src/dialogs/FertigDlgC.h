#pragma once
// The report at the end of a training file with the choices to go on, to
// repeat or to close, and the protocol reader (a report with a close button
// only). Made for screen-reader users: the report has the focus with the
// caret at its start, and every choice has a key that works from there.

#include "DialogKit.h"

#include <QDialog>
#include <QString>

#include <functional>

class IAudioPlayer;
class QAction;
class QMenu;
class QPushButton;
class QTimer;
class TTextPane;

// The spoken summary of a finished file: "Das Training ist abgeschlossen.
// 11 Zeilen, 2 Fehleingaben.", with "1 Zeile", "1 Fehleingabe" and "keine
// Fehleingaben".
QString FertigAnsage(int AZeilen, int AFehler);

class TFertigDlg : public QDialog {
    Q_OBJECT
public:
    // The modal results; exec() returns one of them, result() reads it later.
    static constexpr int mrOk = 1;     // "&Weiter": the next training file
    static constexpr int mrCancel = 2; // "S&chließen", Esc, Ctrl+F4, the close box
    static constexpr int mrRetry = 4;  // "Wiede&rholen": the same file again

    // APlayer plays the finish sound (nullptr: none); it must outlive the dialog.
    explicit TFertigDlg(QWidget* AOwner, const TDialogAussehen& AAussehen = TDialogAussehen(),
                        IAudioPlayer* APlayer = nullptr);
    ~TFertigDlg() override;

    // Set by the caller before the dialog is shown.
    bool EndeS = false;  // no further training file: "&Weiter" is not offered
    bool FertigS = true; // a finished file (true) or the protocol (false)
    bool SoundS = true;  // play the finish sound when shown
    QString SoundDatei;  // the finish sound: the sounds folder + "Fertig.wav"
    QString Titel;       // in the reader: its caption; empty: "Protokoll lesen"
    // Said once through Sprechen after the dialog has come up with the focus
    // on the report, late enough that the screen reader has named the window
    // first. Empty, or no Sprechen: nothing is said.
    QString Ansage;
    std::function<void(const QString&)> Sprechen;

    // The caller puts the report here.
    TTextPane* RichEdit1() const { return FRichEdit1; }
    QPushButton* Btn1Weiter() const { return FBtn1Weiter; }
    QPushButton* Btn2Wiederholen() const { return FBtn2Wiederholen; }
    QPushButton* Btn3Abbrechen() const { return FBtn3Abbrechen; }
    QMenu* PuMenu1() const { return FPuMenu1; }
    QAction* PuKopieren() const { return FPuKopieren; }

    void CaptionZuweisen();
    void SchriftartZuweisen();
    void SchalterEinrichten();
    void FensterEinrichten();
    void Play();
    void RichEdit1KeyPress(QChar& AKey);
    void PuKopierenClick();
    void PuMenu1Popup();
    void PuWeiter1Click();
    void PuWiederholenClick();
    void PuCloseClick();

    // Every way of closing without a choice (Esc, the close box) cancels.
    void reject() override;

protected:
    bool event(QEvent* AEvent) override;
    void showEvent(QShowEvent* AEvent) override;

private:
    void FormShow();
    void AnsageTimer();

    TDialogAussehen FAussehen;
    IAudioPlayer* FPlayer = nullptr;
    bool FSpieltS = false; // the finish sound was started by this dialog
    TTextPane* FRichEdit1 = nullptr;
    QPushButton* FBtn1Weiter = nullptr;
    QPushButton* FBtn2Wiederholen = nullptr;
    QPushButton* FBtn3Abbrechen = nullptr;
    QMenu* FPuMenu1 = nullptr;
    QAction* FPuKopieren = nullptr;
    QAction* FPuWeiter1 = nullptr;
    QAction* FPuWeiter2 = nullptr;
    QAction* FPuWiederholen = nullptr;
    QAction* FPuClose = nullptr;
    QTimer* FSoundTimer = nullptr;
    QTimer* FAnsageTimer = nullptr;
    bool FAnsageOffenS = false; // Ansage is still to be said for this showing
};
