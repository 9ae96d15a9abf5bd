#pragma once
// The options dialog: edits a copy of the settings record. Built for the
// keyboard and a screen reader: a fixed tab order, spoken hints when the focus
// enters the speech controls, and a voice test that lets each voice say its own
// name while the user walks the voice list.

#include "DialogKit.h"
#include "EinstellungenC.h"
#include "Speech.h"

#include <QDialog>
#include <QStringList>
#include <memory>

class QAction;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;
class TZahlFeld;

class TOptionenDlg : public QDialog {
    Q_OBJECT
public:
    // The dialog tries voices with a speech facade of its own made from
    // APlatform, so that the main window's voice stays as it is until the
    // settings are confirmed. ATolk is the main window's screen reader
    // dispatcher, used for the spoken hints; without one the hints are silent.
    TOptionenDlg(QWidget* AOwner, const TDialogAussehen& AAussehen, const TSpeechPlatform& APlatform,
                 TTolkSRD* ATolk);
    ~TOptionenDlg() override;

    // Reads the voice list afresh, then sets every control from the record.
    void SetEinstellungen(const TEinstellungen& AEinstellungen);
    TEinstellungen GetEinstellungen() const;
    void StimmenEinlesen();
    // The speech server's voices arrived after the dialog opened: the list
    // takes them in and keeps the chosen (or stored) voice chosen.
    void StimmenNachladen();

    // The voice descriptions in list order.
    const QStringList& StimmenSl() const { return FStimmenSl; }
    // The focus is in the voice list.
    bool InStimmenS() const { return FInStimmenS; }

    void SetTabOrders();
    void CaptionZuweisen();
    void SchriftartZuweisen();
    void SchalterEinrichten();
    void FensterEinrichten();

protected:
    void showEvent(QShowEvent* AEvent) override;
    void hideEvent(QHideEvent* AEvent) override;
    bool eventFilter(QObject* AObject, QEvent* AEvent) override;

private:
    void Btn1ResetClick();
    void SoundsFreigeben();
    void TextVerschwindenFreigeben();
    void SprachFreigeben();
    void ErsteSoundZeileWaehlen();
    int StimmenZeile() const; // the selected voice row, -1 when none
    void FokusGewechselt(QWidget* AAlt, QWidget* ANeu);
    void Lv2StimmenEnter();
    void Lv2StimmenExit();
    void LesExit(QSpinBox* AFeld);
    // ADirektS: asked for by the user (context menu, up-down), not by a
    // selection that may only be passing through the list.
    void Lv2StimmenClick(bool ADirektS);
    void UdsChanging();
    void Timer1SprechenTimer();
    void Timer1SpeakTimer();
    void Hinweis(const QString& AText);
    void SapiTabStop();
    void SoundUmgeschaltet(QListWidgetItem* AZeile);

    TDialogAussehen FAussehen;
    std::unique_ptr<TSpeech> FSpeech;
    TTolkSRD* FTolk;
    QStringList FStimmenSl;
    QString FStimmeGespeichert;       // the voice of the settings shown
    bool FStimmenAusstehendS = false; // voices arrived, not yet taken into the list
    bool FInStimmenS = false;

    QCheckBox* FCb1ModusUeberschreiben = nullptr;
    QCheckBox* FCb8TextVerschwinden = nullptr;
    QCheckBox* FCb2Korrektur = nullptr;
    QCheckBox* FCb3GrossKlein = nullptr;
    QCheckBox* FCb4Cursor = nullptr;
    QCheckBox* FCb5Protokoll = nullptr;
    QCheckBox* FCb6Mp3Text = nullptr;
    QCheckBox* FCb7SoundsWiedergeben = nullptr;
    QListWidget* FLv1Sounds = nullptr;
    QGroupBox* FRg1Sapi = nullptr;
    QButtonGroup* FSapiGruppe = nullptr;
    QRadioButton* FSapiKnoepfe[3] = {};
    QListWidget* FLv2Stimmen = nullptr;
    QLabel* FLbl1Volume = nullptr;
    TZahlFeld* FLe1Volume = nullptr;
    QLabel* FLbl2Rate = nullptr;
    TZahlFeld* FLe2Rate = nullptr;
    QPushButton* FBtn1Reset = nullptr;
    QPushButton* FBtn2OK = nullptr;
    QPushButton* FBtn3Abbrechen = nullptr;
    QMenu* FPopupMenu1 = nullptr;
    QAction* FPuStimmentest = nullptr;
    QTimer* FTimer1Sprechen = nullptr;
    QTimer* FTimer1Speak = nullptr;
};
