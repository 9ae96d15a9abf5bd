#pragma once
// A nearly full disk for the files this process writes: while an object
// lives, no file may grow beyond the given size. A write past it fails with
// EFBIG, as one on a full disk fails with ENOSPC, and the process is not
// killed for it. Needs no mount and no root.

#include <csignal>
#include <sys/resource.h>

class TVollerDatentraeger {
public:
    explicit TVollerDatentraeger(rlim_t AFreiBytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &FAlt);
        rlimit neu = FAlt;
        neu.rlim_cur = AFreiBytes;
        setrlimit(RLIMIT_FSIZE, &neu);
    }
    ~TVollerDatentraeger() { setrlimit(RLIMIT_FSIZE, &FAlt); }
    TVollerDatentraeger(const TVollerDatentraeger&) = delete;
    TVollerDatentraeger& operator=(const TVollerDatentraeger&) = delete;

private:
    rlimit FAlt{};
};
