#pragma once
// Real servers on 127.0.0.1 for the network tests: `orvanta-cli serve` and tinyproxy as child
// processes, and a scripted server that answers with exact bytes (to cut a body short, stall,
// or record the request it got).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace orv::test {

// A port nobody listens on right now.
inline int FreePort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

inline bool CanConnect(int port) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

// Clears the proxy variables of the environment so that "no proxy" really means none.
inline void ClearProxyEnvironment() {
    for (const char* v : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                          "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
        unsetenv(v);
    }
}

// A child process, killed and reaped when this goes away.
class ChildProcess {
  public:
    // With captureLine, waits for the child's first line of standard output and keeps it.
    ChildProcess(const std::vector<std::string>& argv, bool captureLine) {
        int fds[2];
        if (pipe(fds) != 0)
            throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            if (captureLine) {
                dup2(fds[1], 1);
            } else {
                // Nobody reads it: a full pipe must not block the child.
                int null = open("/dev/null", O_WRONLY);
                dup2(null, 1);
            }
            close(fds[0]);
            close(fds[1]);
            std::vector<char*> args;
            for (const auto& a : argv)
                args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execvp(args[0], args.data());
            _exit(127);
        }
        close(fds[1]);
        out_ = fdopen(fds[0], "r");
        if (captureLine) {
            char buf[1024];
            if (fgets(buf, sizeof buf, out_) == nullptr)
                throw std::runtime_error("no output from " + argv[0]);
            firstLine_ = buf;
        }
    }
    ~ChildProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status;
            // A child that does not end within two seconds is killed.
            for (int i = 0; i < 200 && waitpid(pid_, &status, WNOHANG) == 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (waitpid(pid_, &status, WNOHANG) == 0) {
                kill(pid_, SIGKILL);
                waitpid(pid_, &status, 0);
            }
        }
        if (out_ != nullptr)
            fclose(out_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    const std::string& FirstLine() const { return firstLine_; }
    bool Alive() const { return waitpid(pid_, nullptr, WNOHANG) == 0; }

  private:
    pid_t pid_ = -1;
    FILE* out_ = nullptr;
    std::string firstLine_;
};

// `orvanta-cli serve` over a folder of packets, on a free port.
class ServeProcess {
  public:
    explicit ServeProcess(const std::string& root)
        : child_({std::string(ORVANTA_BIN_DIR) + "/orvanta-cli", "serve", "--root", root, "--port",
                  "0"},
                 true) {
        const std::string& line = child_.FirstLine();
        auto colon = line.find(':', line.find("//"));
        port_ = std::stoi(line.substr(colon + 1));
    }
    int port() const { return port_; }
    std::string address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

  private:
    ChildProcess child_;
    int port_ = 0;
};

// tinyproxy on a free port, asking for user "user" and password "secret".
class TinyProxy {
  public:
    explicit TinyProxy(const TempDir& dir) {
        // Another process may take the free port first: then tinyproxy ends and we try again.
        for (int attempt = 0; attempt < 5; ++attempt) {
            port_ = FreePort();
            std::ofstream conf(dir.file("tinyproxy.conf"));
            conf << "Port " << port_ << "\nListen 127.0.0.1\nTimeout 10\nMaxClients 20\n"
                 << "Allow 127.0.0.1\nBasicAuth user secret\nLogLevel Critical\n";
            conf.close();
            child_ = std::make_unique<ChildProcess>(
                std::vector<std::string>{"tinyproxy", "-d", "-c", dir.file("tinyproxy.conf")},
                false);
            for (int i = 0; i < 100 && child_->Alive() && !CanConnect(port_); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (child_->Alive() && CanConnect(port_))
                return;
        }
        throw std::runtime_error("tinyproxy did not start");
    }
    int port() const { return port_; }

  private:
    int port_ = 0;
    std::unique_ptr<ChildProcess> child_;
};

// Answers every connection with `response` (or what `respond` makes of the request), optionally
// holding the connection open afterwards (a stalled transfer) instead of closing it (a body cut
// short when it is shorter than its Content-Length), and optionally trickling it out one byte
// every `trickleMs` milliseconds. Keeps the requests it read.
class ScriptedServer {
  public:
    using Responder = std::function<std::string(const std::string& request)>;
    explicit ScriptedServer(std::string response, bool holdOpen = false, int trickleMs = 0)
        : ScriptedServer(Responder([response](const std::string&) { return response; }), holdOpen,
                         trickleMs) {}
    explicit ScriptedServer(Responder respond, bool holdOpen = false, int trickleMs = 0)
        : respond_(std::move(respond)), holdOpen_(holdOpen), trickleMs_(trickleMs) {
        listen_ = socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        ::listen(listen_, 8);
        thread_ = std::thread([this] { Loop(); });
    }
    ~ScriptedServer() {
        stop_ = true;
        shutdown(listen_, SHUT_RDWR);
        close(listen_);
        thread_.join();
    }
    int port() const { return port_; }
    std::string address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    std::vector<std::string> Requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    static std::string Answer(int status, const std::string& body, long contentLength = -1) {
        return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " +
               std::to_string(contentLength < 0 ? static_cast<long>(body.size()) : contentLength) +
               "\r\nConnection: close\r\n\r\n" + body;
    }

  private:
    void Loop() {
        while (!stop_) {
            int c = accept(listen_, nullptr, nullptr);
            if (c < 0)
                return;
            std::string request;
            char buf[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                ssize_t n = recv(c, buf, sizeof buf, 0);
                if (n <= 0)
                    break;
                request.append(buf, static_cast<size_t>(n));
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request);
            }
            const std::string response = respond_(request);
            if (trickleMs_ > 0) {
                for (size_t i = 0; i < response.size() && !stop_; ++i) {
                    if (send(c, response.data() + i, 1, MSG_NOSIGNAL) != 1)
                        break;
                    std::this_thread::sleep_for(std::chrono::milliseconds(trickleMs_));
                }
            } else {
                send(c, response.data(), response.size(), MSG_NOSIGNAL);
            }
            while (holdOpen_ && !stop_)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            close(c);
        }
    }

    Responder respond_;
    bool holdOpen_;
    int trickleMs_;
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

}  // namespace orv::test
