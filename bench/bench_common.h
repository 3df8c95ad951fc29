#pragma once
// What every benchmark shares: the preparation counts it is asked for, a folder of its own
// (so that two runs never meet), and its figures, one `name: value unit` a line.
#include <stdlib.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace orv::bench {

// A preparation count as typed: "30000", "30k" or "1m"; 0 when the text is no count.
inline int ParseCount(const char* text) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end == text || n <= 0)
        return 0;
    long scale = 1;
    if (*end == 'k' || *end == 'K')
        scale = 1000, ++end;
    else if (*end == 'm' || *end == 'M')
        scale = 1000000, ++end;
    return *end == '\0' ? static_cast<int>(n * scale) : 0;
}

// The counts among the arguments; the default when none is given. Other arguments are left
// to the benchmark.
inline std::vector<int> PreparationCounts(int argc, char** argv, int byDefault) {
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) {
        if (const int n = ParseCount(argv[i]))
            counts.push_back(n);
    }
    if (counts.empty())
        counts.push_back(byDefault);
    return counts;
}

// "30k" for 30000: the prefix of a run's figure names.
inline std::string CountLabel(int count) {
    if (count % 1000000 == 0)
        return std::to_string(count / 1000000) + "m";
    if (count % 1000 == 0)
        return std::to_string(count / 1000) + "k";
    return std::to_string(count);
}

// A new folder under the temporary directory ($TMPDIR), removed with everything in it unless
// ORVANTA_BENCH_KEEP is set (to look into it afterwards).
class WorkDir {
  public:
    explicit WorkDir(const std::string& name) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("orvanta-bench-" + name + "-XXXXXX"))
                .string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a folder from " + pattern);
        path_ = pattern;
    }
    ~WorkDir() {
        if (std::getenv("ORVANTA_BENCH_KEEP") != nullptr) {
            std::fprintf(stderr, "kept %s\n", path_.c_str());
            return;
        }
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

inline void Figure(const std::string& name, double value, const char* unit, int decimals = 1,
                   const std::string& note = {}) {
    std::printf("%s: %.*f %s%s%s\n", name.c_str(), decimals, value, unit,
                note.empty() ? "" : "  # ", note.c_str());
    std::fflush(stdout);
}

// CPU time of this process: on a shared machine wall time also counts waiting for a core.
inline double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// The load average of the last minute: figures taken beside other work say so.
inline double LoadAverage() {
    double load[1] = {0};
    return ::getloadavg(load, 1) == 1 ? load[0] : -1;
}

}  // namespace orv::bench
