// Where the program keeps its reference: the portable folder, the per-user folder seeded from
// the installed copy, ORVANTA_HOME, and the ways a first start can fail without leaving a
// half-copied reference.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "support/run_command.h"
#include "support/temp_dir.h"
#include "util/error.h"
#include "util/program_dir.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> Entries(const fs::path& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(dir, ec))
        names.push_back(fs::relative(e.path(), dir).string());
    std::sort(names.begin(), names.end());
    return names;
}

// An installed copy under root/share/orvanta and an executable folder root/bin without a
// reference: a package install.
struct Install {
    Install() {
        Write(share() / "source.bin", std::string(64 * 1024, 'r'));
        Write(share() / "help.htm", "<html>help</html>");
        Write(share() / "_pict" / "fi0000001.jpg", "jpeg");
        fs::create_directories(root.path() / "bin");
    }
    fs::path share() const { return root.path() / "share" / "orvanta"; }
    ProgramDirPlaces Places() const {
        return {root.str() + "bin/", "", root.str() + "home/.local/share", share().string()};
    }
    std::string UserDir() const { return root.str() + "home/.local/share/orvanta/"; }
    test::TempDir root;
};

std::string FailureOf(const ProgramDirPlaces& places) {
    try {
        ResolveProgramDir(places);
    } catch (const Error& e) {
        return e.what();
    }
    return "(no failure)";
}

const std::vector<std::string> kSeeded = {"_pict", "_pict/fi0000001.jpg", "help.htm", "source.bin"};

TEST(ProgramDirTest, PackageInstallSeedsThePerUserFolderOnce) {
    Install install;
    EXPECT_EQ(ResolveProgramDir(install.Places()), install.UserDir());
    EXPECT_EQ(Entries(install.UserDir()), kSeeded);
    EXPECT_EQ(ReadAll(install.UserDir() + "source.bin"), ReadAll(install.share() / "source.bin"));
    EXPECT_EQ(fs::status(install.UserDir()).permissions() & fs::perms::all, fs::perms::owner_all);

    // Later starts keep the user's reference (its applied packets, its settings).
    Write(install.UserDir() + "source.bin", "updated");
    fs::remove(install.UserDir() + "help.htm");
    EXPECT_EQ(ResolveProgramDir(install.Places()), install.UserDir());
    EXPECT_EQ(ReadAll(install.UserDir() + "source.bin"), "updated");
}

TEST(ProgramDirTest, PortableFolderAndOrvantaHome) {
    Install install;
    ProgramDirPlaces places = install.Places();
    Write(install.root.path() / "bin" / "source.bin", "portable");
    EXPECT_EQ(ResolveProgramDir(places), install.root.str() + "bin/");
    EXPECT_FALSE(fs::exists(install.UserDir()));

    // ORVANTA_HOME wins over both; an empty folder there is seeded, a missing one made.
    places.orvantaHome = install.root.str() + "admin";
    fs::create_directories(places.orvantaHome);
    EXPECT_EQ(ResolveProgramDir(places), install.root.str() + "admin/");
    EXPECT_EQ(Entries(places.orvantaHome), kSeeded);
    places.shareDir = install.root.str() + "nothing-installed";
    places.orvantaHome = install.root.str() + "fresh/dir";
    EXPECT_EQ(ResolveProgramDir(places), install.root.str() + "fresh/dir/");
    EXPECT_TRUE(fs::is_directory(places.orvantaHome));
}

TEST(ProgramDirTest, BadPlacesGiveTheirMessage) {
    Install install;
    struct Case {
        const char* what;
        std::function<void(ProgramDirPlaces&)> arrange;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"installed copy missing",
         [&](ProgramDirPlaces& p) { p.shareDir = install.root.str() + "gone/orvanta"; },
         "Не найден справочник для первого запуска в папке «" + install.root.str() +
             "gone/orvanta/»: переустановите пакет orvanta"},
        {"ORVANTA_HOME is a file",
         [&](ProgramDirPlaces& p) {
             Write(install.root.path() / "a-file", "x");
             p.orvantaHome = install.root.str() + "a-file";
         },
         "ORVANTA_HOME указывает не на папку, а на файл «" + install.root.str() + "a-file»"},
        {"a file where the per-user folder goes",
         [&](ProgramDirPlaces& p) {
             Write(install.root.path() / "blocked" / "orvanta", "x");
             p.dataHome = install.root.str() + "blocked";
         },
         "Вместо папки справочника «" + install.root.str() + "blocked/orvanta/» лежит файл"},
        // sysfs takes no folders from anybody, root included.
        {"not writable", [](ProgramDirPlaces& p) { p.dataHome = "/sys/orvanta-test"; },
         "Нет прав на запись в папку справочника «/sys/orvanta-test/orvanta/»"},
    };
    for (const Case& c : cases) {
        ProgramDirPlaces places = install.Places();
        c.arrange(places);
        EXPECT_EQ(FailureOf(places), c.message) << c.what;
    }
    EXPECT_FALSE(fs::exists(install.root.path() / "home")) << "nothing made on the way";
}

// The disk fills up while source.bin is copied (a file size limit stands in for it): the
// message says so, and neither a reference nor the temporary copy is left.
TEST(ProgramDirTest, DiskFullDuringSeedingLeavesNothingHalfCopied) {
    Install install;
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 16 * 1024;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = FailureOf(install.Places());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(message,
              "Недостаточно места на диске для справочника в папке «" + install.UserDir() + "»");
    EXPECT_FALSE(fs::exists(install.UserDir())) << "the folder made for the seeding is gone";

    // An interrupted earlier seeding left its temporary folder: the next one clears it.
    Write(install.UserDir() + ".seed-AbC123/source.bin", "partial");
    EXPECT_EQ(ResolveProgramDir(install.Places()), install.UserDir());
    EXPECT_EQ(Entries(install.UserDir()), kSeeded);
}

// orvanta-cli without --dir works on the folder the program would use.
TEST(ProgramDirTest, CliWithoutDirUsesTheSameFolder) {
    Install install;
    fs::copy_file(ORVANTA_BIN_DIR "/source.bin", install.share() / "source.bin",
                  fs::copy_options::overwrite_existing);
    fs::copy_file(ORVANTA_BIN_DIR "/orvanta-cli", install.root.path() / "bin" / "orvanta-cli");
    const std::string cli = test::ShellQuote(install.root.str() + "bin/orvanta-cli");
    const std::string env = "env -u ORVANTA_HOME -u XDG_DATA_HOME HOME=" +
                            test::ShellQuote(install.root.str() + "home") + " ";
    test::CommandResult r = test::RunCommand(env + cli + " stats");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(install.UserDir() + "source.bin"));
    EXPECT_EQ(Entries(install.UserDir()).size(), Entries(install.share()).size());

    r = test::RunCommand("ORVANTA_HOME=" + test::ShellQuote(install.UserDir() + "help.htm") + " " +
                         cli + " stats");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("ORVANTA_HOME указывает не на папку"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace orv
