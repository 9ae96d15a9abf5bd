// The yardstick for start_vergleich.py and erstes_wort.py: the least a Qt
// Widgets program with the main window's shape costs to start (one window, two
// text panes, a title). It links only Qt Widgets, so the difference to Tastaro
// is what Tastaro adds.
//
// With --frage it asks Tastaro's first start question as a plain Qt program
// would: the window appears without the focus and, once it is on the screen, a
// message box with the same text, icon and buttons takes it.

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool frageS = app.arguments().contains(QStringLiteral("--frage"));
    QWidget fenster;
    fenster.setWindowTitle(QStringLiteral("Tastaro-Vergleich leer"));
    auto* layout = new QVBoxLayout(&fenster);
    auto* vorlage = new QTextEdit(&fenster);
    vorlage->setReadOnly(true);
    vorlage->setPlainText(QStringLiteral("Vorlage"));
    auto* tippen = new QTextEdit(&fenster);
    layout->addWidget(vorlage);
    layout->addWidget(tippen);
    // the main window's size at a first start: the window system's buffer grows with it
    fenster.resize(1200, 900);
    fenster.setAttribute(Qt::WA_ShowWithoutActivating, frageS);
    fenster.show();
    if (frageS)
        QTimer::singleShot(5, &fenster, [&fenster] {
            // at most 200 ms, as Tastaro waits for its window
            QElapsedTimer uhr;
            uhr.start();
            QTimer wecker;
            wecker.start(10);
            while (!fenster.windowHandle()->isExposed() && uhr.elapsed() < 200)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            wecker.stop(); // it only ends the wait; it must not tick on while the box is up
            QMessageBox box(QMessageBox::Question, QStringLiteral("Tastaro-Vergleich Frage"),
                            QStringLiteral("Willst du jetzt einen Trainingsbereich und eine -datei wählen?"),
                            QMessageBox::Yes | QMessageBox::No, &fenster);
            box.button(QMessageBox::Yes)->setText(QStringLiteral("Ja"));
            box.button(QMessageBox::No)->setText(QStringLiteral("Nein"));
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            box.exec();
        });
    return QApplication::exec();
}
