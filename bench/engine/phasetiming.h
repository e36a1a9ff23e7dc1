#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <vector>

namespace quorvex::bench {

constexpr double kBytesPerMegabyte = 1e6;

// The machine may be shared, so every phase is timed both on the wall clock
// and in the processor time this process used.
struct Instant {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    std::clock_t cpu = std::clock();
};

struct Duration {
    double wall;
    double cpu;
};

Duration Between(const Instant& start, const Instant& end);

// The medians of the wall and processor times, each taken on its own.
Duration Median(const std::vector<Duration>& durations);

double MegabytesPerSecond(std::int64_t bytes, double seconds);

// The most memory this process has held so far, in bytes.
double PeakMemoryBytes();

// The memory this process holds now, in bytes; and the most it has held since
// the kernel's high-water mark was last lowered to it.
double ResidentBytes();
void ResetPeakMemory();
double PeakSinceResetBytes();

// One line "<name> <seconds> s <MB/s> MB/s   cpu <seconds> s <MB/s> MB/s".
void PrintPhase(const char* name, const Duration& duration, std::int64_t bytes);

}  // namespace quorvex::bench
