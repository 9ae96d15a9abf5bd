#pragma once
// A playback stream on the sound server through its blocking client API, as
// the event sounds and the in-process voices use it.

#include <pulse/simple.h>

// Opens a stream with a small buffer of ABufferMs, so that a flush cuts the
// sound off within a few hundredths of a second; null when there is no
// server. AName is the stream's name in the server's mixer.
pa_simple* OpenPulseStream(const pa_sample_spec& ASpec, const char* AName, int ABufferMs);
