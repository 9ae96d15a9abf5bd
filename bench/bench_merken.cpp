// Loading an oversized "RememberFiles.txt" (100 MB, 1.87 million lines by
// default), as the loading thread does at start: time and the peak of the
// resident memory during the load.
//
//   bench_merken [MB=100] [vorhandene Dateien=200]
//
// The lines name the existing training files over and over with changing
// line numbers, mixed with files that no longer exist.

#include "RememberFilesC.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// VmHWM, the peak resident size, in MB; writing 5 to clear_refs resets it.
double SpitzeMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& zeile : f.readAll().split('\n'))
        if (zeile.startsWith("VmHWM:")) return zeile.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return -1;
}

void SpitzeZuruecksetzen() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qint64 mb = argc > 1 ? QByteArray(argv[1]).toLongLong() : 100;
    const int vorhanden = argc > 2 ? QByteArray(argv[2]).toInt() : 200;
    QTemporaryDir ordner;
    const QString texte = ordner.filePath(QStringLiteral("Trainingstexte/Bereich/"));
    QDir().mkpath(texte);
    for (int i = 0; i < vorhanden; ++i) {
        QFile f(texte + QStringLiteral("Lektion %1.txt").arg(i, 4, 10, QLatin1Char('0')));
        if (f.open(QIODevice::WriteOnly)) f.write("T\r\nA\r\nB\r\n");
    }

    const QString liste = ordner.filePath(QStringLiteral("RememberFiles.txt"));
    {
        QFile f(liste);
        if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write the list");
        QByteArray block;
        qint64 zeilen = 0;
        const QByteArray pfad = texte.toUtf8();
        while (f.size() + block.size() < mb * 1024 * 1024) {
            // every third line names a file that is gone
            const bool wegS = zeilen % 3 == 2;
            block += QByteArray::number(zeilen % 97 + 1) + " | " + pfad +
                     (wegS ? "Alt " + QByteArray::number(zeilen)
                           : "Lektion " + QByteArray::number(zeilen % vorhanden).rightJustified(4, '0')) +
                     ".txt\r\n";
            ++zeilen;
            if (block.size() > (1 << 20)) {
                f.write(block);
                block.clear();
            }
        }
        f.write(block);
        std::printf("RememberFiles.txt: %lld MB, %lld Zeilen, %d vorhandene Dateien\n",
                    static_cast<long long>(f.size() >> 20), static_cast<long long>(zeilen), vorhanden);
    }

    TRememberFiles merken(liste);
    SpitzeZuruecksetzen();
    const double vorher = SpitzeMb();
    QElapsedTimer uhr;
    uhr.start();
    const bool okS = merken.Load();
    const qint64 ms = uhr.elapsed();
    std::printf("  Load: %lld ms, Ergebnis %s, %d Einträge, gekürzt: %s\n", static_cast<long long>(ms),
                okS ? "ja" : "nein", merken.Count(), merken.Gekuerzt() ? "ja" : "nein");
    std::printf("  Speicherspitze: %.0f MB (vorher %.0f MB)\n", SpitzeMb(), vorher);
    return 0;
}
