#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "db/reference.h"
#include "display/description.h"
#include "display/highlight.h"
#include "display/page.h"
#include "display/picture.h"
#include "settings/settings_store.h"
#include "settings/settings_values.h"
#include "support/described_reference.h"
#include "util/cp1251.h"
#include "util/error.h"

using namespace orv;
using orv::test::DescribedReference;
using orv::test::kNoShpaTexts;
using orv::test::TempDir;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Runs the rest of the scope in another working folder.
class WorkingDir {
  public:
    explicit WorkingDir(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~WorkingDir() { std::filesystem::current_path(old_); }

  private:
    std::filesystem::path old_;
};

class DescribedFixture : public ::testing::Test {
  protected:
    void SetUp() override { fx.AddNoShpa(); }
    DescribedReference fx;
};

}  // namespace

// The page of a preparation with a picture, sections in a stored order with an unticked one, an
// unknown caption, a caption in other capitals and blank texts: byte for byte.
TEST_F(DescribedFixture, GoldenPageWithPicture) {
    Reference ref(fx.dir.str());
    SettingsStore store(ref.Db());
    store.SetKey("items", orv::test::kGoldenSectionList);
    SettingsValues settings;
    ASSERT_TRUE(OpenSettings(store, settings).empty());

    ref.qMain.Open();
    ASSERT_TRUE(ref.qMain.Locate("id", std::int64_t{42}));
    PageOptions options;
    options.sections = settings.sections;
    const std::string page = fx.dir.file("source.nvg");
    {
        // The picture folder is given relative to the data folder so that the page is the same
        // wherever the sources are.
        WorkingDir wd(ORVANTA_SOURCE_DIR "/tests/data/display");
        TDisplayRec rec =
            WritePageForCurrentRow(ref.qMain, ref.qIzg, ref.NameColumn(), "_pict/", options, page);
        EXPECT_EQ(rec.Manufacturers, "Хиноин, Санофи-Авентис");
    }
    const std::string expected = ReadFile(ORVANTA_SOURCE_DIR "/tests/data/display/golden_page.nvg");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ReadFile(page), expected);
}

TEST_F(DescribedFixture, RecordFieldsComeFromTheirColumns) {
    Reference ref(fx.dir.str());
    ref.qMain.Open();
    ASSERT_TRUE(ref.qMain.Locate("id", std::int64_t{42}));
    TDisplayRec r = FillDisplayRec(ref.qMain, ref.qIzg, ref.NameColumn());
    EXPECT_EQ(r.Name, "Но-шпа");
    EXPECT_EQ(r.Synonyms, "Дротаверин, Спазмол");
    EXPECT_EQ(r.Composition, kNoShpaTexts.at("n1"));
    EXPECT_EQ(r.PharmAction, kNoShpaTexts.at("n2"));
    EXPECT_EQ(r.SideEffects, kNoShpaTexts.at("n3"));
    EXPECT_EQ(r.Interactions, "");  // NULL
    EXPECT_EQ(r.Indications, kNoShpaTexts.at("n5"));
    EXPECT_EQ(r.Contraindications, kNoShpaTexts.at("n6"));
    EXPECT_EQ(r.Dosage, kNoShpaTexts.at("n7"));
    EXPECT_EQ(r.DosageForms, kNoShpaTexts.at("n8"));
    EXPECT_EQ(r.Storage, kNoShpaTexts.at("n9"));
    EXPECT_EQ(r.N10Text, kNoShpaTexts.at("n10"));
    EXPECT_EQ(r.Manufacturers, "Хиноин, Санофи-Авентис");
    EXPECT_EQ(r.PharmGroup, "Спазмолитики");
    EXPECT_EQ(r.Inn, kNoShpaTexts.at("n13"));
    EXPECT_EQ(r.Overdose, "   ");
    EXPECT_EQ(r.SpecialNotes, kNoShpaTexts.at("n15"));
    EXPECT_EQ(r.Reserved, "");

    // A data set without the description columns cannot make a record.
    ref.qWork.SetSql("select id, pname from b");
    ref.qWork.Open();
    EXPECT_THROW(FillDisplayRec(ref.qWork, ref.qIzg, ref.NameColumn()), Error);
}

TEST_F(DescribedFixture, GroupLookupTakesOnlyAnInteger) {
    Reference ref(fx.dir.str());
    const struct {
        const char* id;
        const char* name;
    } cases[] = {
        {"7", "Спазмолитики"},
        {" 7 ", "Спазмолитики"},
        {"+7", "Спазмолитики"},
        {"", ""},
        {"   ", ""},
        {"abc", ""},
        {"7 or 1=1", ""},
        {"7;", ""},
        {"999", ""},
        {"7.0", ""},
        {"99999999999999999999", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GroupNameById(c.id, ref.qIzg), c.name) << "id: " << c.id;
}

TEST_F(DescribedFixture, ManufacturerIdsAreParsedBeforeAnySql) {
    const struct {
        const char* list;
        std::optional<std::string> condition;
    } conditions[] = {
        {"[5]", " id=5 "},
        {"[12],[34]", " id=12  or  id=34 "},
        {" [12] , [ 34 ] ", " id=12  or  id=34 "},
        {"[x]", std::nullopt},
        {"[1) or (1=1", std::nullopt},
        {"[1] or 1=1", std::nullopt},
        {"[5],", std::nullopt},
        {"5", std::nullopt},
        {"[]", std::nullopt},
    };
    for (const auto& c : conditions)
        EXPECT_EQ(ManufacturerCondition(c.list), c.condition) << c.list;

    Reference ref(fx.dir.str());
    const struct {
        const char* list;
        const char* names;
    } lists[] = {
        {"[34]", "Санофи-Авентис"}, {"[12],[99]", "Хиноин"},    {"[99]", ""}, {"[x]", ""},
        {"[1) or (1=1", ""},        {"[12],[34]) or (1=1", ""},
    };
    for (const auto& c : lists)
        EXPECT_EQ(ManufacturerList(c.list, ref.qIzg, "pname"), c.names) << c.list;

    // Too short to be a list: no statement is run at all.
    for (const char* shortList : {"", "[]", " [] ", "[5"}) {
        ref.qIzg.SetSql("untouched");
        EXPECT_EQ(ManufacturerList(shortList, ref.qIzg, "pname"), "");
        EXPECT_EQ(ref.qIzg.Sql(), "untouched") << shortList;
    }
}

namespace {
std::vector<std::string> Body(const std::vector<std::string>& page) {
    // Everything after the style sheet, the head and the table line.
    return {page.begin() + 31, page.end()};
}
}  // namespace

TEST(DescriptionPage, SectionsFollowTicksCaptionsAndTexts) {
    TDisplayRec rec;
    rec.Name = "Аспирин";
    PageOptions options;
    options.sections = DesignSectionList();
    // An all-empty record: the heading row and the closing line only.
    EXPECT_EQ(Body(BuildDescriptionPage(rec, options)),
              (std::vector<std::string>{"<tr><td class=\"caption\">", "Аспирин</td></tr>",
                                        "</table></body></html>"}));

    rec.Composition = "  Ацетилсалициловая кислота";
    rec.Overdose = " \t\r\n ";
    rec.Storage = "Сухое место";
    rec.Synonyms = "Упса";
    options.sections = {{"Состав", true},           {"Передозировка", true},
                        {"Синонимы", false},        {"Несуществующий", true},
                        {"условия хранения", true}, {"Условия хранения", true}};
    EXPECT_EQ(Body(BuildDescriptionPage(rec, options)),
              (std::vector<std::string>{
                  "<tr><td class=\"caption\">", "Аспирин</td></tr>", "<tr><td>&nbsp;</td></tr>",
                  "<tr><td class=\"Item\">Состав</td></tr>",
                  "<tr><td>  Ацетилсалициловая кислота</td></tr>", "<tr><td>&nbsp;</td></tr>",
                  "<tr><td class=\"Item\">Условия хранения</td></tr>",
                  "<tr><td>Сухое место</td></tr>", "</table></body></html>"}));
}

TEST(DescriptionPage, EveryDesignCaptionNamesAField) {
    TDisplayRec rec;
    for (const CheckEntry& e : DesignSectionList())
        EXPECT_NE(SectionText(rec, e.caption), nullptr) << e.caption;
    EXPECT_EQ(DesignSectionList().size(), 15u);
}

TEST(DescriptionPage, UnwritableFileIsNamedInTheError) {
    TempDir dir;
    const std::string target = dir.file("нет/source.nvg");
    try {
        WriteDescriptionPage(target, TDisplayRec{}, PageOptions{});
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(target), std::string::npos) << e.what();
    }
    // A folder where the file should be.
    std::filesystem::create_directory(dir.file("source.nvg"));
    EXPECT_THROW(WriteDescriptionPage(dir.file("source.nvg"), TDisplayRec{}, PageOptions{}), Error);
}

TEST(DescriptionPage, PictureJpegBeforeGif) {
    TempDir dir;
    const std::string pict = dir.str() + "_pict/";
    EXPECT_EQ(PicturePath(pict, 42), "");  // no folder
    std::filesystem::create_directory(pict);
    auto touch = [](const std::string& p) { std::ofstream(p) << "x"; };
    EXPECT_EQ(PicturePath(pict, 42), "");
    touch(pict + "fi0000042.gif");
    EXPECT_EQ(PicturePath(pict, 42), pict + "fi0000042.gif");
    touch(pict + "fi0000042.jpg");
    EXPECT_EQ(PicturePath(pict, 42), pict + "fi0000042.jpg");
    touch(pict + "fi12345678.gif");
    EXPECT_EQ(PicturePath(pict, 12345678), pict + "fi12345678.gif");
    touch(pict + "fi0000000.jpg");
    EXPECT_EQ(PicturePath(pict, 0), pict + "fi0000000.jpg");

    TDisplayRec rec;
    rec.Name = "Но-шпа";
    PageOptions options;
    options.picturePath = pict + "fi0000042.jpg";
    EXPECT_EQ(BuildDescriptionPage(rec, options)[31],
              "<tr><td class=\"caption\"><img src=\"" + pict +
                  "fi0000042.jpg\" align=\"absmiddle\">&nbsp;&nbsp;");
}

namespace {
const std::string kMark = "<font style=\"background-color:#FFFF33;\">";
std::string Marked(const std::string& w) {
    return kMark + w + "</font>";
}
}  // namespace

TEST(Highlighting, ChangesOnlyTextOutsideMarkup) {
    const struct {
        const char* line;
        const char* word;
        std::string expected;
    } cases[] = {
        // case ignored as windows-1251 letters, the typed capitals kept
        {"Аспирин</td></tr>", "аспирин", Marked("аспирин") + "</td></tr>"},
        {"ПРИ СПАЗМЕ; при спазме", "Спазм",
         "ПРИ " + Marked("Спазм") + "Е; при " + Marked("Спазм") + "е"},
        {"ЁЛКА ёлка елка", "ёлка", Marked("ёлка") + " " + Marked("ёлка") + " елка"},
        // never inside a tag, an attribute or an entity
        {"<tr><td>td</td></tr>", "td", "<tr><td>" + Marked("td") + "</td></tr>"},
        {"<a href=\"spazm.htm\" title='spazm'>spazm</a>", "spazm",
         "<a href=\"spazm.htm\" title='spazm'>" + Marked("spazm") + "</a>"},
        {"a&nbsp;b nbsp &#160; 160", "nbsp", "a&nbsp;b " + Marked("nbsp") + " &#160; 160"},
        {"&#160; 160", "160", "&#160; " + Marked("160")},
        {"a&b; x & y", "&", "a&b; x " + Marked("&") + " y"},
        // a word never joins text across a tag
        {"спаз<b>м</b>", "спазм", "спаз<b>м</b>"},
        // comparisons are text, a tag left open is not
        {"t < 25, t<25", "25", "t < " + Marked("25") + ", t<" + Marked("25")},
        {"x <b class=x", "x", Marked("x") + " <b class=x"},
        {"<!-- x --> x", "x", "<!-- x --> " + Marked("x")},
        // a word typed with markup characters matches only text
        {"<td>x</td>", "<td>", "<td>x</td>"},
        {"abc", "", "abc"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HighlightWord(c.line, c.word), c.expected) << c.line << " / " << c.word;
}

TEST(Highlighting, WholePageFromTheNameLineOn) {
    TDisplayRec rec;
    rec.Name = "Фиталгин";
    rec.Composition = "Фиталгин: экстракт; td";
    PageOptions options;
    options.sections = {{"Состав", true}};
    options.picturePath = "/opt/Фиталгин/_pict/fi0000042.jpg";
    const std::vector<std::string> plain = BuildDescriptionPage(rec, options);
    options.highlightSearchWords = true;
    options.filterText = "  ФИТАЛГИН   td  font ";
    const std::vector<std::string> page = BuildDescriptionPage(rec, options);
    ASSERT_EQ(page.size(), plain.size());
    for (size_t i = 0; i <= 31; ++i)
        EXPECT_EQ(page[i], plain[i]) << i;  // head and picture line untouched
    EXPECT_EQ(page[32], Marked("ФИТАЛГИН") + "</td></tr>");
    EXPECT_EQ(page[35],
              "<tr><td>" + Marked("ФИТАЛГИН") + ": экстракт; " + Marked("td") + "</td></tr>");
    EXPECT_EQ(page.back(), "</table></body></html>");

    // No words at all: nothing changes.
    options.filterText = "   ";
    EXPECT_EQ(BuildDescriptionPage(rec, options), plain);
}

TEST(DescriptionPage, FileIsWindows1251WithCrLf) {
    TDisplayRec rec;
    rec.Name = "Ёж №1";
    const std::vector<std::string> lines = BuildDescriptionPage(rec, PageOptions{});
    const std::string bytes = EncodePage(lines);
    EXPECT_EQ(bytes.substr(0, 6), "<html>");
    EXPECT_EQ(bytes.substr(bytes.size() - 24), "</table></body></html>\r\n");
    EXPECT_NE(bytes.find("\r\n\xA8\xE6 \xB9"
                         "1</td></tr>\r\n"),
              std::string::npos);
    size_t crlf = 0;
    for (size_t p = bytes.find("\r\n"); p != std::string::npos; p = bytes.find("\r\n", p + 2))
        ++crlf;
    EXPECT_EQ(crlf, lines.size());
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);
}
