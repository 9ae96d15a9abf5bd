// Loading a training area off the GUI thread, and the note about a list of
// remembered lines that was too large to read whole.

#include "Haupt.h"

#include "DatenC.h"
#include "EinstellungenC.h"
#include "RememberFilesC.h"
#include "TolkSRD.h"
#include "UpdaterC.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <memory>
#include <optional>
#include <thread>

namespace {

const QString LadeText = QStringLiteral("Lade Trainingsbereich …");

// While an area loads, keys and clicks must not reach the main window: a
// command started then would find the old area half replaced, and keys typed
// ahead would land in the file chooser. Esc calls the load off. Windows of
// their own, such as the question when the window is closed meanwhile, still
// take input.
class TEingabeSperre : public QObject {
public:
    TEingabeSperre(QWidget* AFenster, TLadeStand& AStand) : FFenster(AFenster), FStand(AStand) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* AObject, QEvent* AEvent) override {
        switch (AEvent->type()) {
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            break;
        default:
            return false;
        }
        if (!ImFenster(AObject)) return false;
        if (AEvent->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(AEvent)->key() == Qt::Key_Escape)
            FStand.AbbrechenS = true;
        // An accepted override keeps the key from being taken as a command's key.
        AEvent->accept();
        return true;
    }

private:
    // Actions and shortcuts belong to the window of the widget they hang on.
    bool ImFenster(QObject* AObject) const {
        for (QObject* o = AObject; o; o = o->parent())
            if (auto* w = qobject_cast<QWidget*>(o)) return w->window() == FFenster;
        return false;
    }
    QWidget* FFenster;
    TLadeStand& FStand;
};

} // namespace

std::unique_ptr<TDaten> TForm1::BereichLaden(const QString& APath) {
    auto neu = std::make_unique<TDaten>(Daten->Mp3TexteOrdner());
    TLadeStand stand;
    std::atomic<bool> fertigS{false};
    QAbstractEventDispatcher* wecker = QAbstractEventDispatcher::instance();
    std::thread lader([ziel = neu.get(), APath, &stand, &fertigS, wecker] {
        try {
            ziel->Load(APath, QStringLiteral("*.txt *.rtf"), &stand);
        } catch (...) {
            // an area that cannot be read has no files
        }
        fertigS.store(true, std::memory_order_release);
        if (wecker) wecker->wakeUp();
    });

    // At start the window is not shown yet: there is nothing to block or show.
    const bool sichtbarS = isVisible();
    bool angesagtS = false;
    std::optional<TModalKlammer> modal;
    if (sichtbarS) modal.emplace(this);
    {
        std::unique_ptr<TEingabeSperre> sperre;
        if (sichtbarS) sperre = std::make_unique<TEingabeSperre>(this, stand);
        // Most areas are read before anyone would notice; a long load says
        // what is going on and how far it has come.
        QTimer anzeige;
        anzeige.setInterval(500);
        connect(&anzeige, &QTimer::timeout, this, [&] {
            if (!isVisible() || BeendenS) return;
            StatusPanel[3]->setText(QStringLiteral("%1 %2 Dateien gelesen (Esc=Abbrechen)")
                                        .arg(LadeText)
                                        .arg(stand.Dateien.load()));
            if (!angesagtS) {
                angesagtS = true;
                Ansagen(QStringLiteral("Lade Trainingsbereich. Esc bricht ab."));
            }
        });
        if (sichtbarS) anzeige.start();
        while (!fertigS.load(std::memory_order_acquire)) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (BeendenS) stand.AbbrechenS = true;
        }
    }
    lader.join();
    modal.reset();
    if (sichtbarS) {
        // the key hints take the place of the progress at once
        if (FModalTiefe == 0 && !BeendenS) Timer1StatusTimer();
    }
    if (BeendenS) return nullptr;
    if (stand.AbbrechenS) {
        // Esc was pressed: the user hears that it took, however soon.
        Ansagen(QStringLiteral("Laden abgebrochen."));
        return nullptr;
    }
    return neu;
}

bool TForm1::Ansagen(const QString& AText, bool AUnterbrechenS) {
    if (!SpracheBereit()) return FTolk->Output(AText, AUnterbrechenS);
    SpeakText(AText);
    return true;
}

bool TForm1::SpracheBereit() const {
    return Einstellungen->Sapi != sapiAus && Speech->TokenNrIndex().Nr >= 0 &&
           !Einstellungen->Stimme.isEmpty();
}

void TForm1::Hinweis(const QString& AText) {
    if (!Ansagen(AText, true)) Beep();
}

// An oversized list is rare and nothing the user must act on at once: it is
// told once the start questions are answered and no line is being typed, so
// that it neither hides a question nor interrupts the training.
void TForm1::MerkListeGekuerztMelden() {
    if (FMerkListeGemeldetS || !RememberFiles->Gekuerzt()) return;
    FMerkListeGemeldetS = true;
    auto* warten = new QTimer(this);
    warten->setInterval(250);
    // Two quiet looks in a row: the update wait before the first question
    // can look quiet for a moment.
    auto ruhig = std::make_shared<int>(0);
    connect(warten, &QTimer::timeout, this, [this, warten, ruhig] {
        if (BeendenS) {
            warten->deleteLater();
            return;
        }
        const bool ruhigS = isVisible() && !FFirstShowS && !Timer0Start->isActive() &&
                            !Timer1Los->isActive() && FModalTiefe == 0 &&
                            !QApplication::activeModalWidget() && !QApplication::activePopupWidget() &&
                            AktivNr() == -1 && !(Updater && Updater->Checking());
        *ruhig = ruhigS ? *ruhig + 1 : 0;
        if (*ruhig < 2) return;
        warten->stop();
        warten->deleteLater();
        Information(
            QStringLiteral("Die Liste der gemerkten Trainingszeilen ist ungewöhnlich groß und wurde nur "
                           "zum Teil gelesen.\rBei manchen Trainingsdateien kann das Training deshalb "
                           "nicht an der zuletzt erreichten Zeile fortgesetzt werden."));
    });
    warten->start();
}
