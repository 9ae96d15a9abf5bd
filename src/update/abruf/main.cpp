// tastaro-abruf: fetches the update check's version file and ends.
//
// The trainer runs for hours, but needs the network stack (Qt Network, TLS,
// proxy and Kerberos libraries) for well under a second at start. So the one
// GET runs in this short-lived program, and the trainer never maps any of it.
//
//   tastaro-abruf URL TRANSFER_MS REQUEST_MS MAX_BYTES
//
// Exit status 0: a response arrived (whatever its HTTP status), and standard
// output holds its Content-Type header, a line feed, then the body exactly as
// received. Any other exit status: no usable response. Nothing is read from
// standard input and nothing else is written to standard output.

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

enum TAbrufEnde { aeErfolg = 0, aeFehlschlag = 1, aeAufruf = 2, aeAusgabe = 3 };

const QString UserAgent = QStringLiteral("Mozilla/3.0");

// Ends at once. Qt's clean-up at exit waits for a name lookup that is still
// running on its pool thread, and the system resolver may take far longer to
// give up than the request may last.
[[noreturn]] void Beenden(TAbrufEnde AEnde) {
    const bool geschriebenS = std::fflush(stdout) == 0;
    std::_Exit(AEnde == aeErfolg && !geschriebenS ? aeAusgabe : AEnde);
}

qint64 Zahl(const char* AText) {
    bool okS = false;
    const qint64 n = QByteArray(AText).toLongLong(&okS);
    return okS && n > 0 ? n : 0;
}

// Errors that QNetworkReply reports for an HTTP status: a response did
// arrive, and its body is used like any other.
bool IsHttpStatusError(QNetworkReply::NetworkError AError) {
    return (AError >= QNetworkReply::ContentAccessDenied && AError <= QNetworkReply::UnknownContentError) ||
           (AError >= QNetworkReply::InternalServerError && AError <= QNetworkReply::UnknownServerError);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 5) Beenden(aeAufruf);
    const QUrl url(QString::fromUtf8(argv[1]), QUrl::StrictMode);
    const qint64 transferMs = Zahl(argv[2]);
    const qint64 anfrageMs = Zahl(argv[3]);
    const qint64 maxBytes = Zahl(argv[4]);
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) ||
        transferMs <= 0 || transferMs > INT_MAX || anfrageMs <= 0 || anfrageMs > INT_MAX || maxBytes <= 0)
        Beenden(aeAufruf);

    QCoreApplication app(argc, argv);
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent);
    // Qt bounds the silence between two pieces of the transfer, the
    // connection included; the timer below bounds the whole.
    request.setTransferTimeout(int(transferMs));
    const std::unique_ptr<QNetworkReply> owner(manager.get(request));
    QNetworkReply* reply = owner.get();

    QByteArray body;
    bool failedS = false;
    auto abbrechen = [&] {
        failedS = true;
        reply->abort();
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        const QVariant laenge = reply->header(QNetworkRequest::ContentLengthHeader);
        if (laenge.isValid() && laenge.toLongLong() > maxBytes) abbrechen();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        body += reply->readAll();
        if (body.size() > maxBytes) abbrechen();
    });
    QObject::connect(reply, &QNetworkReply::finished, &app, &QCoreApplication::quit);
    QTimer gesamt;
    gesamt.setSingleShot(true);
    QObject::connect(&gesamt, &QTimer::timeout, reply, abbrechen);
    gesamt.start(int(anfrageMs));
    if (!reply->isFinished()) app.exec();
    gesamt.stop();

    if (!failedS && reply->isOpen()) {
        body += reply->readAll();
        if (body.size() > maxBytes) failedS = true;
    }
    const QNetworkReply::NetworkError fehler = reply->error();
    if (failedS || (fehler != QNetworkReply::NoError && !IsHttpStatusError(fehler))) Beenden(aeFehlschlag);

    // The header is the first line, so no line break of its own may remain in it.
    QByteArray kopf = reply->rawHeader("Content-Type");
    kopf.replace('\r', ' ').replace('\n', ' ');
    kopf += '\n';
    if (std::fwrite(kopf.constData(), 1, size_t(kopf.size()), stdout) != size_t(kopf.size()) ||
        std::fwrite(body.constData(), 1, size_t(body.size()), stdout) != size_t(body.size()))
        Beenden(aeAusgabe);
    Beenden(aeErfolg);
}
