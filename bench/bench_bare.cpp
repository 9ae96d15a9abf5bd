// The yardstick for start_vergleich.py: the least a Qt Widgets program with the
// main window's shape costs to start (one window, two text panes, a title).
// It links only Qt Widgets, so the difference to Tastaro is what Tastaro adds.

#include <QApplication>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
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
    fenster.show();
    return QApplication::exec();
}
