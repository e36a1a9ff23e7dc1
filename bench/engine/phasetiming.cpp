#include "bench/engine/phasetiming.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

namespace quorvex::bench {

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

constexpr double kBytesPerMaxRssUnit = 1024;  // Linux reports ru_maxrss in KiB
constexpr double kBytesPerStatusUnit = 1024;  // and /proc/self/status in kB

// A memory figure of /proc/self/status, such as "VmRSS", in bytes.
double StatusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stod(line.substr(field.size() + 1)) * kBytesPerStatusUnit;
        }
    }
    return 0;
}

}  // namespace

double ResidentBytes() {
    return StatusBytes("VmRSS");
}

void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double PeakSinceResetBytes() {
    return StatusBytes("VmHWM");
}

double PeakMemoryBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * kBytesPerMaxRssUnit;
}

Duration Between(const Instant& start, const Instant& end) {
    return {std::chrono::duration<double>(end.wall - start.wall).count(),
            static_cast<double>(end.cpu - start.cpu) / CLOCKS_PER_SEC};
}

Duration Median(const std::vector<Duration>& durations) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (const Duration& duration : durations) {
        wall.push_back(duration.wall);
        cpu.push_back(duration.cpu);
    }
    return {Median(wall), Median(cpu)};
}

double MegabytesPerSecond(std::int64_t bytes, double seconds) {
    return seconds > 0 ? static_cast<double>(bytes) / kBytesPerMegabyte / seconds : 0;
}

void PrintPhase(const char* name, const Duration& duration, std::int64_t bytes) {
    std::printf("%-5s %9.4f s %9.1f MB/s   cpu %9.4f s %9.1f MB/s\n", name, duration.wall,
                MegabytesPerSecond(bytes, duration.wall), duration.cpu,
                MegabytesPerSecond(bytes, duration.cpu));
}

}  // namespace quorvex::bench
