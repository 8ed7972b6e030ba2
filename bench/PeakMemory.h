#pragma once

#include <sys/resource.h>

namespace brimble::bench {

// The process's peak resident memory so far.
inline double PeakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
}

} // namespace brimble::bench
