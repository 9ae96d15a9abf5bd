// Splitting a training line for speech, as on every spoken line and keystroke
// command, and spelling it: median time of many runs.

#include "BuchstabierenC.h"
#include "VorlageC.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <vector>

namespace {

double MedianMikrosekunden(int ARunden, const auto& AAufgabe) {
    std::vector<qint64> zeiten;
    zeiten.reserve(static_cast<size_t>(ARunden));
    QElapsedTimer uhr;
    for (int i = 0; i < ARunden; ++i) {
        uhr.start();
        AAufgabe();
        zeiten.push_back(uhr.nsecsElapsed());
    }
    std::sort(zeiten.begin(), zeiten.end());
    return static_cast<double>(zeiten[zeiten.size() / 2]) / 1000.0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString zeile = QStringLiteral(
        "Am 3. Mai 2024 schrieb Frau Müller-Lüdenscheidt: \"Die E-Mail (ca. 10:30 Uhr) kam – "
        "z.B. mit 0815-Nummer, 3,5 kg Äpfel & 007; USA, iPhone, café?\" Vor- und Nachteile: ja! "
        "Größe: -5 °C. Tschüß, bis dann!");
    const QString datei = QStringLiteral(TASTARO_SOURCE_DATA_DIR "/Config/SpracheCharText.txt");
    TVorlage vorlage(datei);
    QString gesprochen, buchstabiert;
    constexpr int cRunden = 20000;

    const double split = MedianMikrosekunden(cRunden, [&] {
        vorlage.Split(zeile);
        gesprochen = vorlage.GetSprichSlStr();
    });
    const double spell = MedianMikrosekunden(cRunden, [&] { buchstabiert = GetBuchstabierenText(zeile); });

    QTextStream out(stdout);
    out << "line: " << zeile.size() << " characters, " << vorlage.Count() << " words, "
        << vorlage.SprichSl.size() << " chunks, " << vorlage.SpracheCharText().Count()
        << " character entries\n";
    out << "Split + GetSprichSlStr: median " << split << " us over " << cRunden << " runs\n";
    out << "GetBuchstabierenText:   median " << spell << " us over " << cRunden << " runs\n";
    out << "spoken:  " << gesprochen << "\n";
    out << "spelled: " << buchstabiert.left(160) << " ...\n";
    return 0;
}
