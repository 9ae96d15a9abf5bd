#pragma once
// Hand-off between a second start and the running instance: the second
// process leaves a request in a per-user store of its own and ends; a watcher
// thread of the running instance picks the request up and hands it to the
// main window on the GUI thread.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QThread>
#include <deque>
#include <functional>
#include <mutex>

struct TRegistrySettings {
    QString Parameters; // "ProgramParameters"
    QString SetFocus;   // "ProgramSetFocus"
    QString Close;      // "ProgramClose"

    TRegistrySettings SetData(const QString& AParameters, const QString& ASetFocus, const QString& AClose);
    static TRegistrySettings rsParameters(const QString& AParameters);
    static TRegistrySettings rsSetFocus(const QString& ASetFocus = QString());
    static TRegistrySettings rsClose(const QString& AClose = QString());
};

// AText itself, or else the process's parameters trimmed and joined by "|".
QString BuildParameterString(const QString& AText);
// The same over given parameters (AParams[0] is the program, as in argv).
QString BuildParameterString(const QString& AText, const QStringList& AParams);

// The store file of the hand-off key AKeyName ("Tastaro" and "\Tastaro" are
// the same key); it exists only while a request is pending.
QString HandoffStoreFile(const QString& AKeyName);
// Writes the non-empty fields; true also when there is nothing to write.
bool WriteRegistrySettings(const QString& AKeyName, const TRegistrySettings& ARec);
// Takes the pending values out of the store (and removes it once empty);
// true when at least one was there.
bool ReadRegistrySettings(const QString& AKeyName, TRegistrySettings& ARec);
// Drops whatever the store holds, readable or not.
void DiscardRegistrySettings(const QString& AKeyName);

// The running instance publishes its main window's caption, so that a second
// start can find it as a window search by caption would.
void PublishWindowCaption(const QString& ACaption);
void WithdrawWindowCaption();
// The published caption that ends with ATitle and holds it nowhere earlier;
// empty when there is none.
QString FindWindowByTitle(const QString& ATitle);
bool CaptionMatchesTitle(const QString& ACaption, const QString& ATitle);

// What the main window does with a request; run on the GUI thread.
struct THandoffEmpfaenger {
    std::function<void(const QString&)> Parameters;
    std::function<void()> SetFocus;
    std::function<void()> Close;
};

class TWatchRegistrySettings : public QThread {
    Q_OBJECT
public:
    // AApp receives the requests (dropped once it is gone); starts at once.
    TWatchRegistrySettings(QObject* AApp, const THandoffEmpfaenger& AEmpfaenger, const QString& AAppName);
    // Requests queued but not yet run are dropped; then the thread is ended.
    ~TWatchRegistrySettings() override;

protected:
    void run() override;

private Q_SLOTS:
    void Ausliefern();

private:
    bool Pause();
    void QueueRegistryCommand(const QString& AParameters, const QString& AClose, const QString& ASetFocus);

    QPointer<QObject> FAppHandle;
    THandoffEmpfaenger FEmpfaenger;
    QString FAppName;
    std::mutex FMutex;
    std::deque<TRegistrySettings> FAnfragen; // queued on the thread, run on the GUI thread
};

// Brings a window of this program to the front, un-minimised, even when
// another program has the foreground.
bool ForceForegroundWindow(QWidget* AWindow);
