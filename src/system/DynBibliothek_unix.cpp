#include "DynBibliothek.h"

#include <dlfcn.h>

Q_LOGGING_CATEGORY(LogBibliothek, "tastaro.bibliothek")

namespace {
QString DlFehler() {
    const char* text = dlerror();
    return text ? QString::fromLocal8Bit(text) : QString();
}
} // namespace

TDynBibliothek::TDynBibliothek(const char* ASoname) : FSoname(QString::fromLatin1(ASoname)) {
    dlerror();
    FHandle = dlopen(ASoname, RTLD_NOW | RTLD_LOCAL);
    if (!FHandle) {
        const QString grund = DlFehler();
        FFehler = grund.isEmpty() ? FSoname + QStringLiteral(": cannot be opened") : grund;
    }
}

void* TDynBibliothek::Symbol(const char* ASymbol) {
    if (!FHandle) return nullptr;
    dlerror();
    void* adresse = dlsym(FHandle, ASymbol);
    if (!adresse) {
        const QString grund = DlFehler();
        FFehler =
            grund.isEmpty() ? QStringLiteral("%1: no symbol %2").arg(FSoname, QLatin1String(ASymbol)) : grund;
    }
    return adresse;
}

void TDynBibliothek::Melden() const {
    qCWarning(LogBibliothek).noquote() << QStringLiteral("not loaded:") << FFehler;
}
