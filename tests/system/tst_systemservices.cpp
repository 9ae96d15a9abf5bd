#include "SystemServices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Sets or unsets environment variables for one test and puts them back.
class TEnvGuard {
public:
    ~TEnvGuard() {
        for (auto it = FSaved.cbegin(); it != FSaved.cend(); ++it) {
            if (it.value().has_value())
                qputenv(it.key().constData(), *it.value());
            else
                qunsetenv(it.key().constData());
        }
    }
    void Set(const QByteArray& AKey, const QString& AValue) {
        Save(AKey);
        qputenv(AKey.constData(), AValue.toUtf8());
    }
    void Unset(const QByteArray& AKey) {
        Save(AKey);
        qunsetenv(AKey.constData());
    }

private:
    void Save(const QByteArray& AKey) {
        if (FSaved.contains(AKey)) return;
        FSaved.insert(AKey, qEnvironmentVariableIsSet(AKey.constData())
                                ? std::optional<QByteArray>(qgetenv(AKey.constData()))
                                : std::nullopt);
    }
    QMap<QByteArray, std::optional<QByteArray>> FSaved;
};

QStringList ReadLines(const QString& APath) {
    QFile file(APath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TstSystemServices : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void specialFolder_data();
    void specialFolder();
    void tempFolder_data();
    void tempFolder();
    void removeAmpersands_data();
    void removeAmpersands();
    void shortCutToHotKey_data();
    void shortCutToHotKey();
    void shortcutFileName_data();
    void shortcutFileName();
    void shortcutContent();
    void shortcutRefused_data();
    void shortcutRefused();
    void openTextFileMissing();
    void shellOpenStartsProgram();
    void processDateNames_data();
    void processDateNames();
    void dateNameRule_data();
    void dateNameRule();
    void windowsOnlyAnswers();
};

void TstSystemServices::specialFolder_data() {
    // env: "KEY=value" sets, "KEY" alone unsets; "<T>" is a temporary folder.
    // userDirs is written to <T>/<userDirsFile> when given.
    QTest::addColumn<int>("csidl");
    QTest::addColumn<QStringList>("env");
    QTest::addColumn<QString>("userDirsFile");
    QTest::addColumn<QString>("userDirs");
    QTest::addColumn<QString>("expected");

    const QStringList home{"HOME=<T>/home", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR",
                           "XDG_DESKTOP_DIR"};
    QTest::newRow("appdata from XDG_DATA_HOME")
        << CSIDL_APPDATA << (home + QStringList{"XDG_DATA_HOME=<T>/daten"}) << ""
        << ""
        << "<T>/daten/";
    QTest::newRow("appdata below HOME") << CSIDL_APPDATA << home << ""
                                        << ""
                                        << "<T>/home/.local/share/";
    QTest::newRow("appdata ignores relative XDG_DATA_HOME")
        << CSIDL_APPDATA << (home + QStringList{"XDG_DATA_HOME=relativ"}) << ""
        << ""
        << "<T>/home/.local/share/";
    QTest::newRow("documents from XDG_DOCUMENTS_DIR")
        << CSIDL_PERSONAL << (home + QStringList{"XDG_DOCUMENTS_DIR=<T>/Doks"}) << ""
        << ""
        << "<T>/Doks/";
    QTest::newRow("documents from user-dirs.dirs in XDG_CONFIG_HOME")
        << CSIDL_PERSONAL << (home + QStringList{"XDG_CONFIG_HOME=<T>/cfg"}) << "cfg/user-dirs.dirs"
        << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
           "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
        << "<T>/home/Dokumente/";
    QTest::newRow("documents default") << CSIDL_PERSONAL << home << ""
                                       << ""
                                       << "<T>/home/Documents/";
    QTest::newRow("desktop from user-dirs.dirs below HOME")
        << CSIDL_DESKTOP << home << "home/.config/user-dirs.dirs"
        << "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
        << "<T>/home/Schreibtisch/";
    QTest::newRow("desktop absolute in user-dirs.dirs")
        << CSIDL_DESKTOP << home << "home/.config/user-dirs.dirs"
        << "  XDG_DESKTOP_DIR=\"/srv/tisch\"  \n"
        << "/srv/tisch/";
    QTest::newRow("desktop from XDG_DESKTOP_DIR wins over user-dirs.dirs")
        << CSIDL_DESKTOP << (home + QStringList{"XDG_DESKTOP_DIR=<T>/Tisch/"})
        << "home/.config/user-dirs.dirs"
        << "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
        << "<T>/Tisch/";
    QTest::newRow("desktop default") << CSIDL_DESKTOP << home << ""
                                     << ""
                                     << "<T>/home/Desktop/";
    QTest::newRow("desktop ignores a commented entry")
        << CSIDL_DESKTOP << home << "home/.config/user-dirs.dirs"
        << "#XDG_DESKTOP_DIR=\"$HOME/Alt\"\n"
        << "<T>/home/Desktop/";
    QTest::newRow("no all-users desktop") << CSIDL_COMMON_DESKTOPDIRECTORY << home << ""
                                          << ""
                                          << "";
    QTest::newRow("unknown id") << 99 << home << ""
                                << ""
                                << "";
}

void TstSystemServices::specialFolder() {
    QFETCH(int, csidl);
    QFETCH(QStringList, env);
    QFETCH(QString, userDirsFile);
    QFETCH(QString, userDirs);
    QFETCH(QString, expected);
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString root = QDir(temp.path()).canonicalPath();
    TEnvGuard guard;
    for (const QString& entry : env) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        if (eq < 0)
            guard.Unset(entry.toUtf8());
        else
            guard.Set(entry.left(eq).toUtf8(), entry.mid(eq + 1).replace(QStringLiteral("<T>"), root));
    }
    if (!userDirsFile.isEmpty()) {
        const QString path = root + QLatin1Char('/') + userDirsFile;
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(userDirs.toUtf8());
    }
    QCOMPARE(GetSpecialFolder(nullptr, csidl), expected.replace(QStringLiteral("<T>"), root));
}

void TstSystemServices::tempFolder_data() {
    QTest::addColumn<QString>("tmpdir");
    QTest::addColumn<QString>("expected");
    const QString longest = QLatin1Char('/') + QString(258, QLatin1Char('a')); // 260 with the '/'
    QTest::newRow("unset") << QString() << "/tmp/";
    QTest::newRow("trailing slash added") << "/var/tmp"
                                          << "/var/tmp/";
    QTest::newRow("260 characters") << longest << longest + QLatin1Char('/');
    QTest::newRow("261 characters") << longest + QLatin1Char('a') << QString();
}

void TstSystemServices::tempFolder() {
    QFETCH(QString, tmpdir);
    QFETCH(QString, expected);
    TEnvGuard guard;
    if (tmpdir.isEmpty())
        guard.Unset("TMPDIR");
    else
        guard.Set("TMPDIR", tmpdir);
    QCOMPARE(GetTempFolder(), expected);
}

void TstSystemServices::removeAmpersands_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("hot-key marker") << "S&chließen"
                                    << "Schließen";
    QTest::newRow("doubled marker disappears too") << "&&"
                                                   << "";
    QTest::newRow("several") << "&Ja && &Nein"
                             << "Ja  Nein";
    QTest::newRow("none") << "Abbrechen"
                          << "Abbrechen";
}

void TstSystemServices::removeAmpersands() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(RemoveAmpersands(text), expected);
}

void TstSystemServices::shortCutToHotKey_data() {
    QTest::addColumn<int>("shortCut");
    QTest::addColumn<int>("expected");
    QTest::newRow("Ctrl+Shift+F4") << (0x73 | 0x2000 | 0x4000) << 0x0373;
    QTest::newRow("Alt+A") << (0x41 | 0x8000) << 0x0441;
    QTest::newRow("F1 alone") << 0x70 << 0x70;
    QTest::newRow("none") << 0 << 0;
}

void TstSystemServices::shortCutToHotKey() {
    QFETCH(int, shortCut);
    QFETCH(int, expected);
    QCOMPARE(ShortCutToHotKey(shortCut), expected);
}

void TstSystemServices::shortcutFileName_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("written");
    QTest::newRow(".lnk in capitals kept") << "Tastaro.LNK"
                                           << "Tastaro.LNK";
    QTest::newRow(".lnk kept") << "Tastaro.lnk"
                               << "Tastaro.lnk";
    QTest::newRow("no extension") << "Tastaro"
                                  << "Tastaro.desktop";
    QTest::newRow(".desktop kept") << "Tastaro.desktop"
                                   << "Tastaro.desktop";
}

void TstSystemServices::shortcutFileName() {
    QFETCH(QString, link);
    QFETCH(QString, written);
    QTemporaryDir temp;
    const QString folder = temp.path() + QLatin1Char('/');
    QVERIFY(CreateShortcut(folder + link, QStringLiteral("/usr/bin/true"), QString(),
                           QStringLiteral("Tastaro"), QString(), 0, SW_SHOWNORMAL));
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{written});
}

void TstSystemServices::shortcutContent() {
    QTemporaryDir temp;
    const QString folder = temp.path() + QStringLiteral("/Mein Programm");
    QVERIFY(QDir().mkpath(folder));
    const QString target = folder + QStringLiteral("/Tastaro");
    const QString link = temp.path() + QStringLiteral("/Tastaro.lnk");
    QVERIFY(CreateShortcut(link, target, QStringLiteral("-x 'a b' 50%"), QStringLiteral("Tastaro"), QString(),
                           ShortCutToHotKey(0x73 | 0x4000), SW_SHOWNORMAL));
    const QStringList lines = ReadLines(link);
    QVERIFY(!lines.isEmpty());
    QCOMPARE(lines.first(), QStringLiteral("[Desktop Entry]"));
    QVERIFY(lines.contains(QStringLiteral("Type=Application")));
    QVERIFY(lines.contains(QStringLiteral("Name=Tastaro")));
    QVERIFY(lines.contains(QStringLiteral("Terminal=false")));
    QVERIFY2(lines.contains(QStringLiteral("Exec=\"%1\" -x \"a b\" 50%%").arg(target)),
             qPrintable(lines.join('|')));
    QVERIFY(lines.contains(QStringLiteral("Path=") + folder));
    QVERIFY(QFileInfo(link).permissions().testFlags(QFileDevice::ExeOwner | QFileDevice::ExeOther |
                                                    QFileDevice::ReadOther));

    // Characters a shell would interpret are escaped inside the quotes, and
    // the backslash of that escape is escaped once more as a string value.
    const QString odd = temp.path() + QStringLiteral("/a$b");
    QVERIFY(CreateShortcut(link, odd, QString(), QString(), QStringLiteral("/srv"), 0, SW_SHOWNORMAL));
    const QStringList second = ReadLines(link);
    QVERIFY2(second.contains(QStringLiteral("Exec=\"%1/a\\\\$b\"").arg(temp.path())),
             qPrintable(second.join('|')));
    QVERIFY(second.contains(QStringLiteral("Name=Tastaro"))); // the link's own name without a description
    QVERIFY(second.contains(QStringLiteral("Path=/srv")));

    // With the shipped launcher beside the program the shortcut is that
    // launcher, with this program's command.
    QFile starter(folder + QStringLiteral("/at.tastaro.Tastaro.desktop"));
    QVERIFY(starter.open(QIODevice::WriteOnly));
    starter.write("[Desktop Entry]\nType=Application\nName=Tastaro\nExec=tastaro\nIcon=tastaro\n"
                  "Categories=Education;\nKeywords=blind;Screenreader;\n");
    starter.close();
    QVERIFY(CreateShortcut(link, target, QString(), QStringLiteral("Tastaro"), QString(), 0, SW_SHOWNORMAL));
    const QStringList third = ReadLines(link);
    for (const char* zeile : {"Categories=Education;", "Keywords=blind;Screenreader;", "Icon=tastaro"})
        QVERIFY2(third.contains(QLatin1String(zeile)), qPrintable(third.join('|')));
    QCOMPARE(third.filter(QStringLiteral("Exec=")), QStringList{QStringLiteral("Exec=\"%1\"").arg(target)});
}

void TstSystemServices::shortcutRefused_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("target");
    QTest::newRow("empty link") << ""
                                << "/usr/bin/true";
    QTest::newRow("empty target") << "<T>/Tastaro.lnk"
                                  << "";
    QTest::newRow("folder does not exist") << "<T>/fehlt/Tastaro.lnk"
                                           << "/usr/bin/true";
}

void TstSystemServices::shortcutRefused() {
    QFETCH(QString, link);
    QFETCH(QString, target);
    QTemporaryDir temp;
    link.replace(QStringLiteral("<T>"), temp.path());
    QVERIFY(!CreateShortcut(link, target, QString(), QString(), QString(), 0, SW_SHOWNORMAL));
    QVERIFY(QDir(temp.path()).isEmpty());
}

void TstSystemServices::openTextFileMissing() {
    QTemporaryDir temp;
    QVERIFY(!OpenTextFile(temp.path() + QStringLiteral("/Hilfe.txt")));
    QVERIFY(!OpenTextFile(QString()));
    QVERIFY(!OpenTextFile(temp.path())); // a folder is no text file
}

void TstSystemServices::shellOpenStartsProgram() {
    QTemporaryDir temp;
    const QString work = temp.path() + QStringLiteral("/arbeit");
    QVERIFY(QDir().mkpath(work));
    const QString script = temp.path() + QStringLiteral("/zeige.sh");
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > ../args.tmp\n"
               "mv ../args.tmp ../args.txt\n");
    file.close();
    QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));

    ShellOpen(nullptr, script, QStringLiteral("-x 'a b' \"c \\\"d\" e\\ f"), SW_SHOWNORMAL,
              QStringLiteral("open"), work);
    const QString result = temp.path() + QStringLiteral("/args.txt");
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(result), 10000);
    QCOMPARE(ReadLines(result), (QStringList{QDir(work).canonicalPath(), "-x", "a b", "c \"d", "e f"}));
}

void TstSystemServices::processDateNames_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Monday") << "day" << 1 << "Mo";
    QTest::newRow("Sunday") << "day" << 7 << "So";
    QTest::newRow("January short") << "short" << 1 << "Jän";
    QTest::newRow("March short") << "short" << 3 << "Mär";
    QTest::newRow("May short") << "short" << 5 << "Mai";
    QTest::newRow("December short") << "short" << 12 << "Dez";
    QTest::newRow("January long") << "long" << 1 << "Jänner";
    QTest::newRow("March long") << "long" << 3 << "März";
    QTest::newRow("day out of range") << "day" << 8 << "";
    QTest::newRow("month out of range") << "short" << 0 << "";
}

void TstSystemServices::processDateNames() {
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QString, expected);
    AdjustDateNames();
    const QString name = kind == QLatin1String("day")     ? ShortDayName(number)
                         : kind == QLatin1String("short") ? ShortMonthName(number)
                                                          : LongMonthName(number);
    QCOMPARE(name, expected);
}

void TstSystemServices::dateNameRule_data() {
    QTest::addColumn<QStringList>("days");
    QTest::addColumn<QStringList>("shortMonths");
    QTest::addColumn<QStringList>("longMonths");
    QTest::addColumn<QStringList>("expectedDays");
    QTest::addColumn<QStringList>("expectedShort");
    QTest::addColumn<QStringList>("expectedLong");
    QTest::newRow("German regional names")
        << QStringList{"Mo.", "Di.", "So"} << QStringList{"Jan", "Feb", "Mrz", "jan"}
        << QStringList{"Januar", "Februar", "JANUAR"} << QStringList{"Mo", "Di", "So"}
        << QStringList{"Jän", "Feb", "Mär", "Jän"} << QStringList{"Jänner", "Februar", "JANUAR"};
    QTest::newRow("only one final dot goes")
        << QStringList{"Mo.."} << QStringList{"Jan."} << QStringList{"Jänner"} << QStringList{"Mo."}
        << QStringList{"Jan."} << QStringList{"Jänner"};
}

void TstSystemServices::dateNameRule() {
    QFETCH(QStringList, days);
    QFETCH(QStringList, shortMonths);
    QFETCH(QStringList, longMonths);
    const TDateNames result = AdjustedDateNames({days, shortMonths, longMonths});
    QTEST(result.ShortDays, "expectedDays");
    QTEST(result.ShortMonths, "expectedShort");
    QTEST(result.LongMonths, "expectedLong");
}

void TstSystemServices::windowsOnlyAnswers() {
    QVERIFY(GetProgramFilesDir().isEmpty());
    QVERIFY(!IsWindows64Bit());
    QVERIFY(!GetWindowsUserName().isEmpty());
    QVERIFY(SystemBeep());
}

QTEST_MAIN(TstSystemServices)
#include "tst_systemservices.moc"
