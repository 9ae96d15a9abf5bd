// Opening a large training area (500 files of 50 pairs) and listing 200
// areas at start-up; prints milliseconds, best of several runs.

#include "DatenC.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

void WriteFile(const QString& AName, const QByteArray& AContent) {
    QFile F(AName);
    if (F.open(QIODevice::WriteOnly | QIODevice::Truncate)) F.write(AContent);
}

double BestOf(int ARuns, const std::function<void()>& AWork) {
    double Best = 1e9;
    for (int I = 0; I < ARuns; ++I) {
        QElapsedTimer T;
        T.start();
        AWork();
        Best = std::min(Best, T.nsecsElapsed() / 1e6);
    }
    return Best;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication App(argc, argv);
    QTemporaryDir Dir;
    const QString Area = Dir.filePath(QStringLiteral("Bereich"));
    QDir().mkpath(Area);

    for (int F = 0; F < 500; ++F) {
        QByteArray Text = "Übung " + QByteArray::number((F * 7919) % 500) + "\r\n";
        for (int P = 0; P < 50; ++P)
            Text += "Linker Zeigefinger: f g f, dann das Wort Straße {{+}}\r\nfgf Straße fgf gäbe Äpfel\r\n";
        WriteFile(Area + QStringLiteral("/Datei %1.txt").arg(F), Text);
    }
    for (int K = 0; K < 200; ++K)
        WriteFile(Dir.filePath(QStringLiteral("Bereich %1.kat").arg(K)),
                  "0 Bereich " + QByteArray::number((K * 31) % 200) + "\r\n1 Bereich\r\n");

    TDaten Daten(Dir.filePath(QStringLiteral("Mp3Texte")));
    const double DatenMs = BestOf(5, [&] { Daten.Load(Area, QStringLiteral("*.txt *.rtf")); });
    TKat Kat;
    const double KatMs = BestOf(10, [&] { Kat.Load(Dir.path(), QStringLiteral("*.kat")); });

    std::printf("TDaten.Load, 500 files of 50 pairs: %.1f ms (%d files)\n", DatenMs, Daten.Count());
    std::printf("TKat.Load, 200 title files:         %.1f ms (%d areas)\n", KatMs, Kat.Count());
    return 0;
}
