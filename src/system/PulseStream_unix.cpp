#include "PulseStream.h"

#include "DynBibliothek.h"

#include <cstdint>
#include <optional>

const TPulseApi* PulseApi() {
    static const std::optional<TPulseApi> api = []() -> std::optional<TPulseApi> {
        TPulseApi a;
        TDynBibliothek simple("libpulse-simple.so.0");
        if (!simple.Binden(a.SimpleNew, "pa_simple_new") ||
            !simple.Binden(a.SimpleWrite, "pa_simple_write") ||
            !simple.Binden(a.SimpleDrain, "pa_simple_drain") ||
            !simple.Binden(a.SimpleFlush, "pa_simple_flush") ||
            !simple.Binden(a.SimpleFree, "pa_simple_free")) {
            simple.Melden();
            return std::nullopt;
        }
        // Already loaded along with the simple API, which is built on it.
        TDynBibliothek pulse("libpulse.so.0");
        if (!pulse.Binden(a.UsecToBytes, "pa_usec_to_bytes")) {
            pulse.Melden();
            return std::nullopt;
        }
        return a;
    }();
    return api ? &*api : nullptr;
}

pa_simple* OpenPulseStream(const pa_sample_spec& ASpec, const char* AName, int ABufferMs) {
    const TPulseApi* pa = PulseApi();
    if (!pa) return nullptr;
    pa_buffer_attr puffer;
    puffer.maxlength = uint32_t(-1);
    puffer.tlength = uint32_t(pa->UsecToBytes(pa_usec_t(ABufferMs) * 1000, &ASpec));
    puffer.prebuf = uint32_t(-1);
    puffer.minreq = uint32_t(-1);
    puffer.fragsize = uint32_t(-1);
    int fehler = 0;
    return pa->SimpleNew(nullptr, "Tastaro", PA_STREAM_PLAYBACK, nullptr, AName, &ASpec, nullptr, &puffer,
                         &fehler);
}
