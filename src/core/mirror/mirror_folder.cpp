#include "mirror/mirror_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "util/error.h"

namespace orv {
namespace fs = std::filesystem;

namespace {

bool AllDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string SystemReason() {
    return std::strerror(errno);
}

// A file descriptor closed when it goes away.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// A temporary file beside `target`, removed unless committed.
class TempFile {
  public:
    explicit TempFile(const fs::path& target) : target_(target) {
        std::string pattern = (target.parent_path() / ".orvanta-tmp-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        fd_ = ::mkstemp(name.data());
        if (fd_ < 0)
            throw Error("Не удалось создать временный файл в " + target.parent_path().string() +
                        ": " + SystemReason());
        path_ = name.data();
        // mkstemp makes it private; a web server running as another user must read it.
        ::fchmod(fd_, 0644);
    }
    ~TempFile() {
        if (fd_ >= 0)
            ::close(fd_);
        if (!committed_)
            ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    void Write(const char* data, size_t n) {
        while (n > 0) {
            ssize_t w = ::write(fd_, data, n);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                throw Error("Не удалось записать файл " + target_.string() + ": " + SystemReason());
            data += w;
            n -= static_cast<size_t>(w);
        }
    }
    // Flushed to disk, then renamed over the target in one step.
    void Commit() {
        if (::fsync(fd_) != 0 || ::close(fd_) != 0) {
            fd_ = -1;
            throw Error("Не удалось записать файл " + target_.string() + ": " + SystemReason());
        }
        fd_ = -1;
        if (::rename(path_.c_str(), target_.c_str()) != 0)
            throw Error("Не удалось записать файл " + target_.string() + ": " + SystemReason());
        committed_ = true;
    }

  private:
    fs::path target_;
    std::string path_;
    int fd_ = -1;
    bool committed_ = false;
};

bool SameBytes(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    auto sa = fs::file_size(a, ec);
    if (ec)
        return false;
    auto sb = fs::file_size(b, ec);
    if (ec || sa != sb)
        return false;
    std::ifstream ia(a, std::ios::binary), ib(b, std::ios::binary);
    std::array<char, 64 * 1024> ba{}, bb{};
    while (ia && ib) {
        ia.read(ba.data(), ba.size());
        ib.read(bb.data(), bb.size());
        if (ia.gcount() != ib.gcount() ||
            std::memcmp(ba.data(), bb.data(), static_cast<size_t>(ia.gcount())) != 0) {
            return false;
        }
    }
    return ia.eof() && ib.eof();
}

void CopyAtomically(const fs::path& source, const fs::path& target) {
    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        throw Error("Не удалось прочитать файл " + source.string() + ": " + SystemReason());
    TempFile out(target);
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        ssize_t n = ::read(in.get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw Error("Не удалось прочитать файл " + source.string() + ": " + SystemReason());
        if (n == 0)
            break;
        out.Write(buffer.data(), static_cast<size_t>(n));
    }
    out.Commit();
}

}  // namespace

int PacketNumberOfName(std::string_view name) {
    constexpr std::string_view kExt = ".pckt";
    if (name.size() <= kExt.size() || name.substr(name.size() - kExt.size()) != kExt)
        return 0;
    auto mode = ParseRequestMode(name.substr(0, name.size() - kExt.size()));
    return mode ? *mode : 0;
}

std::optional<int> ParseRequestMode(std::string_view text) {
    if (text.empty() || text.size() > 9 || !AllDigits(text) || (text[0] == '0' && text.size() > 1))
        return std::nullopt;
    int n = 0;
    for (char c : text)
        n = n * 10 + (c - '0');
    return n;
}

std::vector<MirrorPacket> FolderPackets(const fs::path& root) {
    std::vector<MirrorPacket> packets;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec)) {
        int n = PacketNumberOfName(entry.path().filename().string());
        std::error_code fileEc;
        if (n <= 0 || !entry.is_regular_file(fileEc) || entry.is_symlink(fileEc))
            continue;
        auto size = entry.file_size(fileEc);
        if (!fileEc)
            packets.push_back({n, size});
    }
    std::sort(packets.begin(), packets.end(),
              [](const MirrorPacket& a, const MirrorPacket& b) { return a.number < b.number; });
    return packets;
}

std::string ListAnswerText(const std::vector<MirrorPacket>& packets) {
    std::string text;
    for (const auto& p : packets)
        text += std::to_string(p.number) + " " + std::to_string(p.size) + "\r\n";
    return text;
}

std::string ListAnswer(const fs::path& root) {
    return ListAnswerText(FolderPackets(root));
}

void ReplaceFileAtomically(const fs::path& target, std::string_view bytes) {
    TempFile out(target);
    out.Write(bytes.data(), bytes.size());
    out.Commit();
}

PublishResult PublishMirror(const fs::path& root, const std::optional<fs::path>& from) {
    std::error_code ec;
    if (!fs::is_directory(root, ec))
        throw Error("Нет такой папки: " + TextForLog(root.string()));
    PublishResult result;
    if (from) {
        if (!fs::is_directory(*from, ec))
            throw Error("Нет такой папки: " + TextForLog(from->string()));
        for (const MirrorPacket& p : FolderPackets(*from)) {
            const std::string name = std::to_string(p.number) + ".pckt";
            if (fs::equivalent(*from / name, root / name, ec) ||
                SameBytes(*from / name, root / name))
                continue;
            CopyAtomically(*from / name, root / name);
            ++result.copied;
        }
    }
    result.packets = FolderPackets(root);
    result.listText = ListAnswerText(result.packets);
    ReplaceFileAtomically(root / kMirrorListFile, result.listText);
    return result;
}

std::string TextForLog(std::string_view text, size_t maxChars) {
    std::string out;
    size_t chars = 0;
    for (const char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        bool continuation = (c & 0xC0) == 0x80;
        if (!continuation && chars == maxChars) {
            out += "…";
            break;
        }
        if (!continuation)
            ++chars;
        if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace orv
