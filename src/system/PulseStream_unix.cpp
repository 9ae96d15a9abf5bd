#include "PulseStream.h"

#include <cstdint>

pa_simple* OpenPulseStream(const pa_sample_spec& ASpec, const char* AName, int ABufferMs) {
    pa_buffer_attr puffer;
    puffer.maxlength = uint32_t(-1);
    puffer.tlength = uint32_t(pa_usec_to_bytes(pa_usec_t(ABufferMs) * 1000, &ASpec));
    puffer.prebuf = uint32_t(-1);
    puffer.minreq = uint32_t(-1);
    puffer.fragsize = uint32_t(-1);
    int fehler = 0;
    return pa_simple_new(nullptr, "Tastaro", PA_STREAM_PLAYBACK, nullptr, AName, &ASpec, nullptr, &puffer, &fehler);
}
