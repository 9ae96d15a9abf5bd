#include "ScreenReaderDriverOrca.h"

#include "SpdVerbindung.h"
#include "TolkSRD.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QStandardPaths>
#include <QVariantMap>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {
// The dispatcher asks before every request; within this time the last
// answer stands.
constexpr auto Gueltigkeit = 400ms;

std::string DateiLesen(int AVerzeichnis, const std::string& APfad, size_t AHoechstens) {
    const int fd = ::openat(AVerzeichnis, APfad.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    std::string inhalt(AHoechstens, '\0');
    size_t gelesen = 0;
    while (gelesen < AHoechstens) {
        const ssize_t n = ::read(fd, inhalt.data() + gelesen, AHoechstens - gelesen);
        if (n <= 0) break;
        gelesen += size_t(n);
    }
    ::close(fd);
    inhalt.resize(gelesen);
    return inhalt;
}

std::string Dateiname(const std::string& APfad) {
    const size_t p = APfad.rfind('/');
    return p == std::string::npos ? APfad : APfad.substr(p + 1);
}

// The value of a variable in a NUL-separated environment block; none when
// the block does not have it.
std::optional<std::string> Variable(const std::string& AUmgebung, const std::string& AName) {
    const std::string suche = AName + '=';
    for (size_t anfang = 0; anfang < AUmgebung.size();) {
        size_t ende = AUmgebung.find('\0', anfang);
        if (ende == std::string::npos) ende = AUmgebung.size();
        if (AUmgebung.compare(anfang, suche.size(), suche) == 0)
            return AUmgebung.substr(anfang + suche.size(), ende - anfang - suche.size());
        anfang = ende + 1;
    }
    return std::nullopt;
}

// Only the Orca of our own desktop counts (a user may have several, e.g. a
// second login): the one on our session bus, as far as either side tells.
bool AufUnseremDesktop(int AProcFd, const std::string& APid) {
    const char* unserBus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!unserBus || !*unserBus) return true;
    const auto seinBus =
        Variable(DateiLesen(AProcFd, APid + "/environ", 256 * 1024), "DBUS_SESSION_BUS_ADDRESS");
    return !seinBus || *seinBus == unserBus;
}

// Orca is a Python script. Started through its #! line the process bears the
// script's name; started as "python3 /usr/bin/orca" the script is the first
// argument. Processes that have ended but are not yet collected do not count.
bool OrcaProzessLaeuft() {
    DIR* proc = ::opendir("/proc");
    if (!proc) return false;
    const int procFd = ::dirfd(proc);
    const uid_t ich = ::getuid();
    bool gefundenS = false;
    while (!gefundenS) {
        const dirent* e = ::readdir(proc);
        if (!e) break;
        if (!std::isdigit(static_cast<unsigned char>(e->d_name[0]))) continue;
        struct stat st;
        if (::fstatat(procFd, e->d_name, &st, 0) != 0 || st.st_uid != ich) continue;
        const std::string pid = e->d_name;
        const std::string stat = DateiLesen(procFd, pid + "/stat", 512);
        const size_t auf = stat.find('(');
        const size_t zu = stat.rfind(')');
        if (auf == std::string::npos || zu == std::string::npos || zu < auf || zu + 2 >= stat.size())
            continue;
        const char zustand = stat[zu + 2];
        if (zustand == 'Z' || zustand == 'X') continue;
        const std::string name = stat.substr(auf + 1, zu - auf - 1);
        bool orcaS = name == "orca";
        if (!orcaS && name.starts_with("python")) {
            const std::string cmdline = DateiLesen(procFd, pid + "/cmdline", 4096);
            const size_t ende0 = cmdline.find('\0');
            if (ende0 == std::string::npos) continue;
            orcaS = Dateiname(cmdline.substr(ende0 + 1, cmdline.find('\0', ende0 + 1) - ende0 - 1)) == "orca";
        }
        gefundenS = orcaS && AufUnseremDesktop(procFd, pid);
    }
    ::closedir(proc);
    return gefundenS;
}

// The desktop's switch "screen reader on" (set when Orca is started by the
// desktop, not when it is started by hand). Asked asynchronously and kept
// current through its change signal, so the caller never waits for the bus.
class TScreenReaderSchalter : public QObject {
    Q_OBJECT
public:
    bool Ein() const { return FEinS; }

    void Auffrischen() {
        const auto jetzt = std::chrono::steady_clock::now();
        if (FFrage || (FGefragtS && jetzt - FLetzteFrage < Gueltigkeit)) return;
        FGefragtS = true;
        FLetzteFrage = jetzt;
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) return;
        if (!FSignalS)
            FSignalS = bus.connect(QString(), QStringLiteral("/org/a11y/bus"),
                                   QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"), this,
                                   SLOT(EigenschaftenGeaendert(QString, QVariantMap, QStringList)));
        QDBusMessage frage = QDBusMessage::createMethodCall(
            QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        frage << QStringLiteral("org.a11y.Status") << QStringLiteral("ScreenReaderEnabled");
        FFrage = new QDBusPendingCallWatcher(bus.asyncCall(frage, 2000), this);
        connect(FFrage, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* AFrage) {
            const QDBusPendingReply<QDBusVariant> antwort = *AFrage;
            FEinS = !antwort.isError() && antwort.value().variant().toBool();
            AFrage->deleteLater();
            FFrage = nullptr;
        });
    }

private Q_SLOTS:
    void EigenschaftenGeaendert(const QString& AInterface, const QVariantMap& AGeaendert,
                                const QStringList&) {
        const auto it = AGeaendert.find(QStringLiteral("ScreenReaderEnabled"));
        if (AInterface == QLatin1String("org.a11y.Status") && it != AGeaendert.end()) FEinS = it->toBool();
    }

private:
    bool FEinS = false;
    bool FSignalS = false;
    bool FGefragtS = false;
    std::chrono::steady_clock::time_point FLetzteFrage;
    QDBusPendingCallWatcher* FFrage = nullptr;
};

// The names the driver's connection keeps Orca's settings under.
const QByteArrayList SprechweiseNamen = {"OUTPUT_MODULE", "LANGUAGE", "SYNTHESIS_VOICE", "RATE", "VOLUME"};

// Braille stays with Orca: it holds the display through BrlAPI, and a second
// client writing there would take the display away from it.
class TScreenReaderDriverOrca : public TScreenReaderDriver {
public:
    TScreenReaderDriverOrca()
        : TScreenReaderDriver(QStringLiteral("Orca"), true, false),
          FVerbindung(std::make_unique<TSpdVerbindung>("orca", "text", nullptr)) {}

    bool Speak(const QString& S, bool Interrupt) override {
        if (S.isEmpty() || !FVerbindung->Erreichbar()) return false;
        SprechweiseAuffrischen();
        if (Interrupt) FVerbindung->Abbrechen(true);
        FVerbindung->Sagen(S);
        return true;
    }

    bool Braille(const QString&) override { return false; }

    bool IsSpeaking() override { return FVerbindung->Spricht(); }

    // Stops Orca's own speech too: the server's speech of every client.
    bool Silence() override {
        if (!FVerbindung->Erreichbar()) return false;
        FVerbindung->Abbrechen(true);
        return true;
    }

    bool IsActive() override {
        const auto jetzt = std::chrono::steady_clock::now();
        if (!FProzessGeprueftS || jetzt - FProzessZeit >= Gueltigkeit) {
            FOrcaLaeuftS = OrcaProzessLaeuft();
            FProzessZeit = jetzt;
            FProzessGeprueftS = true;
        }
        if (!FSchalter) FSchalter = std::make_unique<TScreenReaderSchalter>();
        FSchalter->Auffrischen();
        return FOrcaLaeuftS || FSchalter->Ein();
    }

    bool Output(const QString& S, bool Interrupt) override {
        const bool gesprochenS = Speak(S, Interrupt);
        const bool gezeigtS = Braille(S);
        return gesprochenS || gezeigtS;
    }

private:
    // A fresh connection speaks English at the server's default rate: the
    // user's own Orca settings are read again whenever the file changed.
    void SprechweiseAuffrischen() {
        const QFileInfo info(OrcaEinstellungsDatei());
        const QDateTime stand = info.exists() ? info.lastModified() : QDateTime();
        if (FSprechweiseGelesenS && stand == FSprechweiseStand) return;
        FSprechweiseGelesenS = true;
        FSprechweiseStand = stand;
        QByteArray inhalt;
        QFile datei(info.filePath());
        // Anything larger is no settings file of Orca's.
        if (stand.isValid() && datei.open(QIODevice::ReadOnly)) inhalt = datei.read(4 * 1024 * 1024);
        const QByteArrayList befehle = OrcaSprechweise(inhalt);
        if (befehle == FSprechweise) return;
        FSprechweise = befehle;
        for (const QByteArray& name : SprechweiseNamen) {
            const auto it = std::find_if(befehle.begin(), befehle.end(), [&](const QByteArray& b) {
                return b.startsWith("SET SELF " + name + ' ');
            });
            FVerbindung->Einstellen(name, it != befehle.end() ? *it : QByteArray());
        }
    }

    std::unique_ptr<TSpdVerbindung> FVerbindung;
    std::unique_ptr<TScreenReaderSchalter> FSchalter;
    bool FSprechweiseGelesenS = false;
    QDateTime FSprechweiseStand;
    QByteArrayList FSprechweise;
    bool FOrcaLaeuftS = false;
    bool FProzessGeprueftS = false;
    std::chrono::steady_clock::time_point FProzessZeit;
};
} // namespace

QString OrcaEinstellungsDatei() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/orca/user-settings.conf");
}

QByteArrayList OrcaSprechweise(const QByteArray& AUserSettings) {
    const QJsonObject alles = QJsonDocument::fromJson(AUserSettings).object();
    const QJsonObject allgemein = alles.value(QLatin1String("general")).toObject();
    // The profile Orca starts with overrides the general settings key by key.
    const QString profilName =
        allgemein.value(QLatin1String("startingProfile")).toArray().at(1).toString(QStringLiteral("default"));
    const QJsonObject profil = alles.value(QLatin1String("profiles")).toObject().value(profilName).toObject();
    auto wert = [&](const char* AName) {
        const QLatin1String name(AName);
        return profil.contains(name) ? profil.value(name) : allgemein.value(name);
    };
    const QJsonObject stimme = wert("voices").toObject().value(QLatin1String("default")).toObject();
    const QJsonObject familie = stimme.value(QLatin1String("family")).toObject();

    // A value ends up in a command line of its own: no line breaks in it.
    auto einzeilig = [](const QString& AText) {
        return !AText.isEmpty() && !AText.contains(QLatin1Char('\n')) && !AText.contains(QLatin1Char('\r'));
    };
    QByteArrayList befehle;
    // Orca names the output module as the second item of its server info.
    const QString modul = wert("speechServerInfo").toArray().at(1).toString();
    if (einzeilig(modul)) befehle << "SET SELF OUTPUT_MODULE " + modul.toUtf8();
    const QString sprache = familie.value(QLatin1String("lang")).toString();
    const QString dialekt = familie.value(QLatin1String("dialect")).toString();
    const bool deutschS = sprache.compare(QLatin1String("de"), Qt::CaseInsensitive) == 0;
    const bool dialektS = deutschS && einzeilig(dialekt);
    befehle << QByteArray("SET SELF LANGUAGE de") + (dialektS ? '-' + dialekt.toUtf8() : QByteArray());
    const QString name = familie.value(QLatin1String("name")).toString();
    if (deutschS && einzeilig(name)) befehle << "SET SELF SYNTHESIS_VOICE " + name.toUtf8();
    // Orca's own scales (rate 0..99, gain 0..9) mapped as Orca maps them.
    if (const QJsonValue rate = stimme.value(QLatin1String("rate")); rate.isDouble())
        befehle << "SET SELF RATE " +
                       QByteArray::number(int(2 * std::clamp(rate.toDouble(), 0.0, 99.0) - 98));
    if (const QJsonValue gain = stimme.value(QLatin1String("gain")); gain.isDouble())
        befehle << "SET SELF VOLUME " +
                       QByteArray::number(int(15 * std::clamp(gain.toDouble(), 0.0, 9.0) - 35));
    return befehle;
}

std::unique_ptr<TScreenReaderDriver> CreateOrcaDriver() {
    return std::make_unique<TScreenReaderDriverOrca>();
}

// On Linux the screen reader is Orca.
TScreenReaderDriverListe PlatformScreenReaderDrivers() {
    TScreenReaderDriverListe l;
    l.push_back(CreateOrcaDriver());
    return l;
}

#include "ScreenReaderDriverOrca_unix.moc"
