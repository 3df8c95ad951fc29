// Applies a generated packet (default 30,000 preparations with their manufacturers and groups)
// to an empty reference, tick by tick as the window drives it, and prints lines per second,
// the total time and the longest tick beside what one line per 20 ms tick would take.
// Targets on the development machine: total <= 10 s, no tick over 50 ms.
//   bench_apply [PREPARATIONS] [WORK_DIR]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "db/reference.h"
#include "db/schema.h"
#include "update/packet_engine.h"
#include "update/packet_generator.h"

using Clock = std::chrono::steady_clock;

namespace {
// CPU time of this process: on a shared machine wall time also counts waiting for a core.
double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 30000;
    std::string dir =
        argc > 2 ? argv[2]
                 : (std::filesystem::temp_directory_path() / "orvanta-bench-apply").string();
    if (dir.back() != '/')
        dir += '/';
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);

    orv::GeneratorOptions options;
    options.preparations = count;
    auto genStart = Clock::now();
    orv::PacketContent content = orv::GeneratePacket(options);
    const size_t lines =
        content.preparations.size() + content.manufacturers.size() + content.groups.size();
    const size_t steps = std::max(
        {content.preparations.size(), content.manufacturers.size(), content.groups.size()});
    orv::WritePacketFile(dir + "1.pckt", orv::BuildPacketText(content), 1);
    content = {};
    const double genSeconds = std::chrono::duration<double>(Clock::now() - genStart).count();

    try {
        orv::CreateReferenceFile(dir + "source.bin");
        orv::Reference ref(dir);
        ref.qMain.SetSql("select * from b");
        if (std::getenv("SYNC"))
            ref.db().Exec(std::string("pragma ") + std::getenv("SYNC"));
        auto start = Clock::now();
        const double cpuStart = CpuMs();
        auto run = orv::ApplyPacket(ref, dir + "1.pckt");
        const double prepareSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::vector<double> ticks;
        double longestCpu = 0;
        while (run->Running()) {
            auto t0 = Clock::now();
            const double c0 = CpuMs();
            run->Tick();
            ticks.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
            if (run->Running())
                longestCpu = std::max(longestCpu, CpuMs() - c0);
        }
        const double total = std::chrono::duration<double>(Clock::now() - start).count();
        const double cpuTotal = (CpuMs() - cpuStart) / 1000.0;
        std::error_code walError;
        const auto walBytes = std::filesystem::file_size(dir + "source.bin-wal", walError);
        const auto dbBytes = std::filesystem::file_size(dir + "source.bin", walError);
        double longest = 0, longestApply = 0;
        for (size_t i = 0; i < ticks.size(); ++i) {
            longest = std::max(longest, ticks[i]);
            if (i + 1 < ticks.size())
                longestApply = std::max(longestApply, ticks[i]);
        }
        std::printf("preparations        %d (+%zu manufacturers, %zu groups)\n", count,
                    static_cast<size_t>(orv::GeneratedManufacturerCount(count)),
                    static_cast<size_t>(orv::GeneratedGroupCount(count)));
        std::printf("generate + pack     %.2f s (not counted)\n", genSeconds);
        std::printf("ApplyPacket checks  %.2f s\n", prepareSeconds);
        std::printf("ticks               %zu\n", ticks.size());
        std::printf("lines per second    %.0f\n", static_cast<double>(lines) / total);
        std::printf("total               %.2f s   (target <= 10 s)\n", total);
        std::printf(
            "CPU time            %.2f s (wall time on a shared machine also waits for a core)\n",
            cpuTotal);
        std::printf(
            "longest tick        %.1f ms (target <= 50 ms; last tick, with completion: %.1f ms)\n",
            longestApply, ticks.empty() ? 0.0 : ticks.back());
        std::vector<double> sorted(ticks.begin(), ticks.end() - (ticks.empty() ? 0 : 1));
        std::sort(sorted.begin(), sorted.end());
        if (!sorted.empty()) {
            size_t over = static_cast<size_t>(
                std::count_if(sorted.begin(), sorted.end(), [](double t) { return t > 50; }));
            std::printf("tick median / p99   %.1f / %.1f ms, %zu over 50 ms\n",
                        sorted[sorted.size() / 2], sorted[sorted.size() * 99 / 100], over);
        }
        std::printf("longest tick, CPU   %.1f ms\n", longestCpu);
        std::printf("longest lines tick  %.1f ms (engine's own measure, with its commit)\n",
                    static_cast<double>(run->LongestTick().count()) / 1000.0);
        std::printf("longest checkpoint  %.1f ms (a tick of its own)\n",
                    static_cast<double>(run->LongestCheckpoint().count()) / 1000.0);
        std::printf("one line per 20 ms  %.0f s (%zu steps)\n", static_cast<double>(steps) * 0.020,
                    steps);
        std::printf("preparations in b   %d\n", run->TotalPreparations());
        std::printf("database / log      %.0f / %.0f MB\n", static_cast<double>(dbBytes) / 1e6,
                    static_cast<double>(walBytes) / 1e6);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_apply: %s\n", e.what());
        return 1;
    }
    std::filesystem::remove_all(dir);
    return 0;
}
