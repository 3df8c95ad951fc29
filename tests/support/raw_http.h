#pragma once
// HTTP/1.1 spoken by hand over a socket, for requests no client library would send (a path
// with "..", a malformed query) and for reading an answer at the pace the test chooses.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

namespace orv::test {

struct RawAnswer {
    int status = 0;  // 0: no answer
    std::string headers;
    std::string body;
    long contentLength = -1;
};

class RawConnection {
  public:
    explicit RawConnection(int port) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        timeval tv{10, 0};  // a silent server fails the test instead of hanging it
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<uint16_t>(port));
        if (connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
            throw std::runtime_error("cannot connect to port " + std::to_string(port));
    }
    ~RawConnection() { close(fd_); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    void Send(const std::string& bytes) {
        if (send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("send failed");
    }
    void Get(const std::string& target, bool keepAlive = false) {
        Send("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
             (keepAlive ? "" : "Connection: close\r\n") + "\r\n");
    }
    // Reads up to the end of the headers (and whatever body came with them).
    RawAnswer ReadHeaders() {
        RawAnswer a;
        while (buffer_.find("\r\n\r\n") == std::string::npos) {
            if (!ReadSome())
                return a;
        }
        auto end = buffer_.find("\r\n\r\n");
        a.headers = buffer_.substr(0, end + 4);
        buffer_.erase(0, end + 4);
        if (a.headers.rfind("HTTP/1.", 0) == 0 && a.headers.size() > 12)
            a.status = std::stoi(a.headers.substr(9, 3));
        auto cl = Lower(a.headers).find("\r\ncontent-length:");
        if (cl != std::string::npos)
            a.contentLength = std::stol(a.headers.substr(cl + 17));
        return a;
    }
    // Reads `n` more body bytes (fewer when the connection ends).
    std::string ReadBody(size_t n) {
        while (buffer_.size() < n && ReadSome()) {
        }
        std::string out = buffer_.substr(0, n);
        buffer_.erase(0, out.size());
        return out;
    }
    // One whole answer: headers and the body of its Content-Length (or up to the close).
    RawAnswer ReadAnswer() {
        RawAnswer a = ReadHeaders();
        if (a.status == 0)
            return a;
        if (a.contentLength >= 0) {
            a.body = ReadBody(static_cast<size_t>(a.contentLength));
        } else {
            while (ReadSome()) {
            }
            a.body.swap(buffer_);
        }
        return a;
    }

  private:
    static std::string Lower(std::string s) {
        for (char& c : s)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return s;
    }
    bool ReadSome() {
        char buf[65536];
        ssize_t n = recv(fd_, buf, sizeof buf, 0);
        if (n <= 0)
            return false;
        buffer_.append(buf, static_cast<size_t>(n));
        return true;
    }

    int fd_ = -1;
    std::string buffer_;
};

// One request on a connection of its own.
inline RawAnswer RawGet(int port, const std::string& target) {
    RawConnection c(port);
    c.Get(target);
    return c.ReadAnswer();
}

}  // namespace orv::test
