#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "util/cp1251.h"
#include "util/error.h"
#include "util/inflate.h"
#include "util/stored_forms.h"
#include "util/text.h"
#include "util/user_socket.h"
#include "util/version_mark.h"

#include "support/temp_dir.h"

using namespace orv;

TEST(Cp1251, RoundTripsAndClassifiesTheWholeCodePage) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
    EXPECT_EQ(Cp1251ToUtf8("\xCD\xEE-\xF8\xEF\xE0"), "Но-шпа");
    EXPECT_EQ(Utf8ToCp1251("日"), "?");
    EXPECT_EQ(UpperText("ёжик Ёлка abc ґ і"), "ЁЖИК ЁЛКА ABC Ґ І");
    EXPECT_EQ(LowerText("ЁЖИК ABC"), "ёжик abc");
    EXPECT_TRUE(IsLetter(U'ё'));
    EXPECT_TRUE(IsLetter(U'Z'));
    EXPECT_FALSE(IsLetter(U'5'));
    EXPECT_FALSE(IsLetter(U'№'));
    EXPECT_FALSE(IsLetter(U'日'));
}

TEST(Scramble, IsItsOwnInverseAndStopsAtNul) {
    std::string text = Utf8ToCp1251("Состав: дротаверина гидрохлорид 40 мг");
    std::string once = ScrambleText(text);
    EXPECT_NE(once, text);
    EXPECT_EQ(once.size(), text.size());
    EXPECT_EQ(ScrambleText(once), text);
    EXPECT_EQ(once.find('\0'), std::string::npos);
    EXPECT_EQ(ScrambleText(""), "");
    EXPECT_EQ(ScrambleText(std::string("ab\0cd", 5)).size(), 2u);
    // A byte equal to its key byte passes unchanged: find the first key byte.
    std::string probe(1, '\x01');
    unsigned char k0 = static_cast<unsigned char>(ScrambleText(probe)[0]) ^ 1u;
    std::string same(1, static_cast<char>(k0));
    EXPECT_EQ(ScrambleText(same), same);
    EXPECT_EQ(UnscrambleFromStorage(ScrambleForStorage("Показания")), "Показания");
}

TEST(StripMarkup, Cases) {
    EXPECT_EQ(StripMarkup("a<BR>b<bR>c"), "a\rb\rc");
    EXPECT_EQ(StripMarkup("x <b>жирный</b> y"), "x  жирный  y");
    EXPECT_EQ(StripMarkup("t > 25 <i>C</i>"), "t > 25  C ");
    EXPECT_EQ(StripMarkup("a < b"), "a < b");
}

TEST(StripMarkup, DecodesCharacterReferencesAfterTheTags) {
    const std::pair<const char*, const char*> cases[] = {
        {"&laquo;Но-шпа&raquo;&nbsp;&mdash; 40&nbsp;мг", "«Но-шпа»\u00A0— 40\u00A0мг"},
        {"A &amp; B, t &lt; 25&deg;C, &quot;x&quot; &hellip;", "A & B, t < 25°C, \"x\" …"},
        {"&#171;&#xBB;&#X2116;&#1040;", "«»№А"},
        {"&lt;b&gt;текст&lt;/b&gt;", "<b>текст</b>"},  // decoded text is not markup
        {"&amp;amp; &amp;lt;", "&amp; &lt;"},          // decoded once
        // Unknown, unterminated or impossible references stay.
        {"&foo; &amp &#0; &#xD800; &#1114112; &#; & ;&",
         "&foo; &amp &#0; &#xD800; &#1114112; &#; & ;&"},
        {"<b>&beta;</b>-блокатор", " β -блокатор"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(StripMarkup(in), out) << in;
    std::vector<std::string> words = SplitText(
        IndexWords(StripMarkup("<strong>Боль</strong> &amp; жар&nbsp;&laquo;сильный&raquo;")), " ");
    std::sort(words.begin(), words.end());
    EXPECT_EQ(words, (std::vector<std::string>{"", "боль", "жар", "сильный"}));
}

TEST(CollapseAndSplit, Cases) {
    EXPECT_EQ(CollapseSpaces("\t  a   b\r\n"), "a b");
    EXPECT_EQ(CollapseSpaces("a\tb"), "a\tb");
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitText("a,,b", ","), (V{"a", "", "b"}));
    EXPECT_EQ(SplitText("", ","), (V{""}));
    EXPECT_EQ(SplitText("a,", ","), (V{"a", ""}));
    EXPECT_EQ(SplitText("a$$$b$c", "$$$"), (V{"a", "b$c"}));
    V appended{"x"};
    SplitText("y", ",", appended);
    EXPECT_EQ(appended, (V{"x", "y"}));
}

TEST(IndexWords, KeepsLongWordsLowered) {
    std::string r = IndexWords("боль в горле, 2 раза; ГОРЛО");
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(r.back(), ' ');
    std::vector<std::string> words = SplitText(Trim(r), " ");
    std::sort(words.begin(), words.end());
    EXPECT_EQ(words, (std::vector<std::string>{"боль", "горле", "горло", "раза"}));
    EXPECT_EQ(IndexWords("1 2 3 ab"), "");
}

TEST(ZeroPadAndIntegers, Cases) {
    EXPECT_EQ(ZeroPad(0, 7), "0000000");
    EXPECT_EQ(ZeroPad(42, 7), "0000042");
    EXPECT_EQ(ZeroPad(12345678, 7), "12345678");
    EXPECT_EQ(ZeroPad(5, 1), "5");
    struct Case {
        const char* text;
        bool ok;
    };
    for (auto c : {Case{"12", true}, Case{"  -7", true}, Case{"+3", true}, Case{"$1F", true},
                   Case{"0x10", true}, Case{"x10", true}, Case{"2147483647", true},
                   Case{"2147483648", false}, Case{"-2147483648", true}, Case{"", false},
                   Case{"12 ", false}, Case{"1.5", false}, Case{"abc", false}, Case{"-", false}}) {
        EXPECT_EQ(IsIntegerText(c.text), c.ok) << c.text;
    }
    EXPECT_EQ(ValueToIntDef(Value{std::string("17")}, -1), 17);
    EXPECT_EQ(ValueToIntDef(Value{2.5}, -1), 2);
    EXPECT_EQ(ValueToIntDef(Value{std::string("2,7")}, -1), 3);
    EXPECT_EQ(ValueToIntDef(Value{std::string("x")}, -1), -1);
    EXPECT_EQ(ValueToIntDef(Value{Null{}}, -1), -1);
    EXPECT_EQ(ValueToIntDef(Value{}, -1), 0);
    EXPECT_EQ(ValueToIntDef(Value{std::int64_t{1} << 40}, -1), -1);
}

TEST(FontText, Pieces) {
    FontSpec f{"Arial", 10, true, false, true, false, 255};
    EXPECT_EQ(FontToText(&f), "Arial|10|1|0|1|0|255");
    EXPECT_EQ(FontToText(nullptr), "");
    FontSpec g;
    g.color = 7;
    TextToFont("Tahoma|12|1|01| 1|0", g);  // six pieces keep the colour
    EXPECT_EQ(g, (FontSpec{"Tahoma", 12, true, false, false, false, 7}));
    FontSpec before = g;
    TextToFont("A|1|1|1|1", g);  // five change nothing
    EXPECT_EQ(g, before);
    TextToFont("B|9|0|1|0|1|-16777201|extra", g);  // eight: no colour
    EXPECT_EQ(g, (FontSpec{"B", 9, false, true, false, true, 7}));
    TextToFont("C|9|0|0|0|0|-16777201", g);
    EXPECT_EQ(g.color, -16777201);
    EXPECT_THROW(TextToFont("C|big|0|0|0|0", g), ConversionError);
}

TEST(CheckListText, RoundTripAndLineEnds) {
    std::vector<CheckEntry> list;
    TextToCheckList("yA\r\nnB\nYC\r\rx", list);
    EXPECT_EQ(list, (std::vector<CheckEntry>{
                        {"A", true}, {"B", false}, {"C", false}, {"", false}, {"", false}}));
    TextToCheckList("yA\r\nnB\r\n", list);
    EXPECT_EQ(CheckListToText(list), "yA\r\nnB\r\n");
    // A first character of two bytes goes whole: no stray byte is left in the caption.
    TextToCheckList("яСостав\r\nyСинонимы\r\nЁ\r\n", list);
    EXPECT_EQ(list, (std::vector<CheckEntry>{{"Состав", false}, {"Синонимы", true}, {"", false}}));
    EXPECT_EQ(CheckListToText({}), "");
}

namespace {
std::string Deflate(const std::string& s) {
    uLongf n = compressBound(static_cast<uLong>(s.size()));
    std::string out(n, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(s.data()),
             static_cast<uLong>(s.size()));
    out.resize(n);
    return out;
}
}  // namespace

TEST(Inflate, CompleteTruncatedAndInvalid) {
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "строка " + std::to_string(i) + "\r\n";
    std::string z = Deflate(text);
    {
        std::istringstream in(z + "trailing bytes");
        std::ostringstream out;
        EXPECT_TRUE(InflateToStream(in, out).complete);
        EXPECT_EQ(out.str(), text);
    }
    {
        std::istringstream in(z.substr(0, z.size() / 2));
        std::ostringstream out;
        EXPECT_FALSE(InflateToStream(in, out).complete);
        EXPECT_LT(out.str().size(), text.size());
        EXPECT_EQ(text.rfind(out.str(), 0), 0u);
    }
    for (std::string bad :
         {std::string("not zlib at all"), std::string("\x78\x9c\xff\xff\xff", 5)}) {
        std::istringstream in(bad);
        std::ostringstream out;
        try {
            InflateToStream(in, out);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Error");
        }
    }
}

TEST(FileVersion, ReadsTheStampOfTheBinaries) {
    EXPECT_EQ(FileVersionText(ORVANTA_BIN_DIR "/orvanta-cli"), "3.1");
    EXPECT_EQ(FileVersionFull(ORVANTA_BIN_DIR "/orvanta-cli").rfind("3.1.0.", 0), 0u);
    EXPECT_EQ(FileVersionText("/nonexistent/file"), "?.?");
    EXPECT_EQ(FileVersionText("/bin/sh"), "?.?");
}

namespace {
std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Overwrites every occurrence of `what` in `bytes` with as many 'X'; the count of them.
int Blank(std::string& bytes, const std::string& what) {
    int n = 0;
    for (size_t at = bytes.find(what); at != std::string::npos; at = bytes.find(what, at + 1)) {
        bytes.replace(at, what.size(), std::string(what.size(), 'X'));
        ++n;
    }
    return n;
}
}  // namespace

// An executable's version comes from the note its program headers point to, never from a
// search through its bytes; a file of another format is searched for the plain mark.
TEST(FileVersion, ReadsTheNoteThroughTheHeadersAndSearchesOnlyOtherFiles) {
    const std::string cli = ReadAll(ORVANTA_BIN_DIR "/orvanta-cli");
    const std::string version = FileVersionFull(ORVANTA_BIN_DIR "/orvanta-cli");
    ASSERT_FALSE(version.empty());
    orv::test::TempDir dir;

    std::string noMark = cli;
    ASSERT_GT(Blank(noMark, std::string("ORVANTA_FILE_") + "VERSION:"), 0);
    WriteAll(dir.file("no-mark"), noMark);
    EXPECT_EQ(FileVersionFull(dir.file("no-mark")), version);

    std::string noNote = cli;
    ASSERT_EQ(Blank(noNote, std::string("Orvanta\0", 8) + version), 1);
    WriteAll(dir.file("no-note"), noNote);
    EXPECT_EQ(FileVersionText(dir.file("no-note")), "?.?");

    const struct {
        const char* name;
        std::string bytes;
        const char* want;
    } files[] = {
        {"text", "start ORVANTA_FILE_VERSION:1.2 ORVANTA_FILE_VERSION:2.0.0.5\n", "2.5"},
        {"headers-only", cli.substr(0, 64), "?.?"},
        {"cut-short", cli.substr(0, 20), "?.?"},
        {"empty", "", "?.?"},
    };
    for (const auto& f : files) {
        WriteAll(dir.file(f.name), f.bytes);
        EXPECT_EQ(FileVersionText(dir.file(f.name)), f.want) << f.name;
    }
}

namespace {
// Sets an environment variable for one scope and puts the old value back.
struct ScopedEnv {
    ScopedEnv(const char* name, const std::string* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }
    const char* name_;
    std::optional<std::string> old_;
};
mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0;
}
}  // namespace

TEST(UserSocketPath, RuntimeFolderElsePrivateFolderUnderTemp) {
    test::TempDir dir;
    const std::string run = dir.file("run"), tmp = dir.file("tmp");
    std::filesystem::create_directories(run);
    std::filesystem::create_directories(tmp);
    chmod(run.c_str(), 0700);
    ScopedEnv tmpEnv("TMPDIR", &tmp);
    const std::string uid = std::to_string(geteuid());
    const std::string privateDir = tmp + "/orvanta-" + uid;

    EXPECT_EQ(UserSocketPath("/some/where/sock"), "/some/where/sock");
    {
        ScopedEnv runEnv("XDG_RUNTIME_DIR", &run);
        EXPECT_EQ(UserSocketPath("orvanta-query"), run + "/orvanta-query");
        EXPECT_EQ(UserSocketLockPath("ORVANTA_CHECKEXIST"), run + "/ORVANTA_CHECKEXIST.lock");
        chmod(run.c_str(), 0770);  // others may write into it: not a private folder
        EXPECT_EQ(UserSocketPath("orvanta-query"), privateDir + "/orvanta-query");
    }
    const std::string missing = dir.file("gone"), relative = "run";
    for (const std::string* runtime :
         {static_cast<const std::string*>(nullptr), &missing, &relative}) {
        ScopedEnv runEnv("XDG_RUNTIME_DIR", runtime);
        EXPECT_EQ(UserSocketPath("orvanta-query"), privateDir + "/orvanta-query");
        EXPECT_EQ(ModeOf(privateDir), 0700u);
    }
    ScopedEnv runEnv("XDG_RUNTIME_DIR", nullptr);
    chmod(privateDir.c_str(), 0755);  // made private again
    EXPECT_EQ(UserSocketPath("x"), privateDir + "/x");
    EXPECT_EQ(ModeOf(privateDir), 0700u);
    // A link in its place (someone else's trap) is never followed.
    std::filesystem::remove(privateDir);
    std::filesystem::create_directory_symlink(run, privateDir);
    EXPECT_EQ(UserSocketPath("x"), tmp + "/x-" + uid);
}
