#pragma once
// A number field with its own up-down arrows whose typing is held in check,
// in one of two ways:
// - Pfeile: nothing can be typed; the arrows step, Page Up and Page Down
//   jump two steps, Home gives the largest and End the smallest number.
// - Ziffern: digits only, no more than the largest number has. A number
//   outside the range may stand there while it is typed; leaving the field
//   puts it into the range and anything that is no number becomes the
//   smallest. Enter does not take such a number: it beeps. Pasting only runs
//   the action given for it, and the context menu is the one given.

#include <QSpinBox>

#include <functional>

class QAction;
class QLineEdit;
class QMenu;

class TZahlFeld : public QSpinBox {
public:
    enum class TArt { Pfeile, Ziffern };

    TZahlFeld(QWidget* AParent, TArt AArt);

    // Called before the up-down steps through its buttons, arrow keys or wheel.
    std::function<void()> OnChanging;

    // The range; in Ziffern also the number of digits that can be typed.
    void SetBereich(int AMin, int AMax);
    // Shows the number the field holds, whatever was typed.
    void TextAusPosition();
    void SetEinfuegen(QMenu* AMenu, QAction* AEinfuegen);
    // The spin box reports its text only when the value is taken over; this
    // reports every key.
    QLineEdit* Feld() const { return lineEdit(); }
    // The text stands as typed and is a number of the range.
    bool TextGueltig() const;
    // Everything of the control that is not the text: frame and arrows.
    int Zugabe() const;

    QValidator::State validate(QString& AText, int& APos) const override;
    void fixup(QString& AText) const override;

protected:
    void stepBy(int ASteps) override;
    void keyPressEvent(QKeyEvent* AEvent) override;
    void contextMenuEvent(QContextMenuEvent* AEvent) override;

private:
    TArt FArt;
    QMenu* FMenu = nullptr;
    QAction* FEinfuegen = nullptr;
};
