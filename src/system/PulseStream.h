#pragma once
// A playback stream on the sound server through its blocking client API, as
// the event sounds and the in-process voices use it. The client library is
// loaded on the first stream, not at program start; its header is known to
// the implementation only (PulseApi_unix.h).

#include <cstddef>
#include <cstdint>
#include <memory>

struct pa_simple;

class TPulseStream {
public:
    enum class TFormat { U8, S16LE, S16NE };
    // The samples a stream takes, with the widths of the server's own
    // description of them.
    struct TArt {
        TFormat Format = TFormat::S16NE;
        uint32_t Rate = 0;
        uint8_t Kanaele = 0;
        bool operator==(const TArt&) const = default;
    };

    // Opens a stream with a small buffer of ABufferMs, so that a flush cuts the
    // sound off within a few hundredths of a second; null when there is no
    // server or no client library. AName is the stream's name in the server's
    // mixer.
    static std::unique_ptr<TPulseStream> Oeffnen(const TArt& AArt, const char* AName, int ABufferMs);
    ~TPulseStream();
    TPulseStream(const TPulseStream&) = delete;
    TPulseStream& operator=(const TPulseStream&) = delete;

    const TArt& Art() const { return FArt; }
    // Blocks until the server has taken the data; false when that failed.
    bool Schreiben(const void* ADaten, std::size_t ALaenge);
    // Drops what the server holds and has not played yet; false when that failed.
    bool Verwerfen();
    // Returns when everything written has been played; false when that failed.
    bool Ablaufen();

private:
    TPulseStream(pa_simple* AStream, const TArt& AArt) : FStream(AStream), FArt(AArt) {}

    pa_simple* const FStream;
    const TArt FArt;
};
