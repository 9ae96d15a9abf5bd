#pragma once
// The sound server's client libraries as PulseStream loads them on its first
// stream.

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
