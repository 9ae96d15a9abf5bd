// Constructing and first showing the main window under the offscreen
// platform, with the shipped training texts loaded by the loading thread:
// without a voice, with a speech server voice and with an in-process voice
// configured (neither may delay the first window), and how long selecting the
// voice takes afterwards, when the start timer applies it.

#include "EinstellungenSpeicher.h"
#include "Haupt.h"
#include "HauptFixture.h"
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
    const QStringList stimmen{QString(), QStringLiteral("espeak-ng: German"),
                              QStringLiteral("German (eSpeak NG)")};
    std::vector<std::vector<double>> ms(stimmen.size()), waehlen(stimmen.size());
    for (int i = 0; i < 15; ++i) {
        for (int s = 0; s < stimmen.size(); ++s) {
            TastaroSettingsStore()->setValue(QStringLiteral("Stimme"), stimmen.at(s));
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
            ms[s].push_back(t.nsecsElapsed() / 1e6);
            QElapsedTimer w;
            w.start();
            form->SetStimme();
            waehlen[s].push_back(w.nsecsElapsed() / 1e6);
            if (i == 0 && s > 0 && Innen(form).Speech->TokenNrIndex().Nr != s)
                std::printf("  (voice \"%s\" not found here: Nr %d)\n", qPrintable(stimmen.at(s)),
                            Innen(form).Speech->TokenNrIndex().Nr);
        }
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const char* namen[] = {"no voice", "speech server voice", "in-process voice"};
    for (int s = 0; s < stimmen.size(); ++s)
        std::printf("%-20s: first shown %.1f ms (median of %zu; difference to no voice %+.1f ms), "
                    "selecting the voice afterwards %.1f ms\n",
                    namen[s], median(ms[s]), ms[s].size(), median(ms[s]) - median(ms[0]), median(waehlen[s]));
    return 0;
}
