#include "SystemServices.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QSaveFile>
#include <QUrl>

#include <QGuiApplication>

#include <malloc.h>
#include <xcb/xcb.h>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

QString Env(const char* AName) {
    return qEnvironmentVariable(AName);
}

// XDG variables holding a relative path are invalid and must be ignored.
QString AbsoluteEnv(const char* AName) {
    const QString value = Env(AName);
    return QDir::isAbsolutePath(value) ? value : QString();
}

QString PasswdEntry(bool AHomeS) {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
    return QString::fromLocal8Bit(AHomeS ? found->pw_dir : found->pw_name);
}

QString HomeFolder() {
    const QString home = AbsoluteEnv("HOME");
    return home.isEmpty() ? PasswdEntry(true) : home;
}

QString WithSlash(const QString& APath) {
    if (APath.isEmpty()) return {};
    QString path = QDir::cleanPath(APath);
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    return path;
}

// The entry AKey of user-dirs.dirs ("XDG_DESKTOP_DIR="$HOME/Schreibtisch""),
// with $HOME expanded; empty when missing or not a usable path.
QString UserDirsEntry(const QString& AKey, const QString& AHome) {
    QString config = AbsoluteEnv("XDG_CONFIG_HOME");
    if (config.isEmpty() && !AHome.isEmpty()) config = AHome + QStringLiteral("/.config");
    if (config.isEmpty()) return {};
    QFile file(config + QStringLiteral("/user-dirs.dirs"));
    // A real user-dirs.dirs is a few hundred bytes; anything huge is not one.
    if (file.size() > 64 * 1024 || !file.open(QIODevice::ReadOnly)) return {};
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('#'))) continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || line.left(eq).trimmed() != AKey) continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        if (value.startsWith(QLatin1String("$HOME"))) {
            if (AHome.isEmpty()) return {};
            value = AHome + value.mid(5);
        }
        return QDir::isAbsolutePath(value) ? value : QString();
    }
    return {};
}

QString UserFolder(const char* AEnvKey, const QString& AFallbackName) {
    QString folder = AbsoluteEnv(AEnvKey);
    if (!folder.isEmpty()) return folder;
    const QString home = HomeFolder();
    folder = UserDirsEntry(QString::fromLatin1(AEnvKey), home);
    if (!folder.isEmpty()) return folder;
    return home.isEmpty() ? QString() : home + QLatin1Char('/') + AFallbackName;
}

// Splits a parameter text the way a POSIX shell would (without expansions):
// blanks separate, single quotes are literal, double quotes keep blanks and
// let a backslash escape " \ $ `, and a bare backslash escapes any character.
QStringList SplitArguments(const QString& AText) {
    QStringList result;
    QString current;
    bool wordS = false;
    enum { Bare, Single, Double } state = Bare;
    for (qsizetype i = 0; i < AText.size(); ++i) {
        const QChar c = AText.at(i);
        switch (state) {
        case Bare:
            if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) {
                if (wordS) result << current;
                current.clear();
                wordS = false;
            } else if (c == QLatin1Char('\'')) {
                state = Single;
                wordS = true;
            } else if (c == QLatin1Char('"')) {
                state = Double;
                wordS = true;
            } else if (c == QLatin1Char('\\') && i + 1 < AText.size()) {
                current += AText.at(++i);
                wordS = true;
            } else {
                current += c;
                wordS = true;
            }
            break;
        case Single:
            if (c == QLatin1Char('\''))
                state = Bare;
            else
                current += c;
            break;
        case Double:
            if (c == QLatin1Char('"')) {
                state = Bare;
            } else if (c == QLatin1Char('\\') && i + 1 < AText.size() &&
                       QStringLiteral("\"\\$`").contains(AText.at(i + 1))) {
                current += AText.at(++i);
            } else {
                current += c;
            }
            break;
        }
    }
    // An unclosed quote still ends its word rather than losing it.
    if (wordS) result << current;
    return result;
}

// Whether the desktop names a program for the kind of AUrl (xdg-mime's
// answer); without one, xdg-open would fail where nobody sees it.
bool DesktopHatProgramm(const QUrl& AUrl) {
    const QString art = AUrl.isLocalFile() ? QMimeDatabase().mimeTypeForFile(AUrl.toLocalFile()).name()
                                           : QStringLiteral("x-scheme-handler/") + AUrl.scheme();
    QProcess frage;
    frage.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), art});
    if (!frage.waitForFinished(3000)) {
        frage.kill();
        frage.waitForFinished(500);
        // No answer in time: the desktop is busy, not empty.
        return frage.error() != QProcess::FailedToStart;
    }
    return frage.exitCode() == 0 && !frage.readAllStandardOutput().trimmed().isEmpty();
}

bool OpenWithDesktop(const QUrl& AUrl) {
    if (!DesktopHatProgramm(AUrl)) return false;
    // Without a GUI platform (or on a platform without services) Qt declines;
    // xdg-open is what it would have run anyway.
    return QDesktopServices::openUrl(AUrl) ||
           QProcess::startDetached(QStringLiteral("xdg-open"), {AUrl.toString(QUrl::FullyEncoded)});
}

bool LooksLikeAddress(const QString& AFile) {
    // "c:/..." style drive letters are not schemes; every real scheme here
    // (http, https, mailto, file) is longer than one letter.
    const qsizetype colon = AFile.indexOf(QLatin1Char(':'));
    if (colon < 2) return false;
    const QUrl url(AFile, QUrl::TolerantMode);
    return url.isValid() && !url.scheme().isEmpty();
}

// Desktop Entry quoting of one Exec argument; "%" would be a field code.
QString QuoteExecArgument(QString AArgument, bool AAlwaysS) {
    AArgument.replace(QLatin1Char('%'), QStringLiteral("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quoteS = AAlwaysS || AArgument.isEmpty();
    for (QChar c : AArgument)
        if (reserved.contains(c)) quoteS = true;
    if (!quoteS) return AArgument;
    QString quoted = QStringLiteral("\"");
    for (QChar c : AArgument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

// The general escaping of Desktop Entry string values, applied after quoting.
QString EscapeValue(const QString& AValue) {
    QString result;
    for (qsizetype i = 0; i < AValue.size(); ++i) {
        const QChar c = AValue.at(i);
        if (c == QLatin1Char('\\'))
            result += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            result += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            result += QStringLiteral("\\r");
        else if (c == QLatin1Char('\t'))
            result += QStringLiteral("\\t");
        else if (c == QLatin1Char(' ') && i == 0)
            result += QStringLiteral("\\s");
        else
            result += c;
    }
    return result;
}

} // namespace

QString GetSpecialFolder(QWidget* /*AOwner*/, int ACsidl) {
    switch (ACsidl) {
    case CSIDL_APPDATA: {
        QString data = AbsoluteEnv("XDG_DATA_HOME");
        if (data.isEmpty()) {
            const QString home = HomeFolder();
            if (!home.isEmpty()) data = home + QStringLiteral("/.local/share");
        }
        return WithSlash(data);
    }
    case CSIDL_PERSONAL:
        return WithSlash(UserFolder("XDG_DOCUMENTS_DIR", QStringLiteral("Documents")));
    case CSIDL_DESKTOP:
        return WithSlash(UserFolder("XDG_DESKTOP_DIR", QStringLiteral("Desktop")));
    default:
        return {}; // the all-users desktop does not exist here
    }
}

bool FeststelltasteAn() {
    // The X server's modifier state: the Lock bit is set while Caps Lock is on.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return false;
    xcb_connection_t* c = x11->connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen) return false;
    xcb_query_pointer_reply_t* r = xcb_query_pointer_reply(c, xcb_query_pointer(c, screen->root), nullptr);
    const bool anS = r && (r->mask & XCB_MOD_MASK_LOCK);
    free(r);
    return anS;
}

QString GetTempFolder() {
    QString folder = AbsoluteEnv("TMPDIR");
    if (folder.isEmpty()) folder = QStringLiteral("/tmp");
    folder = WithSlash(folder);
    return folder.size() >= 261 ? QString() : folder;
}

QString GetProgramFilesDir() {
    return {};
}

bool IsWindows64Bit() {
    return false;
}

QString GetWindowsUserName() {
    const QString name = PasswdEntry(false);
    return name.isEmpty() ? Env("USER") : name;
}

bool ShellOpen(QWidget* /*AOwner*/, const QString& AFile, const QString& AParameters, int /*AShowMode*/,
               const QString& /*AOperation*/, const QString& AWorkingFolder) {
    if (AFile.isEmpty()) return false;
    if (LooksLikeAddress(AFile)) return OpenWithDesktop(QUrl(AFile, QUrl::TolerantMode));
    QString path = AFile;
    if (QDir::isRelativePath(path) && !AWorkingFolder.isEmpty()) path = QDir(AWorkingFolder).filePath(path);
    const QFileInfo info(path);
    if (info.isFile() && info.isExecutable()) {
        return QProcess::startDetached(info.absoluteFilePath(), SplitArguments(AParameters),
                                       AWorkingFolder.isEmpty() ? info.absolutePath() : AWorkingFolder);
    }
    return OpenWithDesktop(QUrl::fromLocalFile(info.absoluteFilePath()));
}

bool OpenTextFile(const QString& AFilename) {
    const QFileInfo info(AFilename);
    if (AFilename.isEmpty() || !info.isFile()) return false;
    // The desktop's editor decides whether it reuses a window that shows the
    // file already; we only hand the document over and never wait.
    return OpenWithDesktop(QUrl::fromLocalFile(info.absoluteFilePath()));
}

bool CreateShortcut(const QString& ALinkFile, const QString& ATarget, const QString& AArguments,
                    const QString& ADescription, const QString& AWorkingFolder, int /*AHotKey*/,
                    int /*AShowMode*/) {
    if (ALinkFile.isEmpty() || ATarget.isEmpty()) return false;
    QString link = ALinkFile;
    if (!link.endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive) &&
        !link.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive))
        link += QStringLiteral(".desktop");
    const QFileInfo target(ATarget);
    const QString working = AWorkingFolder.isEmpty() ? target.absolutePath() : AWorkingFolder;
    const QString name = ADescription.isEmpty() ? QFileInfo(link).completeBaseName() : ADescription;

    QString exec = QuoteExecArgument(target.absoluteFilePath(), true);
    for (const QString& argument : SplitArguments(AArguments))
        exec += QLatin1Char(' ') + QuoteExecArgument(argument, false);

    QString content = QStringLiteral("[Desktop Entry]\n"
                                     "Version=1.0\n"
                                     "Type=Application\n"
                                     "Name=%1\n"
                                     "Exec=%2\n"
                                     "Path=%3\n"
                                     "Terminal=false\n")
                          .arg(EscapeValue(name), EscapeValue(exec), EscapeValue(working));
    // The launcher shipped beside the program (the one the package puts in
    // the desktop's menu) gives the shortcut its names, comment, keywords,
    // category and icon; only the command and its folder are this one's.
    const QStringList starter = target.absoluteDir().entryList({QStringLiteral("*.desktop")}, QDir::Files);
    QFile vorlage(target.absoluteDir().filePath(starter.value(0)));
    if (!starter.isEmpty() && vorlage.open(QIODevice::ReadOnly)) {
        QStringList zeilen;
        for (const QString& z : QString::fromUtf8(vorlage.readAll()).split(QLatin1Char('\n'))) {
            if (z.startsWith(QLatin1String("Exec=")) || z.startsWith(QLatin1String("TryExec=")) ||
                z.startsWith(QLatin1String("Path=")))
                continue;
            zeilen << z;
            if (z.trimmed() == QLatin1String("[Desktop Entry]"))
                zeilen << QStringLiteral("Exec=") + EscapeValue(exec)
                       << QStringLiteral("Path=") + EscapeValue(working);
        }
        if (zeilen.contains(QStringLiteral("[Desktop Entry]"))) content = zeilen.join(QLatin1Char('\n'));
    }
    QSaveFile file(link);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = content.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) return false;
    // Desktops refuse to start launchers that are not executable.
    return QFile::setPermissions(link, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                           QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                           QFileDevice::ExeOther);
}

void ReleaseFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void ShareHeapArenas() {
#ifdef __GLIBC__
    mallopt(M_ARENA_MAX, 2);
#endif
}
