// ctest-libs: Qt6::Multimedia

#include "ResConst.h"
#include "Services.h"
#include "WavData.h"

#include <QApplication>
#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

namespace {

void Put16(QByteArray& AOut, quint16 AValue) {
    char b[2];
    qToLittleEndian(AValue, b);
    AOut.append(b, 2);
}
void Put32(QByteArray& AOut, quint32 AValue) {
    char b[4];
    qToLittleEndian(AValue, b);
    AOut.append(b, 4);
}
QByteArray Chunk(const char* AId, const QByteArray& ABody, qint64 ADeclared = -1) {
    QByteArray out(AId, 4);
    Put32(out, quint32(ADeclared < 0 ? ABody.size() : ADeclared));
    out += ABody;
    if (ABody.size() % 2) out += '\0';
    return out;
}
QByteArray Fmt(int ATag, int AChannels, int ARate, int ABits, int AExtra = -1) {
    QByteArray f;
    Put16(f, quint16(ATag));
    Put16(f, quint16(AChannels));
    Put32(f, quint32(ARate));
    Put32(f, quint32(ARate * AChannels * ABits / 8));
    Put16(f, quint16(AChannels * ABits / 8));
    Put16(f, quint16(ABits));
    if (AExtra >= 0) Put16(f, quint16(AExtra));
    return Chunk("fmt ", f);
}
QByteArray Riff(const QByteArray& AChunks) {
    QByteArray out("RIFF");
    Put32(out, quint32(AChunks.size() + 4));
    return out + "WAVE" + AChunks;
}
QByteArray Wav(int AChannels, int ARate, int ABits, qsizetype APcmBytes) {
    return Riff(Fmt(1, AChannels, ARate, ABits) + Chunk("data", QByteArray(APcmBytes, '\x40')));
}

} // namespace

class TstServices : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parseWav_data();
    void parseWav();
    void soundWaitingEndsInTime_data();
    void soundWaitingEndsInTime();
    void audioPlayerRefuses();
    void messageBoxes_data();
    void messageBoxes();
    void shortcutThroughShell();
};

void TstServices::parseWav_data() {
    QTest::addColumn<QByteArray>("wav");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("pcmBytes");
    QTest::addColumn<qint64>("durationMs");

    QTest::newRow("16-bit mono") << Wav(1, 22050, 16, 44100) << true << 1 << 16 << 22050 << 44100
                                 << qint64(1000);
    QTest::newRow("8-bit stereo") << Wav(2, 11025, 8, 11025) << true << 2 << 8 << 11025 << 11024
                                  << qint64(499);
    QTest::newRow("unknown chunks skipped, odd one padded")
        << Riff(Chunk("LIST", "abc") + Fmt(1, 1, 8000, 8) + Chunk("fact", "1234") + Chunk("data", "xyz"))
        << true << 1 << 8 << 8000 << 3 << qint64(0);
    QTest::newRow("generated silence (18-byte format, no samples)")
        << Riff(Fmt(1, 1, 11025, 8, 0) + Chunk("data", {})) << true << 1 << 8 << 11025 << 0 << qint64(0);
    QTest::newRow("half a frame at the end dropped")
        << Wav(2, 8000, 16, 7) << true << 2 << 16 << 8000 << 4 << qint64(0);
    QByteArray wrongRiff = Wav(1, 8000, 8, 8000);
    qToLittleEndian(quint32(12), wrongRiff.data() + 4);
    QTest::newRow("wrong RIFF length tolerated")
        << wrongRiff << true << 1 << 8 << 8000 << 8000 << qint64(1000);

    const QByteArray full = Wav(1, 8000, 16, 1000);
    QTest::newRow("truncated data") << full.left(full.size() - 10) << false << 0 << 0 << 0 << 0 << qint64(0);
    QTest::newRow("data length beyond any file")
        << Riff(Fmt(1, 1, 8000, 8) + Chunk("data", "ab", 0xFFFFFFFFLL)) << false << 0 << 0 << 0 << 0
        << qint64(0);
    QTest::newRow("no data chunk") << Riff(Fmt(1, 1, 8000, 8)) << false << 0 << 0 << 0 << 0 << qint64(0);
    QTest::newRow("no format chunk") << Riff(Chunk("data", "abcd")) << false << 0 << 0 << 0 << 0 << qint64(0);
    QTest::newRow("compressed") << Riff(Fmt(2, 1, 8000, 4) + Chunk("data", "abcd")) << false << 0 << 0 << 0
                                << 0 << qint64(0);
    QTest::newRow("24-bit") << Wav(1, 8000, 24, 30) << false << 0 << 0 << 0 << 0 << qint64(0);
    QTest::newRow("three channels") << Wav(3, 8000, 16, 60) << false << 0 << 0 << 0 << 0 << qint64(0);
    QTest::newRow("rate zero") << Wav(1, 0, 16, 60) << false << 0 << 0 << 0 << 0 << qint64(0);
    QTest::newRow("garbage") << QByteArray("RIFF\x01\x02\x03\x04WAVEgarbage!", 20) << false << 0 << 0 << 0
                             << 0 << qint64(0);
    QTest::newRow("not RIFF") << QByteArray("ID3\x03 an mp3 file") << false << 0 << 0 << 0 << 0 << qint64(0);
    QTest::newRow("empty") << QByteArray() << false << 0 << 0 << 0 << 0 << qint64(0);
}

void TstServices::parseWav() {
    QFETCH(QByteArray, wav);
    QFETCH(bool, valid);
    const std::optional<TWavData> result = ParseWav(wav);
    QCOMPARE(result.has_value(), valid);
    if (!valid) return;
    QTEST(result->Kanaele, "channels");
    QTEST(result->Bits, "bits");
    QTEST(result->Rate, "rate");
    QTEST(int(result->Pcm.size()), "pcmBytes");
    QTEST(result->DauerMs(), "durationMs");
}

void TstServices::soundWaitingEndsInTime_data() {
    QTest::addColumn<QByteArray>("wav");
    QTest::addColumn<qint64>("durationMs");
    QTest::newRow("300 ms tone") << Wav(1, 8000, 8, 2400) << qint64(300);
    QTest::newRow("generated silence") << Riff(Fmt(1, 1, 11025, 8, 0) + Chunk("data", {})) << qint64(0);
    QTest::newRow("truncated") << Wav(1, 8000, 16, 1000).left(100) << qint64(0);
    QTest::newRow("garbage") << QByteArray(5000, '\xAA') << qint64(0);
}

void TstServices::soundWaitingEndsInTime() {
    QFETCH(QByteArray, wav);
    QFETCH(qint64, durationMs);
    ISoundPlayer* sounds = RealServices().Sounds;
    QVERIFY(sounds);
    QElapsedTimer clock;
    clock.start();
    sounds->Play(wav, true);
    // The sound's length, the player's own allowance, and slack for a busy machine.
    QVERIFY2(clock.elapsed() <= durationMs + 500 + 1000, qPrintable(QString::number(clock.elapsed())));
    sounds->Play(wav, false);
    sounds->Play(wav, false); // cuts the first one
    sounds->Stop();
    sounds->Stop();
}

void TstServices::audioPlayerRefuses() {
    IAudioPlayer* audio = RealServices().Audio;
    QVERIFY(audio);
    QTemporaryDir temp;
    QVERIFY(!audio->Play(temp.path() + QStringLiteral("/fehlt.mp3"), true));
    QVERIFY(!audio->Play(QString(), false));
    QVERIFY(!audio->IsPlaying());
    if (QMediaDevices::audioOutputs().isEmpty()) {
        QFile file(temp.path() + QStringLiteral("/text.mp3"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not really audio");
        file.close();
        QVERIFY(!audio->Play(file.fileName(), true)); // no device: refused, not crashed
    }
    audio->Stop();
    QVERIFY(!audio->IsPlaying());
}

void TstServices::messageBoxes_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<int>("icon");
    const QStringList janein{"Ja", "Nein"};
    const QStringList jna{"Ja", "Nein", "Abbrechen"};
    QTest::newRow("question, Enter is Yes")
        << "Frage" << int(Qt::Key_Return) << "Ja" << janein << int(QMessageBox::Question);
    QTest::newRow("question, Escape is No")
        << "Frage" << int(Qt::Key_Escape) << "Nein" << janein << int(QMessageBox::Question);
    QTest::newRow("three buttons, Escape is Cancel")
        << "FrageJNA" << int(Qt::Key_Escape) << "Abbrechen" << jna << int(QMessageBox::Question);
    QTest::newRow("three buttons, Enter is Yes")
        << "FrageJNA" << int(Qt::Key_Return) << "Ja" << jna << int(QMessageBox::Question);
    QTest::newRow("information") << "Information" << int(Qt::Key_Escape) << "" << QStringList{"OK"}
                                 << int(QMessageBox::Information);
    QTest::newRow("error") << "Fehler" << int(Qt::Key_Return) << "" << QStringList{"OK"}
                           << int(QMessageBox::Critical);
}

void TstServices::messageBoxes() {
    QFETCH(QString, kind);
    QFETCH(int, key);
    QFETCH(QString, answer);
    QFETCH(QStringList, buttons);
    QFETCH(int, icon);
    QString title, text;
    QStringList seen;
    int seenIcon = -1;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        title = box->windowTitle();
        text = box->text();
        seenIcon = box->icon();
        for (QAbstractButton* button : box->buttons())
            seen << button->text();
        QTest::keyClick(box, Qt::Key(key));
    });
    IMessageBoxes* boxes = RealServices().MessageBoxes;
    const QString message = QStringLiteral("Erste Zeile\rZweite Zeile");
    QString got;
    if (kind == QLatin1String("Frage")) {
        got = boxes->Frage(nullptr, message) ? QStringLiteral("Ja") : QStringLiteral("Nein");
    } else if (kind == QLatin1String("FrageJNA")) {
        const TMsgAntwort a = boxes->FrageJaNeinAbbrechen(nullptr, message);
        got = a == TMsgAntwort::Ja ? "Ja" : a == TMsgAntwort::Nein ? "Nein" : "Abbrechen";
    } else if (kind == QLatin1String("Information")) {
        boxes->Information(nullptr, message);
    } else {
        boxes->Fehler(nullptr, message);
    }
    QCOMPARE(got, answer);
    QCOMPARE(title, ProgrammTitel);
    QCOMPARE(text, QStringLiteral("Erste Zeile\nZweite Zeile"));
    QCOMPARE(seenIcon, icon);
    seen.sort();
    buttons.sort();
    QCOMPARE(seen, buttons);
}

void TstServices::shortcutThroughShell() {
    QTemporaryDir temp;
    const QString link = temp.path() + QStringLiteral("/Tastaro.lnk");
    QVERIFY(RealServices().Shell->CreateShortcut(link, QStringLiteral("/opt/tastaro/Tastaro"), ProgrammName));
    QFile file(link);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(file.readAll());
    QVERIFY(content.contains(QStringLiteral("\nExec=\"/opt/tastaro/Tastaro\"\n")));
    QVERIFY(content.contains(QStringLiteral("\nPath=/opt/tastaro\n")));
}

QTEST_MAIN(TstServices)
#include "tst_services.moc"
