#include "PulseStream.h"

#include "DynBibliothek.h"

#include <cstdint>

const TPulseApi* PulseApi() {
    // pa_usec_to_bytes belongs to libpulse, which the simple API is built on.
    return ApiLaden<TPulseApi>("libpulse-simple.so.0", [](TDynBibliothek& b, TPulseApi& a) {
        return b.Binden(a.SimpleNew, "pa_simple_new") && b.Binden(a.SimpleWrite, "pa_simple_write") &&
               b.Binden(a.SimpleDrain, "pa_simple_drain") && b.Binden(a.SimpleFlush, "pa_simple_flush") &&
               b.Binden(a.SimpleFree, "pa_simple_free") && b.Binden(a.UsecToBytes, "pa_usec_to_bytes");
    });
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
