#pragma once
// Runs the update check's fetch helper (tastaro-abruf) and collects what it
// writes, within a bound and cancellable from another thread.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class TAbruf {
public:
    TAbruf();
    ~TAbruf();
    TAbruf(const TAbruf&) = delete;
    TAbruf& operator=(const TAbruf&) = delete;

    // Runs AProgramm with AArgumente, standard input empty, standard error
    // shared with this program. Its standard output when it ends by itself
    // with status 0 within AFristMs and writes at most AMaxBytes; nothing
    // otherwise, and nothing once Abbrechen was called. A helper that is
    // still running then is killed and waited for. One caller at a time.
    std::optional<QByteArray> Ausfuehren(const QString& AProgramm, const QStringList& AArgumente,
                                         int AFristMs, qint64 AMaxBytes);
    // From any thread: the running call and every later one end at once.
    void Abbrechen();

private:
    // The cancel signal: a byte in a pipe that is never drained, so that the
    // waiting thread sees it at once in its poll, however late it looks.
    int FWeckLesen = -1;
    int FWeckSchreiben = -1;
};
