#include "util/program_dir.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "util/error.h"
#include "util/paths.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

constexpr const char* kReference = "source.bin";
constexpr const char* kSeedPrefix = ".seed-";

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

// A path from the environment, as a message quotes it: at most 100 characters.
std::string Shown(const std::string& path) {
    size_t chars = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if ((static_cast<unsigned char>(path[i]) & 0xC0) != 0x80 && ++chars > 100)
            return path.substr(0, i) + "…";
    }
    return path;
}

[[noreturn]] void Fail(const std::string& dir, int error) {
    const std::string quoted = "«" + Shown(dir) + "»";
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            throw Error("Нет прав на запись в папку справочника " + quoted);
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            throw Error("Недостаточно места на диске для справочника в папке " + quoted);
        case ENOTDIR:
        case EEXIST:
            throw Error("Папку справочника " + quoted + " нельзя создать: на её пути лежит файл");
        default:
            throw Error("Не удалось подготовить папку справочника " + quoted + " (ошибка " +
                        std::to_string(error) + ")");
    }
}

bool IsDirectory(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

bool ExistsAsNonDirectory(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec) && !fs::is_directory(p, ec);
}

// Creates the folder and its parents; a folder made here is the user's alone (the settings
// it will hold include the proxy password).
void MakeFolder(const std::string& dir) {
    std::error_code ec;
    if (IsDirectory(dir))
        return;
    fs::create_directories(dir, ec);
    if (ec)
        Fail(dir, ec.value());
    fs::permissions(dir, fs::perms::owner_all, ec);
}

// Names of a folder's entries, source.bin last: its arrival completes a seeding.
std::vector<std::string> EntriesReferenceLast(const fs::path& dir, std::error_code& ec) {
    std::vector<std::string> names;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::stable_partition(names.begin(), names.end(),
                          [](const std::string& n) { return n != kReference; });
    return names;
}

// A file copied by hand rather than by std::filesystem, whose errors lose their cause (a full
// disk comes back as EIO): 0 or the errno of the failing call.
int CopyFileBytes(const fs::path& from, const fs::path& to) {
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno;
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (out < 0) {
        const int e = errno;
        close(in);
        return e;
    }
    int error = 0;
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const ssize_t n = read(in, buffer.data(), buffer.size());
        if (n == 0)
            break;
        if (n < 0) {
            error = errno;
            break;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = write(out, buffer.data() + done, static_cast<size_t>(n - done));
            if (w < 0) {
                error = errno;
                break;
            }
            done += w;
        }
        if (error != 0)
            break;
    }
    if (error == 0 && fsync(out) != 0)
        error = errno;
    if (close(out) != 0 && error == 0)
        error = errno;
    close(in);
    return error;
}

int CopyTree(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (!fs::is_directory(from, ec))
        return CopyFileBytes(from, to);
    if (mkdir(to.c_str(), 0755) != 0)
        return errno;
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        if (int e = CopyTree(it->path(), to / it->path().filename()); e != 0)
            return e;
    }
    return ec ? ec.value() : 0;
}

}  // namespace

void SeedProgramDir(const std::string& share, const std::string& target) {
    const fs::path to(target);
    const bool created = !IsDirectory(to);
    MakeFolder(target);

    std::error_code ec;
    // What an interrupted earlier seeding left behind.
    for (const std::string& name : EntriesReferenceLast(to, ec)) {
        if (name.rfind(kSeedPrefix, 0) == 0)
            fs::remove_all(to / name, ec);
    }

    std::string temp = (to / (std::string(kSeedPrefix) + "XXXXXX")).string();
    if (mkdtemp(temp.data()) == nullptr)
        Fail(target, errno);
    const fs::path tempDir(temp);
    auto giveUp = [&](int error) {
        std::error_code ignored;
        fs::remove_all(tempDir, ignored);
        if (created)
            fs::remove(to, ignored);  // only when still empty
        Fail(target, error);
    };

    const std::vector<std::string> names = EntriesReferenceLast(share, ec);
    if (ec)
        giveUp(ec.value());
    for (const std::string& name : names) {
        if (int e = CopyTree(fs::path(share) / name, tempDir / name); e != 0)
            giveUp(e);
    }
    for (const std::string& name : names) {
        if (fs::exists(to / name, ec))
            continue;  // the user's own copy stays
        fs::rename(tempDir / name, to / name, ec);
        if (ec)
            giveUp(ec.value());
    }
    fs::remove_all(tempDir, ec);
}

std::string ResolveProgramDir(const ProgramDirPlaces& places) {
    const std::string share = WithSlash(places.shareDir);
    const bool shareHolds = FileExists(share + kReference);
    if (!places.orvantaHome.empty()) {
        if (ExistsAsNonDirectory(places.orvantaHome))
            throw Error("ORVANTA_HOME указывает не на папку, а на файл «" +
                        Shown(places.orvantaHome) + "»");
        std::string dir = WithSlash(places.orvantaHome);
        if (!FileExists(dir + kReference) && shareHolds)
            SeedProgramDir(share, dir);
        else
            MakeFolder(dir);
        return dir;
    }
    if (!places.executableDir.empty() && FileExists(WithSlash(places.executableDir) + kReference))
        return WithSlash(places.executableDir);
    if (places.dataHome.empty())
        throw Error("Не удалось найти папку данных пользователя: не заданы HOME и XDG_DATA_HOME");
    std::string dir = WithSlash(places.dataHome) + "orvanta/";
    if (ExistsAsNonDirectory(dir.substr(0, dir.size() - 1)))
        throw Error("Вместо папки справочника «" + Shown(dir) + "» лежит файл");
    if (FileExists(dir + kReference))
        return dir;
    if (!shareHolds)
        throw Error("Не найден справочник для первого запуска в папке «" + Shown(share) +
                    "»: переустановите пакет orvanta");
    SeedProgramDir(share, dir);
    return dir;
}

ProgramDirPlaces ProgramDirPlacesFromEnvironment() {
    ProgramDirPlaces p;
    p.executableDir = ExecutableDir();
    if (const char* home = std::getenv("ORVANTA_HOME"))
        p.orvantaHome = home;
    // Relative XDG paths are to be ignored.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        p.dataHome = xdg;
    } else {
        std::string home;
        if (const char* h = std::getenv("HOME"); h != nullptr && h[0] != '\0')
            home = h;
        else if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr)
            home = pw->pw_dir;
        if (!home.empty())
            p.dataHome = WithSlash(home) + ".local/share";
    }
    p.shareDir =
        (fs::path(p.executableDir) / ".." / "share" / "orvanta").lexically_normal().string();
    return p;
}

std::string ProgramDir() {
    return ResolveProgramDir(ProgramDirPlacesFromEnvironment());
}

}  // namespace orv
