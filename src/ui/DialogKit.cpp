#include "DialogKit.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace {

class ScreenTextMetrics : public ITextMetrics {
public:
    int Height(const QFont& AFont) const override {
        // Without a GUI application there is no screen to measure on.
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return 0;
        return QFontMetrics(AFont).height();
    }
    int Width(const QFont& AFont, const QString& AText) const override {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return 0;
        return QFontMetrics(AFont).horizontalAdvance(AText);
    }
};

ScreenTextMetrics& screenMetrics() {
    static ScreenTextMetrics metrics;
    return metrics;
}

ITextMetrics* currentMetrics = nullptr;

ITextMetrics& metrics() {
    return currentMetrics ? *currentMetrics : screenMetrics();
}

// The room around the text that the room-taking kinds of control need.
constexpr int EditZugabe = 8;
constexpr int ButtonZugabe = 12;
constexpr int StatusBarZugabe = 6;
constexpr int AuswahlZugabe = 8;
constexpr int ErsatzHoehe = 12;

void setColours(QWidget* AWidget, const TDialogAussehen& AAussehen, bool AButtonRolesS) {
    QPalette pal = AWidget->palette();
    pal.setColor(QPalette::Base, AAussehen.HintergrundFarbe);
    pal.setColor(QPalette::Window, AAussehen.HintergrundFarbe);
    pal.setColor(QPalette::Text, AAussehen.SchriftFarbe);
    pal.setColor(QPalette::WindowText, AAussehen.SchriftFarbe);
    if (AButtonRolesS) {
        // A closed combo box draws its text with the button roles.
        pal.setColor(QPalette::Button, AAussehen.HintergrundFarbe);
        pal.setColor(QPalette::ButtonText, AAussehen.SchriftFarbe);
    }
    AWidget->setPalette(pal);
}

bool isTextBearing(const QWidget* AWidget) {
    return qobject_cast<const QLabel*>(AWidget) || qobject_cast<const QLineEdit*>(AWidget) ||
           qobject_cast<const QAbstractSpinBox*>(AWidget) || qobject_cast<const QListWidget*>(AWidget) ||
           qobject_cast<const QCheckBox*>(AWidget) || qobject_cast<const QComboBox*>(AWidget) ||
           qobject_cast<const QGroupBox*>(AWidget) || qobject_cast<const QTextEdit*>(AWidget) ||
           qobject_cast<const QPlainTextEdit*>(AWidget);
}

bool needsOwnBackground(const QWidget* AWidget) {
    return qobject_cast<const QLabel*>(AWidget) || qobject_cast<const QCheckBox*>(AWidget) ||
           qobject_cast<const QGroupBox*>(AWidget);
}

// A list reports only itself when it gets the focus: Qt offers screen readers
// no selection of a list, and it reports an entry as focused only when the
// current entry changes while the list has the focus.
class TEintragMelder : public QObject {
public:
    explicit TEintragMelder(QAbstractItemView* AListe) : QObject(AListe), FListe(AListe) {}

protected:
    bool eventFilter(QObject* AObject, QEvent* AEvent) override {
        if (AObject == FListe && AEvent->type() == QEvent::FocusIn) {
            // The list's own focus report follows the focus-in event; the
            // entry must come after it or the screen reader ends on the list.
            QMetaObject::invokeMethod(
                this, [this] { EintragMelden(FListe); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(AObject, AEvent);
    }

private:
    QAbstractItemView* FListe;
};

} // namespace

void EintragMelden(QAbstractItemView* AListe) {
    if (!AListe || !AListe->hasFocus()) return;
    QItemSelectionModel* auswahl = AListe->selectionModel();
    const QModelIndex eintrag = AListe->currentIndex();
    if (!auswahl || !eintrag.isValid()) return;
    // Moving the current entry off and back, with the selection untouched,
    // makes the list report the entry as focused.
    auswahl->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    auswahl->setCurrentIndex(eintrag, QItemSelectionModel::NoUpdate);
}

void EintragBeiFokusMelden(QAbstractItemView* AListe) {
    if (AListe) AListe->installEventFilter(new TEintragMelder(AListe));
}

ITextMetrics* SetTextMetrics(ITextMetrics* AMetrics) {
    ITextMetrics* previous = &metrics();
    currentMetrics = AMetrics == &screenMetrics() ? nullptr : AMetrics;
    return previous;
}

int GetFontTextHeight(const QFont& AFont) {
    return std::max(0, metrics().Height(AFont));
}

int GetFontTextWidth(const QFont& AFont, const QString& AText) {
    if (AText.isEmpty()) return 0;
    return std::max(0, metrics().Width(AFont, AText));
}

int GetFontTextWidthPadded(const QFont& AFont, const QString& AText) {
    return GetFontTextWidth(AFont, AText + QLatin1Char(' '));
}

int GetControlHeight(const QFont& AFont, const QWidget* AControl) {
    int h = GetFontTextHeight(AFont);
    if (h <= 0) h = ErsatzHoehe;
    if (qobject_cast<const QLineEdit*>(AControl) || qobject_cast<const QAbstractSpinBox*>(AControl))
        return h + EditZugabe;
    if (qobject_cast<const QPushButton*>(AControl)) return h + ButtonZugabe;
    if (qobject_cast<const QStatusBar*>(AControl)) return h + StatusBarZugabe;
    if (qobject_cast<const QGroupBox*>(AControl) || qobject_cast<const QCheckBox*>(AControl) ||
        qobject_cast<const QRadioButton*>(AControl))
        return h + AuswahlZugabe;
    return h;
}

void ApplyTrainingFont(QWidget* ARoot, const TDialogAussehen& AAussehen) {
    if (!ARoot) return;
    const QList<QWidget*> widgets = ARoot->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (qobject_cast<QPushButton*>(w)) {
            w->setFont(AAussehen.Schrift);
        } else if (isTextBearing(w)) {
            w->setFont(AAussehen.Schrift);
            setColours(w, AAussehen, qobject_cast<QComboBox*>(w) != nullptr);
            if (needsOwnBackground(w)) w->setAutoFillBackground(true);
        }
    }
}

QSize LayoutButtons(const QList<QPushButton*>& AButtons) {
    QString widest;
    for (const QPushButton* b : AButtons) {
        const QString caption = b->text().remove(QLatin1Char('&'));
        if (caption.size() > widest.size()) widest = caption;
    }
    QSize result(0, 0);
    for (QPushButton* b : AButtons) {
        const int h = GetControlHeight(b->font(), b);
        const int w = GetFontTextWidthPadded(b->font(), widest + QStringLiteral("MM"));
        b->setFixedSize(w, h);
        result = result.expandedTo(QSize(w, h));
    }
    return result;
}

QWidget* DialogBezugsfenster(const QWidget* ADialog) {
    if (QWidget* owner = ADialog->parentWidget()) return owner->window();
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (w != ADialog && qobject_cast<QMainWindow*>(w)) return w;
    return nullptr;
}

namespace {

// The frame a window manager puts around a dialog that has not been on the
// screen yet, so its own frame is not known.
const QMargins ErsatzRahmen(4, 28, 4, 4);

QMargins rahmen(const QWidget* ADialog) {
    const QRect aussen = ADialog->frameGeometry();
    const QRect innen = ADialog->geometry();
    if (aussen == innen) return ErsatzRahmen;
    return QMargins(innen.left() - aussen.left(), innen.top() - aussen.top(), aussen.right() - innen.right(),
                    aussen.bottom() - innen.bottom());
}

// The controls of a dialog too large for the screen, scrolled. The controls
// keep their places, now inside the area's content; the dialog's layout code
// goes on giving the dialog the size it wants, and the area remembers it.
class TDialogFlaeche : public QScrollArea {
public:
    explicit TDialogFlaeche(QWidget* ADialog) : QScrollArea(ADialog) {
        setObjectName(QStringLiteral("DialogFlaeche"));
        setFrameShape(QFrame::NoFrame);
        setFocusPolicy(Qt::NoFocus);
        auto* inhalt = new QWidget;
        inhalt->setObjectName(QStringLiteral("DialogInhalt"));
        inhalt->setAutoFillBackground(false);
        const QList<QWidget*> kinder = ADialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* k : kinder) {
            if (k == this || k->isWindow()) continue;
            const bool sichtbarS = !k->isHidden();
            const QRect ort = k->geometry();
            k->setParent(inhalt);
            k->setGeometry(ort);
            k->setVisible(sichtbarS);
        }
        setWidget(inhalt);
        show();
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* ANeu) {
            if (ANeu && widget() && widget()->isAncestorOf(ANeu)) ensureWidgetVisible(ANeu, 10, 10);
        });
    }

    QSize Soll;    // the size the layout gave the dialog
    QSize Gesetzt; // the size the dialog got here
};

} // namespace

QRect DialogArbeitsbereich(const QWidget* ADialog) {
    const QWidget* ref = DialogBezugsfenster(ADialog);
    const QScreen* screen = ref ? ref->screen() : ADialog->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return QRect();
    return screen->availableGeometry().marginsRemoved(rahmen(ADialog));
}

void DialogZentrieren(QWidget* ADialog) {
    const QRect frei = DialogArbeitsbereich(ADialog);
    auto* flaeche = ADialog->findChild<TDialogFlaeche*>(QString(), Qt::FindDirectChildrenOnly);
    QSize soll = ADialog->size();
    if (flaeche && soll == flaeche->Gesetzt) soll = flaeche->Soll;
    if (!frei.isEmpty() && !flaeche && (soll.width() > frei.width() || soll.height() > frei.height()))
        flaeche = new TDialogFlaeche(ADialog);
    if (flaeche) {
        const QSize ist = frei.isEmpty() ? soll : soll.boundedTo(frei.size());
        flaeche->widget()->setFixedSize(soll);
        ADialog->setFixedSize(ist);
        flaeche->setGeometry(0, 0, ist.width(), ist.height());
        flaeche->Soll = soll;
        flaeche->Gesetzt = ist;
    }
    const QWidget* ref = DialogBezugsfenster(ADialog);
    if (!ref) return;
    const QRect r = ref->geometry();
    QRect ort(r.left() + (r.width() - ADialog->width()) / 2, r.top() + (r.height() - ADialog->height()) / 2,
              ADialog->width(), ADialog->height());
    if (!frei.isEmpty()) {
        ort.moveLeft(std::max(frei.left(), std::min(ort.left(), frei.right() + 1 - ort.width())));
        ort.moveTop(std::max(frei.top(), std::min(ort.top(), frei.bottom() + 1 - ort.height())));
    }
    ADialog->setGeometry(ort);
}
