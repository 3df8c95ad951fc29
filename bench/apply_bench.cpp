// Applies a generated packet (30,000 preparations with their manufacturers and groups unless
// other counts are given) to an empty reference, tick by tick as the window drives it. Prints
// the CPU and wall time, the tick distribution, and the time one line per 20 ms tick would
// take; with several counts, how the CPU time grows against the rows.
// Targets: CPU(300k) <= 11 x CPU(30k), 300k in <= 40 s wall, longest tick <= 50 ms and
// p99 <= 25 ms on a quiet machine.
//
//   bench_apply [PREPARATIONS...]   (e.g. `bench_apply 30k 300k`; each in a new temporary
//                                    folder, removed afterwards)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_common.h"
#include "db/reference.h"
#include "db/schema.h"
#include "update/packet_engine.h"
#include "update/packet_generator.h"

using Clock = std::chrono::steady_clock;
using orv::bench::Figure;

namespace {

struct Result {
    int count = 0;
    double cpuSeconds = 0;
    double wallSeconds = 0;
};

double Quantile(const std::vector<double>& sorted, double q) {
    return sorted.empty() ? 0.0
                          : sorted[static_cast<size_t>(static_cast<double>(sorted.size() - 1) * q)];
}

Result RunCount(int count) {
    const std::string label = orv::bench::CountLabel(count);
    orv::bench::WorkDir dir("apply-" + label);
    orv::GeneratorOptions options;
    options.preparations = count;
    const auto genStart = Clock::now();
    orv::PacketContent content = orv::GeneratePacket(options);
    const size_t lines =
        content.preparations.size() + content.manufacturers.size() + content.groups.size();
    const size_t steps = std::max(
        {content.preparations.size(), content.manufacturers.size(), content.groups.size()});
    orv::WritePacketFile(dir.file("1.pckt"), orv::BuildPacketText(content), 1);
    content = {};
    Figure(label + "_generate", std::chrono::duration<double>(Clock::now() - genStart).count(), "s",
           1, "not counted");

    orv::CreateReferenceFile(dir.file("source.bin"));
    orv::Reference ref(dir.str());
    ref.qMain.SetSql("select * from b");
    const auto start = Clock::now();
    const double cpuStart = orv::bench::CpuMs();
    auto run = orv::ApplyPacket(ref, dir.file("1.pckt"));
    const double prepareSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<double> ticks;
    while (run->Running()) {
        const auto t0 = Clock::now();
        run->Tick();
        ticks.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    Result r;
    r.count = count;
    r.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    r.cpuSeconds = (orv::bench::CpuMs() - cpuStart) / 1000.0;
    std::error_code ec;
    const auto walBytes = std::filesystem::file_size(dir.file("source.bin-wal"), ec);
    const auto dbBytes = std::filesystem::file_size(dir.file("source.bin"), ec);

    // The last tick completes the run (its own checkpoint and statistics): apart.
    const double last = ticks.empty() ? 0.0 : ticks.back();
    std::vector<double> sorted(ticks.begin(), ticks.end() - (ticks.empty() ? 0 : 1));
    std::sort(sorted.begin(), sorted.end());
    const auto over = std::count_if(sorted.begin(), sorted.end(), [](double t) { return t > 50; });

    Figure(label + "_preparations", run->TotalPreparations(), "rows", 0);
    Figure(label + "_lines", static_cast<double>(lines), "lines", 0);
    Figure(label + "_load_average", orv::bench::LoadAverage(), "", 2,
           "other work on the machine when the figures were taken");
    Figure(label + "_checks", prepareSeconds, "s", 2, "ApplyPacket before the first tick");
    Figure(label + "_wall", r.wallSeconds, "s", 2);
    Figure(label + "_cpu", r.cpuSeconds, "s", 2);
    Figure(label + "_lines_per_second", static_cast<double>(lines) / r.wallSeconds, "lines/s", 0);
    Figure(label + "_one_line_per_tick", static_cast<double>(steps) * 0.020, "s", 0,
           "one line per 20 ms tick");
    Figure(label + "_speedup_vs_one_line_per_tick",
           static_cast<double>(steps) * 0.020 / r.wallSeconds, "x", 1);
    Figure(label + "_ticks", static_cast<double>(ticks.size()), "ticks", 0);
    Figure(label + "_tick_median", Quantile(sorted, 0.5), "ms", 1);
    Figure(label + "_tick_p99", Quantile(sorted, 0.99), "ms", 1, "target <= 25");
    Figure(label + "_tick_max", sorted.empty() ? 0.0 : sorted.back(), "ms", 1, "target <= 50");
    Figure(label + "_ticks_over_50ms", static_cast<double>(over), "ticks", 0);
    Figure(label + "_tick_last", last, "ms", 1, "completion");
    Figure(label + "_longest_lines_tick", static_cast<double>(run->LongestTick().count()) / 1000.0,
           "ms", 1, "engine's own measure, with its commit");
    Figure(label + "_longest_checkpoint",
           static_cast<double>(run->LongestCheckpoint().count()) / 1000.0, "ms", 1);
    Figure(label + "_database_size", static_cast<double>(dbBytes) / 1e6, "MB", 0);
    Figure(label + "_log_size", static_cast<double>(walBytes) / 1e6, "MB", 0);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        std::vector<Result> results;
        for (int count : orv::bench::PreparationCounts(argc, argv, 30000))
            results.push_back(RunCount(count));
        for (size_t i = 1; i < results.size(); ++i) {
            const Result& a = results[i - 1];
            const Result& b = results[i];
            const std::string n =
                orv::bench::CountLabel(b.count) + "_vs_" + orv::bench::CountLabel(a.count);
            Figure(n + "_rows", static_cast<double>(b.count) / a.count, "x", 1);
            Figure(n + "_cpu", b.cpuSeconds / a.cpuSeconds, "x", 1, "target <= 11 for 10x rows");
            Figure(n + "_wall", b.wallSeconds / a.wallSeconds, "x", 1);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_apply: %s\n", e.what());
        return 1;
    }
    return 0;
}
