#include "PulseStream.h"

#include "DynBibliothek.h"
#include "PulseApi_unix.h"

#include <cstdint>

const TPulseApi* PulseApi() {
    // pa_usec_to_bytes belongs to libpulse, which the simple API is built on.
    return ApiLaden<TPulseApi>("libpulse-simple.so.0", [](TDynBibliothek& b, TPulseApi& a) {
        return b.Binden(a.SimpleNew, "pa_simple_new") && b.Binden(a.SimpleWrite, "pa_simple_write") &&
               b.Binden(a.SimpleDrain, "pa_simple_drain") && b.Binden(a.SimpleFlush, "pa_simple_flush") &&
               b.Binden(a.SimpleFree, "pa_simple_free") && b.Binden(a.UsecToBytes, "pa_usec_to_bytes");
    });
}

namespace {
pa_sample_format_t Format(TPulseStream::TFormat AFormat) {
    switch (AFormat) {
    case TPulseStream::TFormat::U8:
        return PA_SAMPLE_U8;
    case TPulseStream::TFormat::S16LE:
        return PA_SAMPLE_S16LE;
    case TPulseStream::TFormat::S16NE:
        break;
    }
    return PA_SAMPLE_S16NE;
}
} // namespace

// A stream that was opened implies PulseApi() is there for writing to and
// freeing it.
std::unique_ptr<TPulseStream> TPulseStream::Oeffnen(const TArt& AArt, const char* AName, int ABufferMs) {
    const TPulseApi* pa = PulseApi();
    if (!pa) return nullptr;
    pa_sample_spec art{};
    art.format = Format(AArt.Format);
    art.rate = AArt.Rate;
    art.channels = AArt.Kanaele;
    pa_buffer_attr puffer;
    puffer.maxlength = uint32_t(-1);
    puffer.tlength = uint32_t(pa->UsecToBytes(pa_usec_t(ABufferMs) * 1000, &art));
    puffer.prebuf = uint32_t(-1);
    puffer.minreq = uint32_t(-1);
    puffer.fragsize = uint32_t(-1);
    int fehler = 0;
    pa_simple* stream = pa->SimpleNew(nullptr, "Tastaro", PA_STREAM_PLAYBACK, nullptr, AName, &art, nullptr,
                                      &puffer, &fehler);
    if (!stream) return nullptr;
    return std::unique_ptr<TPulseStream>(new TPulseStream(stream, AArt));
}

TPulseStream::~TPulseStream() {
    PulseApi()->SimpleFree(FStream);
}

bool TPulseStream::Schreiben(const void* ADaten, std::size_t ALaenge) {
    int fehler = 0;
    return PulseApi()->SimpleWrite(FStream, ADaten, ALaenge, &fehler) >= 0;
}

bool TPulseStream::Verwerfen() {
    int fehler = 0;
    return PulseApi()->SimpleFlush(FStream, &fehler) >= 0;
}

bool TPulseStream::Ablaufen() {
    int fehler = 0;
    return PulseApi()->SimpleDrain(FStream, &fehler) >= 0;
}
