#include "Start.h"

#include "Haupt.h"
#include "Pfade.h"
#include "RegistrySettings.h"
#include "SingleInstance.h"
#include "SitzungsEnde.h"
#include "SplashC.h"
#include "StartSchrift.h"
#include "StartStil.h"
#include "SystemServices.h"
#include "Zugaenglichkeit.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QSessionManager>
#include <QThread>
#include <QTranslator>
#include <QWindow>

#include <future>
#include <memory>
#include <thread>

namespace {
void Warten25() {
    QThread::msleep(25);
    QCoreApplication::processEvents();
}

// Style, names, locale and Qt's own texts (standard dialogs, context menus)
// in German.
void AnwendungEinrichten(QTranslator& AQtDeutsch) {
    QApplication::setStyle(StartStil());
    QApplication::setApplicationName(ProgrammName);
    QApplication::setApplicationDisplayName(QString());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Austria));
    UngezeigteFensterNichtMelden();
    if (AQtDeutsch.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&AQtDeutsch);
}

// The main window from its first showing to the end of the event loop.
int HauptfensterZeigen() {
    THauptDienste dienste;
    dienste.Services = RealServices();
    auto form = std::make_unique<TForm1>(dienste);
    if (QFile::exists(SplashDatei)) {
        TSplashScreenForm splash(nullptr, SplashDatei);
        splash.show();
        splash.repaint();
        for (int i = 0; i < 50 && !splash.IsClosed(); ++i)
            Warten25();
        while (form->LoadKatThreadRunning())
            Warten25();
        splash.hide();
    }
    form->WaitForLoadKatThread();
    form->RegistryLadenSpeichern(true);
    THandoffEmpfaenger empfaenger;
    TForm1* hauptfenster = form.get();
    SitzungsEndeAbfangen(hauptfenster, [hauptfenster] { hauptfenster->SitzungBeenden(); });
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, hauptfenster,
                     [hauptfenster](QSessionManager&) { hauptfenster->DatenSichern(); });
    empfaenger.SetFocus = [hauptfenster] { hauptfenster->WmUserSetFocus(); };
    empfaenger.Close = [hauptfenster] { hauptfenster->WmUserClose(); };
    auto watcher = std::make_unique<TWatchRegistrySettings>(hauptfenster, empfaenger, ProgrammName);
    // A start question follows the window at once. The window appears
    // without taking the focus, so that the screen reader is not first busy
    // with the window and only then comes to the question: the question has
    // the focus first, and the window takes it when the question is answered.
    form->setAttribute(Qt::WA_ShowWithoutActivating);
    form->show();
    form->setAttribute(Qt::WA_ShowWithoutActivating, false);
    // Qt keeps the wish on the native window as well; later showings take the
    // focus as usual.
    if (QWindow* fenster = form->windowHandle()) fenster->setProperty("_q_showWithoutActivating", QVariant());
    // The icon theme is read on the other core while the start timer runs.
    SymbolthemaVorlesen();
    const int rc = QApplication::exec();
    SymbolthemaAbwarten();
    watcher.reset();
    WithdrawWindowCaption();
    form.reset();
    return rc;
}
} // namespace

int TastaroMain(int argc, char** argv) {
    ShareHeapArenas();
    AdjustDateNames();
    // Whether another instance runs is found out while the application sets
    // itself up; the window is built only once the answer is there. Qt takes
    // the first thread that uses its objects for the main thread: this one
    // must be it, before the lock's file objects are made on the other.
    QThread::currentThread();
    auto instanzFrage =
        std::async(std::launch::async, [] { return std::make_unique<TSingleInstance>(ProgrammTitel); });
    // Reading the font configuration (several dozen XML files and the font
    // caches) is most of the first text measurement. It is done on the other
    // core while QApplication connects to the display; the thread is joined
    // before anything measures text, so that Qt finds it read and does not
    // read it a second time alongside.
    std::jthread schriftKonfiguration([] { SchriftKonfigurationLesen(); });
    QApplication app(argc, argv);
    schriftKonfiguration.join();
    // The accessibility bridge connects to the session bus when the first
    // widget is built and waits for the connection; begun here, it is made
    // while the application sets itself up.
    std::jthread sitzungsbus([] { QDBusConnection::sessionBus(); });
    QTranslator qtDeutsch;
    AnwendungEinrichten(qtDeutsch);
    PfadeBerechnen(QCoreApplication::applicationFilePath());

    // A second start asks the running instance to come to the front and ends.
    const std::unique_ptr<TSingleInstance> instanz = instanzFrage.get();
    if (instanz->AnotherRuns()) {
        if (!FindWindowByTitle(ProgrammTitel).isEmpty())
            WriteRegistrySettings(ProgrammName, TRegistrySettings::rsSetFocus());
        return 0;
    }

    return HauptfensterZeigen();
}
