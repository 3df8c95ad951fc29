#pragma once
// nginx from Debian on 127.0.0.1, configured from the shipped contrib/nginx/orvanta-mirror.conf
// with paths a user without root may write (pid, logs, temporary files in a test folder).
#include <unistd.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

#include "support/net_servers.h"
#include "support/temp_dir.h"

namespace orv::test {

inline std::string NginxBinary() {
    return access("/usr/sbin/nginx", X_OK) == 0 ? "/usr/sbin/nginx" : "nginx";
}

inline bool NginxInstalled() {
    return access("/usr/sbin/nginx", X_OK) == 0 || system("command -v nginx >/dev/null") == 0;
}

class NginxMirror {
  public:
    // `root`: the mirror folder. `workers`: nginx worker processes ("1", "auto").
    NginxMirror(const TempDir& work, std::string root, const std::string& workers = "1")
        : dir_(work.path() / "nginx") {
        while (root.size() > 1 && root.back() == '/')
            root.pop_back();
        std::filesystem::create_directories(dir_);
        std::ifstream in(std::string(ORVANTA_SOURCE_DIR) + "/contrib/nginx/orvanta-mirror.conf");
        std::stringstream shipped;
        shipped << in.rdbuf();
        for (int attempt = 0; attempt < 5; ++attempt) {
            port_ = FreePort();
            std::string site = shipped.str();
            Replace(site, "listen 80 default_server;",
                    "listen 127.0.0.1:" + std::to_string(port_) + ";");
            Replace(site, "root /srv/orvanta-mirror;", "root " + root + ";");
            Replace(site, "/var/log/nginx/orvanta-mirror.log", file("access.log"));
            std::ofstream(file("orvanta-mirror.conf")) << site;
            std::ofstream conf(file("nginx.conf"));
            conf << "daemon off;\nworker_processes " << workers
                 << ";\nworker_rlimit_nofile 16384;\n"
                 << "pid " << file("nginx.pid") << ";\nerror_log " << file("error.log")
                 << " warn;\nevents { worker_connections 8192; }\nhttp {\n";
            for (const char* t : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
                conf << "    " << t << "_temp_path " << file(std::string("tmp_") + t) << ";\n";
            conf << "    include " << file("orvanta-mirror.conf") << ";\n}\n";
            conf.close();
            child_ = std::make_unique<ChildProcess>(
                std::vector<std::string>{NginxBinary(), "-p", dir_.string(), "-c",
                                         file("nginx.conf"), "-e", file("error.log")},
                false);
            for (int i = 0; i < 200 && child_->Alive() && !CanConnect(port_); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (child_->Alive() && CanConnect(port_))
                return;
        }
        std::ifstream log(file("error.log"));
        std::stringstream ss;
        ss << log.rdbuf();
        throw std::runtime_error("nginx did not start: " + ss.str());
    }
    int port() const { return port_; }
    std::string address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

  private:
    static void Replace(std::string& text, const std::string& what, const std::string& with) {
        auto at = text.find(what);
        if (at == std::string::npos)
            throw std::runtime_error("orvanta-mirror.conf has no line " + what);
        text.replace(at, what.size(), with);
    }

    std::filesystem::path dir_;
    int port_ = 0;
    std::unique_ptr<ChildProcess> child_;
};

}  // namespace orv::test
