// The speech server connection against a server that takes the connection
// but never answers: the program must neither wait for it nor hang when the
// connection is given up.

#include "SpdVerbindung.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class TstSpdVerbindung : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stummerServerHaeltNichtAuf() {
        QTemporaryDir ordner;
        const QByteArray pfad = QFile::encodeName(ordner.filePath(QStringLiteral("speechd.sock")));
        const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(server >= 0);
        sockaddr_un adresse{};
        adresse.sun_family = AF_UNIX;
        std::strncpy(adresse.sun_path, pfad.constData(), sizeof(adresse.sun_path) - 1);
        QCOMPARE(::bind(server, reinterpret_cast<sockaddr*>(&adresse), sizeof(adresse)), 0);
        QCOMPARE(::listen(server, 4), 0); // connections are taken, nothing is ever read or written
        qputenv("SPEECHD_ADDRESS", "unix_socket:" + pfad);

        QElapsedTimer uhr;
        uhr.start();
        {
            TSpdVerbindung verbindung("tst", "text", {});
            QVERIFY(!verbindung.Verbunden(std::chrono::milliseconds(300)));
            verbindung.Sagen(QStringLiteral("Hallo"));
        }
        QVERIFY2(uhr.elapsed() < 2000, qPrintable(QString::number(uhr.elapsed())));
        ::close(server);
    }
};

QTEST_GUILESS_MAIN(TstSpdVerbindung)
#include "tst_spdverbindung.moc"
