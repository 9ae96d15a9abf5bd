#pragma once
// Asks the maker's web server which version of the program is current and
// compares it with the installed one. The check runs on a worker thread of its
// own; the owner starts it, and later waits for it and reads the result.

#include "Abruf.h"
#include "VersionC.h"

#include <QDateTime>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class QThread;

enum TUpdateType {
    utNone,      // no difference, or no check has ended yet
    utError,     // the check failed
    utDowngrade, // the server offers an older version than the installed one
    utUpgrade    // the server offers a newer version
};

enum TUpdateCheckMode { ucmEveryStart = 0, ucmDaily = 1, ucmWeekly = 2, ucmManualOnly = 3 };

enum TUpdateStorageKind { uskNone, uskIni, uskRegistry };

// The address the version files lie under, as the build configured it; it
// ends with "/".
QString UpdateBaseUrl();

class TUpdater {
public:
    // Bounds of one request. The whole request is bounded as well as the
    // connection, so that a server that accepts and then stalls, or trickles,
    // can never hold up the start; a body larger than any version file is
    // refused before it fills memory.
    static constexpr int ConnectTimeoutMs = 5000;
    static constexpr int RequestTimeoutMs = 10000;
    static constexpr qint64 MaxBodyBytes = 64 * 1024;
    // What of the request's bound is kept for the fetch helper's own start
    // and end: its request gets the rest, and it is killed at the bound.
    static constexpr int HelperGraceMs = 1000;

    // AHnd: the window that owns the check (may be null); a check that finds
    // it gone does nothing more. AVersionFileName empty: AUpdaterFolder +
    // ".ver". ABaseUrl empty: UpdateBaseUrl(). Nothing is loaded or started.
    TUpdater(QObject* AHnd, const QString& AUpdaterFolder, const QString& AVersionFileName,
             TUpdateCheckMode ADefaultCheckMode, const QString& ABaseUrl = QString());
    ~TUpdater();
    TUpdater(const TUpdater&) = delete;
    TUpdater& operator=(const TUpdater&) = delete;

    void UseIniStorage(const QString& AFilename);
    // AKey as the registry path of the current user ("\Software\Tastaro");
    // here it names the same per-user store as the program's settings.
    void UseRegistryStorage(const QString& AKey);
    void ClearStorage();
    void LoadSettings();
    void SaveSettings();
    // ANotify runs on AHnd's thread after each check (queued, never waited
    // for); empty disables it. Set it while no check is running.
    void ConfigureNotification(std::function<void()> ANotify);

    bool IsUpdateCheckDue() const;
    bool IsUpdateCheckDue(const QDateTime& ANow) const;
    void CheckForUpdatesAtStartup();
    void CheckForUpdates();
    // Blocks until no check is running, then joins the worker. GUI thread.
    void WaitFor();
    // Waits at most AMs for the running check to end; true once none runs.
    // Returns as soon as the check ends, so a loop around it wastes no time.
    bool WaitFor(int AMs);
    // No further check starts, a running one skips its remaining steps (a
    // fetch under way is killed) and nothing is notified; waits for the
    // running check to end.
    void Shutdown();

    bool Checking() const { return FChecking.load(); }
    const TVersion& CurrentVersion() const { return FCurrentVersion; }
    TVersion NewVersion() const;
    QDateTime LastCheck() const;
    QDateTime LastSuccessfulCheck() const;
    TUpdateType Status() const;
    QString UpdaterFolder() const { return FUpdaterFolder; }
    QString VersionFileName() const { return FVersionFileName; }
    QString VersionUrl() const { return FVersionUrl; }
    TUpdateCheckMode CheckMode() const;
    void SetCheckMode(TUpdateCheckMode AValue);

    // The newest version the user was told of as a notice (where no updater
    // can install it); stored with the other values. GUI thread.
    QString Angesagt() const { return FAngesagt; }
    void SetAngesagt(const QString& AVersion) { FAngesagt = AVersion; }

    // Narrower bounds, so that tests of stalled servers stay short.
    void SetTimeouts(int AConnectMs, int ARequestMs);

    // The program that fetches the version file (tastaro-abruf): by default
    // the one beside this program. A check without it fails. Set it while no
    // check is running.
    void SetAbrufProgramm(const QString& APfad) { FAbrufProgramm = APfad; }
    QString AbrufProgramm() const { return FAbrufProgramm; }

    // The stored form "yyyymmddhhnnss"; empty for no moment (invalid).
    static QString FormatCheckDate(const QDateTime& AValue);
    // Exactly 14 digits forming a valid local date and time, else invalid.
    static QDateTime TryParseCheckDate(const QString& AText);

private:
    void JoinThread();
    void ExecuteCheck(const QString& AProgramm);
    std::optional<QString> Abrufen(const QString& AProgramm, int AConnectMs, int ARequestMs);
    bool ApplyVersionText(const QString& AText);
    void SetStatus(TUpdateType AValue);
    void SetLastCheck(const QDateTime& AValue);
    void SetLastSuccessfulCheck(const QDateTime& AValue);
    void SetFinished(bool AFinishedS);

    QPointer<QObject> FMainWindowHandle;
    bool FMainWindowS = false; // a window was given
    QString FUpdaterFolder;
    QString FVersionFileName;
    QString FVersionSection;
    QString FVersionUrl;
    std::atomic<bool> FChecking{false};
    std::atomic<bool> FStopRequested{false};
    mutable QMutex FCriticalSection;
    const TVersion FCurrentVersion;
    TVersion FNewVersion;           // (locked)
    QDateTime FLastCheck;           // (locked)
    QDateTime FLastSuccessfulCheck; // (locked); stored
    TUpdateType FStatus = utNone;   // (locked)
    TUpdateCheckMode FCheckMode;    // (locked); stored
    std::function<void()> FNotify;  // (locked)
    QString FAngesagt;              // stored
    TAbruf FAbruf;
    QString FAbrufProgramm;
    std::unique_ptr<QThread> FThread;
    // The finished event: set whenever no check is running.
    std::mutex FFinishedMutex;
    std::condition_variable FFinishedCond;
    bool FFinishedS = true;
    TUpdateStorageKind FStorageKind = uskNone;
    QString FStorageLocation;
    std::atomic<int> FConnectTimeoutMs{ConnectTimeoutMs};
    std::atomic<int> FRequestTimeoutMs{RequestTimeoutMs};
};
