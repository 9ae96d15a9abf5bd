#include "UpdaterC.h"

#include "PlainIni.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSettings>
#include <QStringDecoder>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <optional>

#ifndef TASTARO_UPDATE_URL
#define TASTARO_UPDATE_URL "https://updates.example.invalid/updates/"
#endif
#ifndef TASTARO_ABRUF_PROGRAMM
#define TASTARO_ABRUF_PROGRAMM ""
#endif

QString UpdateBaseUrl() {
    QString url = QStringLiteral(TASTARO_UPDATE_URL);
    if (!url.endsWith(QLatin1Char('/'))) url += QLatin1Char('/');
    return url;
}

namespace {

const QString RegistryModeName = QStringLiteral("UpdaterCheckMode");
const QString RegistryDateName = QStringLiteral("UpdaterLastSuccessfulCheck");
const QString IniSection = QStringLiteral("Updater");
const QString IniModeName = QStringLiteral("CheckMode");
// The newest version the user was told of where no updater can install it.
const QString RegistryAngesagtName = QStringLiteral("UpdaterAngesagt");
const QString IniAngesagtName = QStringLiteral("Angesagt");
const QString IniDateName = QStringLiteral("LastSuccessfulCheck");

// A registry path of the current user as the per-user store that stands for
// it: "\Software\<Organisation>[\<Application>]", the layout QSettings uses
// for the registry on Windows.
std::unique_ptr<QSettings> RegistryStore(const QString& AKey) {
    QStringList teile = AKey.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!teile.isEmpty() && teile.first().compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0)
        teile.removeFirst();
    if (teile.isEmpty()) return nullptr;
    const QString organisation = teile.takeFirst();
    return UserStore(organisation, teile.join(QLatin1Char('/')));
}

std::optional<int> StoredMode(const QVariant& AWert) {
    bool okS = false;
    const int n = AWert.toString().trimmed().toInt(&okS, 10);
    if (!okS || n < ucmEveryStart || n > ucmManualOnly) return std::nullopt;
    return n;
}

// The value of AKey in section ASection of an ini text; names match without
// regard to case, and the first occurrence wins.
QString IniValue(const QString& AText, const QString& ASection, const QString& AKey) {
    bool inSectionS = false;
    for (QString zeile : AText.split(QLatin1Char('\n'))) {
        zeile = zeile.trimmed();
        if (zeile.isEmpty() || zeile.startsWith(QLatin1Char(';'))) continue;
        if (zeile.startsWith(QLatin1Char('[')) && zeile.endsWith(QLatin1Char(']'))) {
            inSectionS = zeile.mid(1, zeile.size() - 2).trimmed().compare(ASection, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSectionS) continue;
        const qsizetype gleich = zeile.indexOf(QLatin1Char('='));
        if (gleich > 0 && zeile.left(gleich).trimmed().compare(AKey, Qt::CaseInsensitive) == 0)
            return zeile.mid(gleich + 1).trimmed();
    }
    return QString();
}

// The body in the character set the response declares; without one, UTF-8
// when it is valid (a version file is plain ASCII), else Latin-1.
QString DecodeBody(const QByteArray& ABody, const QString& AContentType) {
    for (const QString& teil : AContentType.split(QLatin1Char(';'))) {
        const QString t = teil.trimmed();
        if (!t.startsWith(QLatin1String("charset="), Qt::CaseInsensitive)) continue;
        QString name = t.mid(8).trimmed();
        name.remove(QLatin1Char('"'));
        QStringDecoder decoder(name.toLatin1().constData());
        if (decoder.isValid()) {
            QString text = decoder(ABody);
            if (!decoder.hasError()) return text;
        }
        break;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(ABody);
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(ABody);
}

// The fetch helper beside the running program; else the one in the build's
// bin folder, for programs (tests) that run from elsewhere.
// Only the helper beside the program: no other path is ever run.
QString StandardAbrufProgramm() {
    if (!QCoreApplication::instance()) return QString();
    const QString daneben = QCoreApplication::applicationDirPath() + QStringLiteral("/tastaro-abruf");
    return QFileInfo(daneben).isExecutable() ? daneben : QString();
}

// Names on the reserved domains that never resolve (RFC 2606, RFC 6761).
bool KannAntworten(const QString& AUrl) {
    const QUrl url(AUrl);
    const QString host = url.host().toLower();
    if (!url.isValid() || host.isEmpty()) return false;
    for (const char* domain : {".invalid", ".example", ".test"}) {
        const QLatin1String d(domain);
        if (host.endsWith(d) || host == d.mid(1)) return false;
    }
    return true;
}

// More than the helper may write (the Content-Type line and a body within
// the limit): a helper that writes more is not trusted.
constexpr qint64 MaxAusgabeBytes = TUpdater::MaxBodyBytes + 64 * 1024;

} // namespace

TUpdater::TUpdater(QObject* AHnd, const QString& AUpdaterFolder, const QString& AVersionFileName,
                   TUpdateCheckMode ADefaultCheckMode, const QString& ABaseUrl)
    : FMainWindowHandle(AHnd), FMainWindowS(AHnd != nullptr), FCheckMode(ADefaultCheckMode) {
    FUpdaterFolder = AUpdaterFolder.trimmed();
    FVersionFileName = AVersionFileName.isEmpty() ? FUpdaterFolder + QStringLiteral(".ver")
                                                  : QFileInfo(AVersionFileName).fileName();
    FVersionSection = QFileInfo(FVersionFileName).completeBaseName();
    QString basis = ABaseUrl.isEmpty() ? UpdateBaseUrl() : ABaseUrl;
    if (!basis.endsWith(QLatin1Char('/'))) basis += QLatin1Char('/');
    FVersionUrl = basis + FUpdaterFolder + QLatin1Char('/') + FVersionFileName;
    FAbrufProgramm = StandardAbrufProgramm();
}

TUpdater::~TUpdater() {
    Shutdown();
    JoinThread();
}

void TUpdater::UseIniStorage(const QString& AFilename) {
    FStorageKind = uskIni;
    FStorageLocation = AFilename;
    LoadSettings();
}

void TUpdater::UseRegistryStorage(const QString& AKey) {
    FStorageKind = uskRegistry;
    FStorageLocation = AKey;
    LoadSettings();
}

void TUpdater::ClearStorage() {
    FStorageKind = uskNone;
    FStorageLocation.clear();
}

void TUpdater::LoadSettings() {
    if (FStorageLocation.isEmpty()) return;
    std::unique_ptr<QSettings> store;
    QString modeName = RegistryModeName;
    QString dateName = RegistryDateName;
    QString angesagtName = RegistryAngesagtName;
    if (FStorageKind == uskIni) {
        store = std::make_unique<QSettings>(FStorageLocation, QSettings::IniFormat);
        store->beginGroup(IniSection);
        modeName = IniModeName;
        dateName = IniDateName;
        angesagtName = IniAngesagtName;
    } else if (FStorageKind == uskRegistry) {
        store = RegistryStore(FStorageLocation);
    }
    if (!store || store->status() != QSettings::NoError) return;
    if (store->contains(modeName)) {
        if (const auto mode = StoredMode(store->value(modeName))) {
            QMutexLocker lock(&FCriticalSection);
            FCheckMode = TUpdateCheckMode(*mode);
        }
    }
    // An ini file without the date means no successful check yet; a registry
    // key without it leaves what is known.
    if (FStorageKind == uskIni || store->contains(dateName))
        SetLastSuccessfulCheck(TryParseCheckDate(store->value(dateName).toString()));
    FAngesagt = store->value(angesagtName).toString();
}

void TUpdater::SaveSettings() {
    if (FStorageLocation.isEmpty()) return;
    int mode = 0;
    QString datum;
    {
        QMutexLocker lock(&FCriticalSection);
        mode = FCheckMode;
        datum = FormatCheckDate(FLastSuccessfulCheck);
    }
    if (FStorageKind == uskIni) {
        QSettings store(FStorageLocation, QSettings::IniFormat);
        store.beginGroup(IniSection);
        store.setValue(IniModeName, mode);
        store.setValue(IniDateName, datum);
        if (!FAngesagt.isEmpty()) store.setValue(IniAngesagtName, FAngesagt);
        store.endGroup();
        store.sync();
    } else if (FStorageKind == uskRegistry) {
        if (const auto store = RegistryStore(FStorageLocation)) {
            store->setValue(RegistryModeName, mode);
            store->setValue(RegistryDateName, datum);
            if (!FAngesagt.isEmpty()) store->setValue(RegistryAngesagtName, FAngesagt);
            store->sync();
        }
    }
}

void TUpdater::ConfigureNotification(std::function<void()> ANotify) {
    QMutexLocker lock(&FCriticalSection);
    FNotify = std::move(ANotify);
}

bool TUpdater::IsUpdateCheckDue() const {
    return IsUpdateCheckDue(QDateTime::currentDateTime());
}

bool TUpdater::IsUpdateCheckDue(const QDateTime& ANow) const {
    const QDateTime letzte = LastSuccessfulCheck();
    switch (CheckMode()) {
    case ucmDaily:
        return !letzte.isValid() || letzte.date() != ANow.date();
    case ucmWeekly:
        // Days of the calendar, as the stored local date counts them.
        return !letzte.isValid() || letzte > ANow || letzte.addDays(7) <= ANow;
    case ucmManualOnly:
        return false;
    case ucmEveryStart:
    default:
        return true;
    }
}

void TUpdater::CheckForUpdatesAtStartup() {
    if (IsUpdateCheckDue()) CheckForUpdates();
}

void TUpdater::CheckForUpdates() {
    if (FChecking.load() || FStopRequested.load()) return;
    JoinThread();
    SetStatus(utNone);
    {
        QMutexLocker lock(&FCriticalSection);
        FNewVersion.Clear();
    }
    FChecking.store(true);
    SetFinished(false);
    // An address that can never answer (a name on a reserved domain, as a
    // build that names no update server has) ends the check at once, here,
    // with no helper to ask: a thread of its own cost the start up to 3 ms,
    // on a machine busy with the start, for nothing.
    if (!KannAntworten(FVersionUrl)) {
        ExecuteCheck(QString());
        return;
    }
    FThread.reset(QThread::create([this, programm = FAbrufProgramm] { ExecuteCheck(programm); }));
    FThread->setObjectName(QStringLiteral("Updateprüfung"));
    FThread->start();
    if (!FThread->isRunning() && !FThread->isFinished()) {
        FThread.reset();
        SetStatus(utError);
        SetLastCheck(QDateTime::currentDateTime());
        FChecking.store(false);
        SetFinished(true);
    }
}

void TUpdater::ExecuteCheck(const QString& AProgramm) {
    bool successS = false;
    const bool fensterWegS = FMainWindowS && FMainWindowHandle.isNull();
    if (!FStopRequested.load() && !fensterWegS) {
        const std::optional<QString> text =
            Abrufen(AProgramm, FConnectTimeoutMs.load(), FRequestTimeoutMs.load());
        if (!FStopRequested.load()) {
            const QString version =
                text ? IniValue(*text, FVersionSection, QStringLiteral("Version")) : QString();
            if (version.isEmpty())
                SetStatus(utError);
            else
                successS = ApplyVersionText(version);
        }
    }

    const QDateTime jetzt = QDateTime::currentDateTime();
    SetLastCheck(jetzt);
    if (successS) {
        SetLastSuccessfulCheck(jetzt);
        SaveSettings();
    }
    std::function<void()> notify;
    {
        QMutexLocker lock(&FCriticalSection);
        notify = FNotify;
    }
    if (!FStopRequested.load() && notify && FMainWindowHandle)
        QMetaObject::invokeMethod(FMainWindowHandle.data(), notify, Qt::QueuedConnection);
    FChecking.store(false);
    SetFinished(true);
}

// One GET through the fetch helper. Nothing on failure: no helper, no
// response, a helper that overran its bound or was ended by Shutdown.
std::optional<QString> TUpdater::Abrufen(const QString& AProgramm, int AConnectMs, int ARequestMs) {
    // The whole check, the helper's own start included, ends within
    // ARequestMs: the helper's request gets less, so that it gives up by
    // itself before it is killed.
    const int helfer = std::max(ARequestMs / 2, ARequestMs - HelperGraceMs);
    const std::optional<QByteArray> ausgabe =
        FAbruf.Ausfuehren(AProgramm,
                          {FVersionUrl, QString::number(std::min(AConnectMs, helfer)),
                           QString::number(helfer), QString::number(MaxBodyBytes)},
                          ARequestMs, MaxAusgabeBytes);
    const qsizetype zeile = ausgabe ? ausgabe->indexOf('\n') : -1;
    if (zeile < 0) return std::nullopt;
    return DecodeBody(ausgabe->mid(zeile + 1), QString::fromLatin1(ausgabe->left(zeile)));
}

bool TUpdater::ApplyVersionText(const QString& AText) {
    QMutexLocker lock(&FCriticalSection);
    FNewVersion.Clear();
    const QString nichts = QStringLiteral("0.0.0.0");
    if (!FNewVersion.TrySetData(AText) || FCurrentVersion.ToString() == nichts ||
        FNewVersion.ToString() == nichts) {
        FStatus = utError;
        return false;
    }
    const int vergleich = FCurrentVersion.CompareTo(&FNewVersion);
    FStatus = vergleich == 0 ? utNone : vergleich < 0 ? utUpgrade : utDowngrade;
    return true;
}

void TUpdater::WaitFor() {
    {
        std::unique_lock<std::mutex> lock(FFinishedMutex);
        FFinishedCond.wait(lock, [this] { return FFinishedS; });
    }
    JoinThread();
}

bool TUpdater::WaitFor(int AMs) {
    std::unique_lock<std::mutex> lock(FFinishedMutex);
    return FFinishedCond.wait_for(lock, std::chrono::milliseconds(AMs), [this] { return FFinishedS; });
}

void TUpdater::Shutdown() {
    FStopRequested.store(true);
    // A fetch under way is not waited for: its helper is killed.
    FAbruf.Abbrechen();
    WaitFor();
}

void TUpdater::JoinThread() {
    if (!FThread) return;
    FThread->wait();
    FThread.reset();
}

void TUpdater::SetFinished(bool AFinishedS) {
    // Notified under the lock: the waiter may destroy the updater as soon as
    // it returns, so this thread must be done with the event by then.
    std::lock_guard<std::mutex> lock(FFinishedMutex);
    FFinishedS = AFinishedS;
    if (AFinishedS) FFinishedCond.notify_all();
}

TVersion TUpdater::NewVersion() const {
    QMutexLocker lock(&FCriticalSection);
    return FNewVersion;
}

QDateTime TUpdater::LastCheck() const {
    QMutexLocker lock(&FCriticalSection);
    return FLastCheck;
}

QDateTime TUpdater::LastSuccessfulCheck() const {
    QMutexLocker lock(&FCriticalSection);
    return FLastSuccessfulCheck;
}

TUpdateType TUpdater::Status() const {
    QMutexLocker lock(&FCriticalSection);
    return FStatus;
}

TUpdateCheckMode TUpdater::CheckMode() const {
    QMutexLocker lock(&FCriticalSection);
    return FCheckMode;
}

void TUpdater::SetCheckMode(TUpdateCheckMode AValue) {
    {
        QMutexLocker lock(&FCriticalSection);
        if (FCheckMode == AValue) return;
        FCheckMode = AValue;
    }
    SaveSettings();
}

void TUpdater::SetTimeouts(int AConnectMs, int ARequestMs) {
    FConnectTimeoutMs.store(AConnectMs);
    FRequestTimeoutMs.store(ARequestMs);
}

void TUpdater::SetStatus(TUpdateType AValue) {
    QMutexLocker lock(&FCriticalSection);
    FStatus = AValue;
}

void TUpdater::SetLastCheck(const QDateTime& AValue) {
    QMutexLocker lock(&FCriticalSection);
    FLastCheck = AValue;
}

void TUpdater::SetLastSuccessfulCheck(const QDateTime& AValue) {
    QMutexLocker lock(&FCriticalSection);
    FLastSuccessfulCheck = AValue;
}

QString TUpdater::FormatCheckDate(const QDateTime& AValue) {
    if (!AValue.isValid()) return QString();
    return AValue.toString(QStringLiteral("yyyyMMddHHmmss"));
}

QDateTime TUpdater::TryParseCheckDate(const QString& AText) {
    const QString t = AText.trimmed();
    if (t.size() != 14 || !std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); }))
        return QDateTime();
    return QDateTime::fromString(t, QStringLiteral("yyyyMMddHHmmss"));
}
