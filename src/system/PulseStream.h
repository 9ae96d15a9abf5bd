#pragma once
// A playback stream on the sound server through its blocking client API, as
// the event sounds and the in-process voices use it. The client library is
// loaded on the first stream, not at program start.

#include <pulse/simple.h>

// The functions of the sound server's client libraries the program calls,
// with the libraries' own signatures.
struct TPulseApi {
    decltype(&::pa_simple_new) SimpleNew = nullptr;
    decltype(&::pa_simple_write) SimpleWrite = nullptr;
    decltype(&::pa_simple_drain) SimpleDrain = nullptr;
    decltype(&::pa_simple_flush) SimpleFlush = nullptr;
    decltype(&::pa_simple_free) SimpleFree = nullptr;
    decltype(&::pa_usec_to_bytes) UsecToBytes = nullptr;
};

// Loaded on the first call, once per process; null when the libraries are
// missing, which then counts as a sound server that cannot be reached.
const TPulseApi* PulseApi();

// Opens a stream with a small buffer of ABufferMs, so that a flush cuts the
// sound off within a few hundredths of a second; null when there is no
// server. AName is the stream's name in the server's mixer. A stream that was
// opened implies PulseApi() is there for writing to and freeing it.
pa_simple* OpenPulseStream(const pa_sample_spec& ASpec, const char* AName, int ABufferMs);
