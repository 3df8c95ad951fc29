// The desktop program's start on generated references (30,000 preparations unless other counts
// are given): from the start of the process to the description page of the first row written,
// and the process's peak memory then. Beside it, in the same run, the version look-up the
// start makes, through the executable's note and by reading the whole executable as before.
// Targets: start -> page <= 300 ms at 30k and <= 600 ms at 300k; peak RSS <= 100 MB at 30k.
//
//   bench_startup [PREPARATIONS...]   (each in a new temporary folder, removed afterwards)
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "bench_common.h"
#include "db/reference.h"
#include "db/schema.h"
#include "update/packet_engine.h"
#include "update/packet_generator.h"
#include "util/version_mark.h"

using Clock = std::chrono::steady_clock;
using orv::bench::Figure;

namespace {

constexpr int kStarts = 5;
const std::string kProgram = ORVANTA_BIN_DIR "/orvanta";

void BuildReference(const orv::bench::WorkDir& dir, int count) {
    orv::GeneratorOptions options;
    options.preparations = count;
    orv::WritePacketFile(dir.file("1.pckt"), orv::BuildPacketText(orv::GeneratePacket(options)), 1);
    orv::CreateReferenceFile(dir.file("source.bin"));
    orv::Reference ref(dir.str());
    ref.qMain.SetSql("select * from b");
    auto run = orv::ApplyPacket(ref, dir.file("1.pckt"));
    while (run->Running())
        run->Tick(std::chrono::milliseconds(200));
    std::filesystem::remove(dir.file("1.pckt"));
}

struct Start {
    double pageMs = -1;  // -1: no page within the bound
    double peakMb = 0;
};

// One start of the program on the folder: the page file's first appearance, then the end.
Start StartOnce(const orv::bench::WorkDir& dir) {
    const std::string page = dir.file("source.nvg");
    std::filesystem::remove(page);
    const std::string home = dir.file("home");
    const std::string runtime = dir.file("run");
    std::filesystem::create_directories(home);
    std::filesystem::create_directories(runtime);
    ::chmod(runtime.c_str(), 0700);

    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("ORVANTA_HOME", dir.str().c_str(), 1);
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("ORVANTA_UPDATE_SERVER", "http://127.0.0.1:9/", 1);
        // The platform plug-in's remarks would drown the figures.
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execl(kProgram.c_str(), kProgram.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    Start s;
    // Bounded: a start that writes no page within a minute is reported, not waited for.
    const auto deadline = start + std::chrono::seconds(60);
    std::error_code ec;
    while (Clock::now() < deadline) {
        if (std::filesystem::file_size(page, ec) > 0 && !ec) {
            s.pageMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return s;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // What the page's first moments cost in memory, with the window up.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::kill(pid, SIGKILL);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    s.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return s;
}

// The look-up of before: every byte of the executable read and searched for the mark.
std::string VersionByWholeFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::string mark = "ORVANTA_FILE_";
    mark += "VERSION:";
    const size_t at = data.find(mark);
    return at == std::string::npos ? std::string() : data.substr(at + mark.size(), 16);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

template <class F>
double TimeMs(F&& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool RunCount(int count) {
    const std::string label = orv::bench::CountLabel(count);
    orv::bench::WorkDir dir("startup-" + label);
    const auto buildStart = Clock::now();
    BuildReference(dir, count);
    Figure(label + "_build_reference",
           std::chrono::duration<double>(Clock::now() - buildStart).count(), "s", 1, "not counted");
    Figure(label + "_load_average", orv::bench::LoadAverage(), "", 2,
           "other work on the machine when the figures were taken");

    StartOnce(dir);  // warm-up: the first start seeds its settings
    std::vector<double> pages, peaks;
    for (int i = 0; i < kStarts; ++i) {
        const Start s = StartOnce(dir);
        if (s.pageMs < 0) {
            std::printf("%s_start_failed: 1 start  # no page written\n", label.c_str());
            return false;
        }
        pages.push_back(s.pageMs);
        peaks.push_back(s.peakMb);
    }
    const double target = count <= 30000 ? 300 : 600;
    Figure(label + "_start_to_page", Median(pages), "ms", 0,
           "median of " + std::to_string(kStarts) +
               ", target <= " + std::to_string(static_cast<int>(target)));
    Figure(label + "_start_to_page_vs_target", Median(pages) / target, "x", 2);
    Figure(label + "_peak_rss", Median(peaks), "MB", 1, count <= 30000 ? "target <= 100" : "");
    Figure(label + "_database_size",
           static_cast<double>(std::filesystem::file_size(dir.file("source.bin"))) / 1e6, "MB", 0);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        std::vector<double> note, whole;
        std::string a, b;
        for (int i = 0; i < 7; ++i) {
            note.push_back(TimeMs([&] { a = orv::FileVersionFull(kProgram); }));
            whole.push_back(TimeMs([&] { b = VersionByWholeFile(kProgram); }));
        }
        Figure("executable_size", static_cast<double>(std::filesystem::file_size(kProgram)) / 1e6,
               "MB", 1);
        Figure("version_by_note", Median(note), "ms", 3, "version " + a);
        Figure("version_by_whole_file", Median(whole), "ms", 3, "the look-up of before");
        Figure("version_speedup", Median(whole) / std::max(Median(note), 1e-6), "x", 0);
        bool ok = !a.empty() && b.rfind(a, 0) == 0;
        for (int count : orv::bench::PreparationCounts(argc, argv, 30000))
            ok = RunCount(count) && ok;
        return ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_startup: %s\n", e.what());
        return 1;
    }
}
