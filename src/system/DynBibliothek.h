#pragma once
// A shared library opened at run time, for the sound and speech libraries:
// none of them is needed before the first window, so the program does not
// pay for loading them at start, and a machine without one still starts.
//
// Each user keeps one table of typed function pointers per library
// (ApiLaden), so a library is opened once per process, from whichever thread
// asks first, and a failure is final: it is not retried.
// The library stays loaded until the process ends, since the players' own
// statics still call into it while the process shuts down.

#include <QLoggingCategory>
#include <QString>

#include <optional>
#include <type_traits>

// Where a library or module that could not be loaded is reported.
Q_DECLARE_LOGGING_CATEGORY(LogBibliothek)

class TDynBibliothek {
public:
    // Opens ASoname (with its version, e.g. "libpulse.so.0") with all its
    // symbols resolved now and kept private to this handle.
    explicit TDynBibliothek(const char* ASoname);
    TDynBibliothek(const TDynBibliothek&) = delete;
    TDynBibliothek& operator=(const TDynBibliothek&) = delete;

    bool Offen() const { return FHandle != nullptr; }

    // Looks ASymbol up and stores it in AZiel, whose type is the function's
    // own (decltype(&::fn)); false and AZiel null when it is missing.
    template <typename TFn> bool Binden(TFn& AZiel, const char* ASymbol) {
        static_assert(std::is_pointer_v<TFn> && std::is_function_v<std::remove_pointer_t<TFn>>);
        AZiel = reinterpret_cast<TFn>(Symbol(ASymbol));
        return AZiel != nullptr;
    }

    // Why the library or the last symbol could not be had, for the log.
    const QString& Fehler() const { return FFehler; }
    // Writes Fehler() to the log; the tables call it once, when they fail.
    void Melden() const;

private:
    void* Symbol(const char* ASymbol);

    QString FSoname;
    void* FHandle = nullptr;
    QString FFehler;
};

// The table TApi of ASoname, bound by ABinden(TDynBibliothek&, TApi&) on the
// first call; null, once reported to the log, when the library or one of the
// symbols is missing. A symbol of a library that ASoname depends on is found
// through it as well.
template <typename TApi, typename TBinden> const TApi* ApiLaden(const char* ASoname, TBinden ABinden) {
    static const std::optional<TApi> api = [&]() -> std::optional<TApi> {
        TApi a;
        TDynBibliothek b(ASoname);
        if (ABinden(b, a)) return a;
        b.Melden();
        return std::nullopt;
    }();
    return api ? &*api : nullptr;
}
