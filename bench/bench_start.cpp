// Constructing and first showing the main window under the offscreen
// platform, with the shipped training texts loaded by the loading thread.

#include "Haupt.h"
#include "Pfade.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
// Answers every question with No at once, so the start runs without a user.
class TStilleFragen : public IMessageBoxes {
public:
    bool Frage(QWidget*, const QString&) override { return false; }
    TMsgAntwort FrageJaNeinAbbrechen(QWidget*, const QString&) override { return TMsgAntwort::Abbrechen; }
    void Information(QWidget*, const QString&) override {}
    void Fehler(QWidget*, const QString&) override {}
};
} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/.local/share").toUtf8());
    QApplication app(argc, argv);
    PfadeBerechnen(home.path() + QStringLiteral("/Tastaro"), QStringLiteral(TASTARO_SOURCE_DATA_DIR));
    TStilleFragen fragen;
    std::vector<double> ms;
    for (int i = 0; i < 15; ++i) {
        THauptDienste d;
        d.Services = RealServices();
        d.Services.MessageBoxes = &fragen;
        QElapsedTimer t;
        t.start();
        auto form = std::make_unique<TForm1>(d);
        form->LoadKatThread();
        form->WaitForLoadKatThread();
        form->RegistryLadenSpeichern(true);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get())) return 1;
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("TForm1 constructed, areas loaded and first shown: %.1f ms (median of %zu, first %.1f ms)\n",
                ms[ms.size() / 2], ms.size(), ms.front());
    return 0;
}
