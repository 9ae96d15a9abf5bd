#include "SystemServices.h"

#include <QApplication>
#include <QLocale>

int ShortCutToHotKey(int AShortCut) {
    if (AShortCut == 0) return 0;
    int modifiers = 0;
    if (AShortCut & 0x2000) modifiers |= 1; // HOTKEYF_SHIFT
    if (AShortCut & 0x4000) modifiers |= 2; // HOTKEYF_CONTROL
    if (AShortCut & 0x8000) modifiers |= 4; // HOTKEYF_ALT
    return (AShortCut & 0xFF) | (modifiers << 8);
}

bool SystemBeep() {
    // Without a QApplication (a console tool, an early failure) there is
    // nothing to beep through, and the caller must not be told otherwise.
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) QApplication::beep();
    return true;
}

QString RemoveAmpersands(const QString& AText) {
    QString result = AText;
    result.remove(QLatin1Char('&'));
    return result;
}

TDateNames AdjustedDateNames(TDateNames ANames) {
    for (QString& day : ANames.ShortDays)
        if (day.endsWith(QLatin1Char('.'))) day.chop(1);
    for (QString& month : ANames.ShortMonths) {
        if (month.compare(QLatin1String("JAN"), Qt::CaseInsensitive) == 0)
            month = QStringLiteral("Jän");
        else if (month.compare(QLatin1String("MRZ"), Qt::CaseInsensitive) == 0)
            month = QStringLiteral("Mär");
    }
    for (QString& month : ANames.LongMonths) {
        if (month.compare(QLatin1String("JANUAR"), Qt::CaseInsensitive) == 0) {
            month = QStringLiteral("Jänner");
            break;
        }
    }
    return ANames;
}

namespace {

TDateNames LocaleDateNames() {
    // The standalone short month names are the bare abbreviations ("Feb",
    // not "Feb."), which is what the program's date texts show.
    const QLocale locale(QLocale::German, QLocale::Austria);
    TDateNames names;
    for (int day = 1; day <= 7; ++day)
        names.ShortDays << locale.dayName(day, QLocale::ShortFormat);
    for (int month = 1; month <= 12; ++month) {
        names.ShortMonths << locale.standaloneMonthName(month, QLocale::ShortFormat);
        names.LongMonths << locale.monthName(month, QLocale::LongFormat);
    }
    return names;
}

const TDateNames& ProcessDateNames() {
    // Thread-safe one-time initialisation; AdjustDateNames only makes sure it
    // happens at start rather than at the first date text.
    static const TDateNames names = AdjustedDateNames(LocaleDateNames());
    return names;
}

QString NameAt(const QStringList& ANames, int AOneBased) {
    if (AOneBased < 1 || AOneBased > ANames.size()) return {};
    return ANames.at(AOneBased - 1);
}

} // namespace

void AdjustDateNames() {
    ProcessDateNames();
}

QString ShortDayName(int ADayOfWeek) {
    return NameAt(ProcessDateNames().ShortDays, ADayOfWeek);
}
QString ShortMonthName(int AMonth) {
    return NameAt(ProcessDateNames().ShortMonths, AMonth);
}
QString LongMonthName(int AMonth) {
    return NameAt(ProcessDateNames().LongMonths, AMonth);
}
