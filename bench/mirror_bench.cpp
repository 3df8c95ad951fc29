// Load on an update mirror over 127.0.0.1 with wrk: `orvanta-cli serve` beside nginx running the
// shipped configuration, for the list and for a 1 MB packet at 1, 10, 200 and 1000 keep-alive
// connections. nginx is the anchor: every serve figure is followed by its ratio to nginx's.
//
//   bench_mirror [SECONDS_PER_POINT (3)] [MAX_CONNECTIONS (1000)]
#include <sys/resource.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "mirror/mirror_folder.h"
#include "support/net_servers.h"
#include "support/nginx_mirror.h"
#include "support/run_command.h"

namespace {

using orv::test::TempDir;

struct Figures {
    double rps = 0;
    double p50ms = 0;
    double p99ms = 0;
    long errors = 0;  // socket errors, time-outs and answers other than 2xx/3xx
    bool ok = false;
};

// "1.23ms", "456.00us", "2.00s" -> milliseconds.
double Milliseconds(const std::string& text) {
    double v = std::atof(text.c_str());
    if (text.find("us") != std::string::npos)
        return v / 1000.0;
    if (text.find("ms") != std::string::npos)
        return v;
    if (text.find('m') != std::string::npos)  // minutes
        return v * 60000.0;
    return v * 1000.0;
}

long NumberAfter(const std::string& out, const std::string& label) {
    auto at = out.find(label);
    return at == std::string::npos ? 0 : std::atol(out.c_str() + at + label.size());
}

Figures Wrk(int port, const std::string& target, int connections, int seconds) {
    int threads = connections < 2 ? 1 : 2;
    std::string cmd = "wrk --latency -t" + std::to_string(threads) + " -c" +
                      std::to_string(connections) + " -d" + std::to_string(seconds) +
                      "s --timeout 2s " +
                      orv::test::ShellQuote("http://127.0.0.1:" + std::to_string(port) + target);
    auto r = orv::test::RunCommand(cmd, true);
    Figures f;
    const std::string& out = r.out;
    auto rps = out.find("Requests/sec:");
    if (r.code != 0 || rps == std::string::npos) {
        std::fprintf(stderr, "wrk failed: %s\n", out.c_str());
        return f;
    }
    f.ok = true;
    f.rps = std::atof(out.c_str() + rps + 13);
    auto percentile = [&](const char* label) {
        auto at = out.find(label);
        if (at == std::string::npos)
            return 0.0;
        at += std::string(label).size();
        while (at < out.size() && out[at] == ' ')
            ++at;
        return Milliseconds(out.substr(at, out.find('\n', at) - at));
    };
    f.p50ms = percentile(" 50%");
    f.p99ms = percentile(" 99%");
    f.errors = NumberAfter(out, "Non-2xx or 3xx responses:");
    if (out.find("Socket errors:") != std::string::npos) {
        f.errors += NumberAfter(out, "connect ") + NumberAfter(out, "read ") +
                    NumberAfter(out, "write ") + NumberAfter(out, "timeout ");
    }
    return f;
}

void Print(const std::string& name, const Figures& f, const Figures* anchor) {
    if (!f.ok) {
        std::printf("%s_failed: 1 run\n", name.c_str());
        return;
    }
    std::printf("%s_rps: %.0f req/s\n", name.c_str(), f.rps);
    std::printf("%s_p50: %.2f ms\n", name.c_str(), f.p50ms);
    std::printf("%s_p99: %.2f ms\n", name.c_str(), f.p99ms);
    std::printf("%s_errors: %ld count\n", name.c_str(), f.errors);
    if (anchor != nullptr && anchor->ok && anchor->rps > 0) {
        std::printf("%s_rps_vs_nginx: %.2f ratio\n", name.c_str(), f.rps / anchor->rps);
        if (anchor->p99ms > 0)
            std::printf("%s_p99_vs_nginx: %.2f ratio\n", name.c_str(), f.p99ms / anchor->p99ms);
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int maxConnections = argc > 2 ? std::atoi(argv[2]) : 1000;
    if (std::system("command -v wrk >/dev/null 2>&1") != 0) {
        std::printf("bench_mirror: wrk is not installed (apt-get install wrk); skipped\n");
        return 0;
    }
    orv::test::ClearProxyEnvironment();
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, 16384);
    setrlimit(RLIMIT_NOFILE, &limit);

    // A chain's folder: 40 small packets and a 1 MB one, published as nginx reads it.
    TempDir root, work;
    for (int n = 1; n <= 40; ++n)
        std::ofstream(root.file(std::to_string(n) + ".pckt"), std::ios::binary)
            << std::string(static_cast<size_t>(n) * 1000, 'p');
    {
        std::string block(1 << 20, '\0');
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<char>(i * 2654435761u >> 24);
        std::ofstream(root.file("41.pckt"), std::ios::binary) << block;
    }
    orv::PublishMirror(root.path());

    std::unique_ptr<orv::test::NginxMirror> nginx;
    if (orv::test::NginxInstalled()) {
        nginx = std::make_unique<orv::test::NginxMirror>(work, root.str(), "auto");
    } else {
        std::printf("bench_mirror: nginx is not installed; serve alone\n");
    }
    // serve's request log would flood the terminal: it goes nowhere here.
    orv::test::ChildProcess serveChild(
        {"sh", "-c",
         "exec " + orv::test::CliCommandLine({"serve", "--root", root.str(), "--port", "0"}) +
             " 2>/dev/null"},
        true);
    const std::string& line = serveChild.FirstLine();
    const int servePort = std::stoi(line.substr(line.find(':', line.find("//")) + 1));

    std::printf("update mirror under wrk on 127.0.0.1, %d s per point, keep-alive connections\n",
                seconds);
    const std::vector<std::pair<std::string, std::string>> requests = {
        {"list", "/orvanta/updatesquery.php?client=bench&mode=0"},
        {"packet1mb", "/orvanta/updatesquery.php?client=bench&mode=41"},
    };
    for (const auto& [what, target] : requests) {
        for (int c : {1, 10, 200, 1000}) {
            if (c > maxConnections)
                continue;
            const std::string point = what + "_c" + std::to_string(c);
            Figures anchor;
            if (nginx) {
                anchor = Wrk(nginx->port(), target, c, seconds);
                Print("nginx_" + point, anchor, nullptr);
            }
            Print("serve_" + point, Wrk(servePort, target, c, seconds), nginx ? &anchor : nullptr);
        }
    }
    return 0;
}
