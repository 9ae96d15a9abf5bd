#pragma once
// Free-standing operations that connect the program to the desktop it runs on.
// None of them keeps state; failures are reported by empty or false results.

#include <QString>
#include <QStringList>

class QWidget;

// Shell folder ids as the callers know them.
constexpr int CSIDL_DESKTOP = 0;
constexpr int CSIDL_PERSONAL = 5;
constexpr int CSIDL_COMMON_DESKTOPDIRECTORY = 25;
constexpr int CSIDL_APPDATA = 26;

constexpr int SW_SHOWNORMAL = 1;

// Folder path with a trailing '/', or empty (unknown id, no such folder here).
// Honours XDG_* and HOME.
QString GetSpecialFolder(QWidget* AOwner, int ACsidl);
// The user's temporary folder with a trailing '/', or empty when the path has
// 261 characters or more.
QString GetTempFolder();
// Only meaningful on Windows: empty / false here.
QString GetProgramFilesDir();
bool IsWindows64Bit();
// The logged-on user's name, or empty.
QString GetWindowsUserName();

// Opens a file, folder or address with the desktop's default program, or
// starts a program when AFile is an executable; false when nothing could be
// started (no program for that kind of file on this desktop).
bool ShellOpen(QWidget* AOwner, const QString& AFile, const QString& AParameters = QString(),
               int AShowMode = SW_SHOWNORMAL, const QString& AOperation = QStringLiteral("open"),
               const QString& AWorkingFolder = QString());
// Shows a text document with the desktop's default program; false when the
// file does not exist or no program shows text. Never waits for the editor.
bool OpenTextFile(const QString& AFilename);
// Writes a freedesktop launcher. A link name ending in ".lnk" (any case) gets
// no second extension; an empty link or target gives false.
bool CreateShortcut(const QString& ALinkFile, const QString& ATarget, const QString& AArguments,
                    const QString& ADescription, const QString& AWorkingFolder, int AHotKey, int AShowMode);
// Menu shortcut value (key in the low byte, Shift 8192, Ctrl 16384, Alt 32768)
// to the launcher hot key word (modifiers 1, 2, 4 in the high byte).
int ShortCutToHotKey(int AShortCut);
// The default system sound; always true.
bool SystemBeep();
// Whether Caps Lock is on, as the desktop's keyboard state says; false where
// the platform does not tell.
bool FeststelltasteAn();
QString RemoveAmpersands(const QString& AText);
// Hands the pages of freed heap memory back to the system, so that what the
// start or a closed dialog used and gave up no longer counts as the program's.
void ReleaseFreedMemory();
// Lets all threads allocate from two shared heap arenas instead of one each:
// the helper threads allocate little, and every arena costs resident memory.
// Run once at start, before any thread exists.
void ShareHeapArenas();
// Process-wide Austrian date names (Jän, Mär, Jänner, short day names without
// a final "."); run once at start before any window exists.
void AdjustDateNames();
// The adjusted names, for formatting dates in the program's own texts.
QString ShortDayName(int ADayOfWeek); // 1 = Monday .. 7 = Sunday
QString ShortMonthName(int AMonth);   // 1..12
QString LongMonthName(int AMonth);    // 1..12

// The date name lists and the rule that turns German names into the Austrian
// forms; kept apart from the process-wide table so the rule can be checked on
// any set of names.
struct TDateNames {
    QStringList ShortDays;   // 7, Monday first
    QStringList ShortMonths; // 12
    QStringList LongMonths;  // 12
};
TDateNames AdjustedDateNames(TDateNames ANames);
