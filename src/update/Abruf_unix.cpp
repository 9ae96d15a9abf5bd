#include "Abruf.h"

#include <QDeadlineTimer>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

// Started with posix_spawn rather than QProcess: QProcess lets the child run
// Qt code in the parent's memory until exec, which the thread checker cannot
// follow; and a plain poll on the worker thread is all the wait needs.

namespace {

class TFd {
public:
    explicit TFd(int AFd = -1) : FFd(AFd) {}
    ~TFd() { Schliessen(); }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int operator*() const { return FFd; }
    void Schliessen() {
        if (FFd >= 0) ::close(FFd);
        FFd = -1;
    }

private:
    int FFd;
};

// Ends the child and collects it, so that no zombie stays behind.
void Toeten(pid_t APid) {
    ::kill(APid, SIGKILL);
    while (::waitpid(APid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

TAbruf::TAbruf() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    FWeckLesen = fds[0];
    FWeckSchreiben = fds[1];
}

TAbruf::~TAbruf() {
    if (FWeckLesen >= 0) ::close(FWeckLesen);
    if (FWeckSchreiben >= 0) ::close(FWeckSchreiben);
}

void TAbruf::Abbrechen() {
    if (FWeckSchreiben < 0) return;
    const char byte = 1;
    // A full pipe already says the same.
    [[maybe_unused]] const ssize_t n = ::write(FWeckSchreiben, &byte, 1);
}

std::optional<QByteArray> TAbruf::Ausfuehren(const QString& AProgramm, const QStringList& AArgumente,
                                             int AFristMs, qint64 AMaxBytes) {
    if (FWeckLesen < 0 || AProgramm.isEmpty()) return std::nullopt;
    const QDeadlineTimer frist(AFristMs);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
    TFd lesen(fds[0]);
    TFd schreiben(fds[1]);

    std::vector<QByteArray> texte{QFile::encodeName(AProgramm)};
    for (const QString& a : AArgumente)
        texte.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& t : texte)
        argv.push_back(t.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t aktionen;
    if (posix_spawn_file_actions_init(&aktionen) != 0) return std::nullopt;
    pid_t pid = -1;
    int fehler = posix_spawn_file_actions_addopen(&aktionen, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (fehler == 0) fehler = posix_spawn_file_actions_adddup2(&aktionen, *schreiben, STDOUT_FILENO);
    if (fehler == 0) fehler = posix_spawn(&pid, argv[0], &aktionen, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&aktionen);
    if (fehler != 0) return std::nullopt;
    schreiben.Schliessen();

    QByteArray ausgabe;
    bool endeS = false; // the helper closed its output
    bool abbruchS = false;
    while (!endeS && !abbruchS) {
        if (frist.hasExpired()) break;
        pollfd warten[2] = {{*lesen, POLLIN, 0}, {FWeckLesen, POLLIN, 0}};
        const int n = ::poll(warten, 2, int(frist.remainingTime()));
        if (n < 0 && errno != EINTR) break;
        if (n <= 0) continue;
        if (warten[1].revents != 0) abbruchS = true;
        if (warten[0].revents == 0) continue;
        char puffer[16384];
        const ssize_t gelesen = ::read(*lesen, puffer, sizeof puffer);
        if (gelesen < 0 && errno != EINTR) break;
        if (gelesen == 0) endeS = true;
        if (gelesen > 0) ausgabe.append(puffer, gelesen);
        if (ausgabe.size() > AMaxBytes) break;
    }

    // After its output ends the helper exits at once; it is still given the
    // rest of the bound.
    int status = 0;
    bool gesammeltS = false;
    bool statusS = false;
    while (endeS && !abbruchS && !frist.hasExpired()) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid || (r < 0 && errno == ECHILD)) {
            gesammeltS = true;
            statusS = r == pid;
            break;
        }
        pollfd warten{FWeckLesen, POLLIN, 0};
        if (::poll(&warten, 1, int(std::min<qint64>(frist.remainingTime(), 10))) > 0) abbruchS = true;
    }
    if (!gesammeltS) Toeten(pid);
    if (!statusS || abbruchS || ausgabe.size() > AMaxBytes || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return ausgabe;
}
