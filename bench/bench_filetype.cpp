// Detection and reading times of the text file reader on typical large files.

#include "RtfRef.h"
#include "TextFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 31;

double MedianMs(const std::function<void()>& AWork) {
    std::vector<double> Times;
    for (int I = 0; I < kRuns; ++I) {
        QElapsedTimer Timer;
        Timer.start();
        AWork();
        Times.push_back(static_cast<double>(Timer.nsecsElapsed()) / 1e6);
    }
    std::sort(Times.begin(), Times.end());
    return Times[Times.size() / 2];
}

// Whole lines up to the wanted size in UTF-8, counted once per line rather
// than by encoding the growing text again at every step.
QString GermanText(qsizetype ABytesWanted) {
    const QString Line = QString::fromUtf8("Übung macht den Meister: Grüße aus Köln, Straße, Äpfel, Öl.\r\n");
    const qsizetype LineBytes = Line.toUtf8().size();
    return Line.repeated(std::max<qsizetype>(ABytesWanted / LineBytes - 1, 0));
}

void Put(const QString& AName, const QByteArray& AData) {
    QFile File(AName);
    if (!File.open(QIODevice::WriteOnly) || File.write(AData) != AData.size()) std::perror("write");
}

} // namespace

int main() {
    QTemporaryDir Dir;
    const QString Utf8Name = Dir.filePath(QStringLiteral("utf8.txt"));
    const QString AnsiName = Dir.filePath(QStringLiteral("ansi.txt"));
    const QString RtfName = Dir.filePath(QStringLiteral("text.rtf"));

    const QString Big10 = GermanText(10 << 20);
    const QString Utf8BigName = Dir.filePath(QStringLiteral("utf8-10.txt"));
    const QByteArray Big10Utf8 = Big10.toUtf8();
    Put(Utf8BigName, Big10Utf8);
    const QString Big = GermanText(1 << 20);
    Put(Utf8Name, Big.toUtf8());
    Put(AnsiName, EncodeAnsi(Big));
    // a document of about 1 MiB, as a word processor saves a long text
    const QByteArray Rtf = TRtfRef::TextToRtf(GermanText(900 * 1024), nullptr);
    Put(RtfName, Rtf);

    volatile int Sink = 0;
    const double Utf8BigMs = MedianMs([&] { Sink = Sink + GetFileTextType(Utf8BigName); });
    const double Utf8Ms = MedianMs([&] { Sink = Sink + GetFileTextType(Utf8Name); });
    const double AnsiMs = MedianMs([&] { Sink = Sink + GetFileTextType(AnsiName); });
    const double RtfMs = MedianMs([&] { Sink = Sink + static_cast<int>(ReadTextFile(RtfName).size()); });

    std::printf("GetFileTextType, 10 MiB UTF-8:     %8.3f ms = %.0f MB/s (median of %d)\n", Utf8BigMs,
                Big10Utf8.size() / 1e6 / (Utf8BigMs / 1000.0), kRuns);
    std::printf("GetFileTextType, 1 MiB UTF-8:      %8.3f ms (median of %d)\n", Utf8Ms, kRuns);
    std::printf("GetFileTextType, 1 MiB ANSI:       %8.3f ms (median of %d)\n", AnsiMs, kRuns);
    std::printf("ReadTextFile, %3lld KiB RTF:         %8.3f ms (median of %d)\n",
                static_cast<long long>(Rtf.size() / 1024), RtfMs, kRuns);
    return 0;
}
