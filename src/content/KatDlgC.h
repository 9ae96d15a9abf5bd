#pragma once
// The area and file chooser.

#include "DialogKit.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QListWidget;
class QPushButton;
class QTimer;

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
