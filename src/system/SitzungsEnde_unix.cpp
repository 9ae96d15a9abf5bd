#include "SitzungsEnde.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

int Rohr[2] = {-1, -1};

// What the signal handler may do: write one byte.
void SignalAngekommen(int) {
    const int gesichert = errno;
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(Rohr[1], &c, 1);
    errno = gesichert;
}

std::function<void()>& Sichern() {
    static std::function<void()> sichern;
    return sichern;
}

std::atomic<bool> Gesichert{false};
QPointer<QObject> Besitzer;

void EinmalSichern() {
    if (Besitzer && Sichern() && !Gesichert.exchange(true)) Sichern()();
}

} // namespace

void SitzungsEndeAbfangen(QObject* AOwner, std::function<void()> ASichern) {
    Sichern() = std::move(ASichern);
    Besitzer = AOwner;
    Gesichert = false;
    if (Rohr[0] < 0) {
        if (::pipe2(Rohr, O_CLOEXEC | O_NONBLOCK) != 0) return;
        // exit() from inside the event loop (the display is gone) leaves the
        // window alive: it can still keep its data.
        std::atexit([] { EinmalSichern(); });
    }
    auto* melder = new QSocketNotifier(Rohr[0], QSocketNotifier::Read, AOwner);
    QObject::connect(melder, &QSocketNotifier::activated, AOwner, [] {
        char puffer[16];
        while (::read(Rohr[0], puffer, sizeof puffer) > 0) {
        }
        EinmalSichern();
        QCoreApplication::quit();
    });
    struct sigaction sa {};
    sa.sa_handler = SignalAngekommen;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(sig, &sa, nullptr);
}
