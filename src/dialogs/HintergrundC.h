#pragma once
// The store of the background colour of the training text: 19 named colours,
// one of them current. The form is never shown; its list holds the choice.

#include "Farbtabelle.h"

#include <QColor>
#include <QDialog>
#include <QString>

class QListWidget;
class QPushButton;

class THintergrundForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HintergrundAnzahl = TFarbtabelle::HintergrundAnzahl;

    THintergrundForm(QWidget* AOwner, int ABtnWidth, int ARand);

    // Name and colour of number ANr; an invalid number gives those of 0.
    static QString HintergrundName(int ANr);
    static QColor HintergrundFarbeVon(int ANr);
    // The first number with the colour AFarbe (red, green and blue compared),
    // ANichtGefunden when no entry has it.
    static int FarbeZuHintergrundNr(const QColor& AFarbe, int ANichtGefunden = 1);
    // ANr itself when it is one of the numbers, else 0.
    static int GueltigeNr(int ANr);

    // The selected number, -1 before any was set.
    int HintergrundNr() const;
    // A number outside 0..18 selects 0.
    void SetHintergrundNr(int ANr);
    QColor HintergrundFarbe() const;

    int BtnWidth() const { return FBtnWidth; }
    void SetBtnWidth(int ABtnWidth) { FBtnWidth = ABtnWidth; }
    int Rand() const { return FRand; }
    void SetRand(int ARand) { FRand = ARand; }

    QListWidget* ListBox1() const { return FListBox1; }
    QPushButton* Button1() const { return FButton1; }
    QPushButton* Button2() const { return FButton2; }

    void CaptionZuweisen(const QString& ACaption, const QString& AOk, const QString& AAbbrechen);
    void SchalterEinrichten();

    // Cancelling keeps the number the form was opened with.
    void reject() override;

protected:
    void showEvent(QShowEvent* AEvent) override;

private:
    void FormCreate();

    QListWidget* FListBox1 = nullptr;
    QPushButton* FButton1 = nullptr;
    QPushButton* FButton2 = nullptr;
    int MerkItemIndex = -1;
    int FBtnWidth = 0;
    int FRand = 0;
};
