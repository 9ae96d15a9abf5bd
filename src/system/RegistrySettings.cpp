#include "RegistrySettings.h"

#include "PlainIni.h"
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString WertParameter = QStringLiteral("ProgramParameters");
const QString WertSetFocus = QStringLiteral("ProgramSetFocus");
const QString WertClose = QStringLiteral("ProgramClose");

QString Schluessel(QString AKeyName) {
    if (AKeyName.startsWith(QLatin1Char('\\'))) AKeyName.remove(0, 1);
    return AKeyName;
}

// Writer and reader take this lock around their whole work, so that the
// reader never removes a store a writer has just filled.
class TStoreSperre {
public:
    explicit TStoreSperre(const QString& AFile) : FLock(AFile + QStringLiteral(".uebergabe.lock")) {
        FLock.setStaleLockTime(5000);
        FGesperrtS = FLock.tryLock(2000);
    }
    bool Gesperrt() const { return FGesperrtS; }

private:
    QLockFile FLock;
    bool FGesperrtS = false;
};

// Empty without a usable runtime folder.
QString CaptionDatei() {
    const QString folder = InstanceRuntimeFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/Tastaro.fenster");
}

} // namespace

TRegistrySettings TRegistrySettings::SetData(const QString& AParameters, const QString& ASetFocus,
                                             const QString& AClose) {
    Parameters = AParameters;
    SetFocus = ASetFocus;
    Close = AClose;
    return *this;
}

TRegistrySettings TRegistrySettings::rsParameters(const QString& AParameters) {
    return TRegistrySettings().SetData(BuildParameterString(AParameters), QString(), QString());
}

TRegistrySettings TRegistrySettings::rsSetFocus(const QString& ASetFocus) {
    return TRegistrySettings().SetData(QString(), ASetFocus.isEmpty() ? QStringLiteral("1") : ASetFocus,
                                       QString());
}

TRegistrySettings TRegistrySettings::rsClose(const QString& AClose) {
    return TRegistrySettings().SetData(QString(), QString(), AClose.isEmpty() ? QStringLiteral("1") : AClose);
}

QString BuildParameterString(const QString& AText) {
    return BuildParameterString(AText, QCoreApplication::arguments());
}

QString BuildParameterString(const QString& AText, const QStringList& AParams) {
    if (!AText.isEmpty()) return AText;
    QString s;
    const qsizetype anzahl = AParams.size() - 1;
    for (qsizetype i = 1; i <= anzahl; ++i) {
        const QString p = AParams.at(i).trimmed();
        if (p.isEmpty()) continue;
        s += p;
        if (i < anzahl) s += QLatin1Char('|');
    }
    return s;
}

QString HandoffStoreFile(const QString& AKeyName) {
    // Beside the settings store, but a file of its own.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
           Schluessel(AKeyName) + QStringLiteral("-Uebergabe.conf");
}

bool WriteRegistrySettings(const QString& AKeyName, const TRegistrySettings& ARec) {
    if (ARec.Parameters.isEmpty() && ARec.SetFocus.isEmpty() && ARec.Close.isEmpty()) return true;
    try {
        const QString datei = HandoffStoreFile(AKeyName);
        if (!QDir().mkpath(QFileInfo(datei).absolutePath())) return false;
        TStoreSperre sperre(datei);
        if (!sperre.Gesperrt()) return false;
        QSettings store(datei, PlainIniFormat());
        if (!ARec.Parameters.isEmpty()) store.setValue(WertParameter, ARec.Parameters);
        if (!ARec.SetFocus.isEmpty()) store.setValue(WertSetFocus, ARec.SetFocus);
        if (!ARec.Close.isEmpty()) store.setValue(WertClose, ARec.Close);
        store.sync();
        return store.status() == QSettings::NoError;
    } catch (...) {
        return false;
    }
}

bool ReadRegistrySettings(const QString& AKeyName, TRegistrySettings& ARec) {
    ARec = TRegistrySettings();
    try {
        const QString datei = HandoffStoreFile(AKeyName);
        // Polled ten times a second: the usual case costs one look at the folder.
        if (!QFile::exists(datei)) return false;
        TStoreSperre sperre(datei);
        if (!sperre.Gesperrt()) return false;
        bool gefundenS = false;
        {
            QSettings store(datei, PlainIniFormat());
            if (store.status() == QSettings::FormatError) {
                // No writer of ours leaves such a store: it would only be read again and again.
                QFile::remove(datei);
                return false;
            }
            if (store.status() != QSettings::NoError) return false;
            for (const auto& [name, feld] :
                 {std::pair{WertParameter, &ARec.Parameters}, std::pair{WertSetFocus, &ARec.SetFocus},
                  std::pair{WertClose, &ARec.Close}}) {
                if (!store.contains(name)) continue;
                *feld = store.value(name).toString();
                store.remove(name);
                gefundenS = true;
            }
            store.sync();
            if (!store.allKeys().isEmpty()) return gefundenS;
        }
        QFile::remove(datei);
        return gefundenS;
    } catch (...) {
        return false;
    }
}

void DiscardRegistrySettings(const QString& AKeyName) {
    const QString datei = HandoffStoreFile(AKeyName);
    if (!QFile::exists(datei)) return;
    TStoreSperre sperre(datei);
    QFile::remove(datei);
}

void PublishWindowCaption(const QString& ACaption) {
    // Written beside it and renamed over it, so that a second start never reads
    // half a caption. It is not synced to the disk: the file lives only as long
    // as the window, and a sync would hold up the start. A link put in its
    // place is never followed.
    const QString ziel = CaptionDatei();
    if (ziel.isEmpty()) return;
    const QByteArray neu = QFile::encodeName(ziel + QStringLiteral(".neu"));
    ::unlink(neu.constData());
    const int fd = ::open(neu.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const QByteArray inhalt = ACaption.toUtf8();
    const bool ganzS = ::write(fd, inhalt.constData(), size_t(inhalt.size())) == inhalt.size();
    ::close(fd);
    if (!ganzS || std::rename(neu.constData(), QFile::encodeName(ziel).constData()) != 0)
        ::unlink(neu.constData());
}

void WithdrawWindowCaption() {
    if (const QString datei = CaptionDatei(); !datei.isEmpty()) QFile::remove(datei);
}

bool CaptionMatchesTitle(const QString& ACaption, const QString& ATitle) {
    if (ACaption.isEmpty() || ATitle.isEmpty() || ATitle.size() > ACaption.size()) return false;
    return ACaption.indexOf(ATitle) == ACaption.size() - ATitle.size();
}

QString FindWindowByTitle(const QString& ATitle) {
    const QString datei = CaptionDatei();
    if (datei.isEmpty()) return QString();
    const int fd = ::open(QFile::encodeName(datei).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return QString();
    QByteArray inhalt(4096, Qt::Uninitialized);
    const ssize_t n = ::read(fd, inhalt.data(), size_t(inhalt.size()));
    ::close(fd);
    const QString caption = QString::fromUtf8(inhalt.constData(), n > 0 ? n : 0);
    return CaptionMatchesTitle(caption, ATitle) ? caption : QString();
}

TWatchRegistrySettings::TWatchRegistrySettings(QObject* AApp, const THandoffEmpfaenger& AEmpfaenger,
                                               const QString& AAppName)
    : FAppHandle(AApp), FEmpfaenger(AEmpfaenger), FAppName(AAppName) {
    start(QThread::LowPriority);
}

TWatchRegistrySettings::~TWatchRegistrySettings() {
    requestInterruption();
    wait();
    // The thread's last step took this lock: whatever it did is done now,
    // in a way the thread checkers can see as well.
    std::lock_guard lock(FMutex);
    // A delivery still posted to this object goes with it.
}

bool TWatchRegistrySettings::Pause() {
    for (int i = 0; i < 4; ++i) {
        if (isInterruptionRequested()) return false;
        QThread::msleep(25);
    }
    return !isInterruptionRequested();
}

void TWatchRegistrySettings::run() {
    // Requests left from before this instance started are not for it.
    DiscardRegistrySettings(FAppName);
    while (Pause()) {
        TRegistrySettings r;
        if (ReadRegistrySettings(FAppName, r)) {
            if (!r.Parameters.isEmpty())
                QueueRegistryCommand(r.Parameters, QString(), QString());
            else if (!r.SetFocus.isEmpty())
                QueueRegistryCommand(QString(), QString(), r.SetFocus);
            else if (!r.Close.isEmpty())
                QueueRegistryCommand(QString(), r.Close, QString());
        }
        if (!Pause()) break;
    }
    std::lock_guard lock(FMutex);
}

void TWatchRegistrySettings::QueueRegistryCommand(const QString& AParameters, const QString& AClose,
                                                  const QString& ASetFocus) {
    {
        std::lock_guard lock(FMutex);
        FAnfragen.push_back(TRegistrySettings().SetData(AParameters, ASetFocus, AClose));
    }
    // This object lives on the GUI thread: the delivery runs there.
    QMetaObject::invokeMethod(this, "Ausliefern", Qt::QueuedConnection);
}

void TWatchRegistrySettings::Ausliefern() {
    std::deque<TRegistrySettings> anfragen;
    {
        std::lock_guard lock(FMutex);
        anfragen.swap(FAnfragen);
    }
    for (const TRegistrySettings& r : anfragen) {
        if (!FAppHandle) return;
        if (!r.Parameters.isEmpty()) {
            if (FEmpfaenger.Parameters) FEmpfaenger.Parameters(r.Parameters);
        } else if (!r.SetFocus.isEmpty()) {
            if (FEmpfaenger.SetFocus) FEmpfaenger.SetFocus();
        } else if (!r.Close.isEmpty()) {
            if (FEmpfaenger.Close) FEmpfaenger.Close();
        }
    }
}
