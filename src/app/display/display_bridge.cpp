#include "display/display_bridge.h"

#include <fstream>

#include "db/reference.h"
#include "util/cp1251.h"
#include "util/error.h"
#include "util/paths.h"
#include "util/text.h"

namespace orv::app::displaycore {

namespace {
std::string Unscrambled(DataSet& data, const char* column) {
    Value v = data.Field(column);
    if (const auto* b = std::get_if<Blob>(&v))
        return UnscrambleFromStorage(b->bytes);
    return ValueToText(v);
}
}  // namespace

// Until the display core's record and page builder are wired in, a plain record and page.
DisplayTexts FillDisplayRec(DataSet& data, Reference& ref) {
    DisplayTexts r;
    r.Name = data.AsText(ref.NameColumn());
    r.DosageForms = Unscrambled(data, "n8");
    r.Manufacturers = Unscrambled(data, "n11");
    r.PharmGroup = data.AsText("n12");
    r.Inn = Unscrambled(data, "n13");
    r.Synonyms = data.AsText("synonim");
    r.Composition = Unscrambled(data, "n1");
    r.PharmAction = Unscrambled(data, "n2");
    r.Indications = Unscrambled(data, "n5");
    r.Dosage = Unscrambled(data, "n7");
    r.Contraindications = Unscrambled(data, "n6");
    r.SideEffects = Unscrambled(data, "n3");
    r.Interactions = Unscrambled(data, "n4");
    r.Overdose = Unscrambled(data, "n14");
    r.SpecialNotes = Unscrambled(data, "n15");
    r.Storage = Unscrambled(data, "n9");
    r.N10Text = Unscrambled(data, "n10");
    return r;
}

void WriteDescriptionPage(const std::string& file, const DisplayTexts& rec, const PageOptions& options) {
    std::vector<std::string> lines{
        "<html><head><meta http-equiv=Content-Type content=\"text/html; charset=windows-1251\">"
        "<title>Norvel</title></head><body>",
        "<table width=\"100%\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\" class=\"menu\">"};
    std::string picture = options.pictDir + "fi" + ZeroPad(options.id, 7) + ".jpg";
    if (!FileExists(picture))
        picture = options.pictDir + "fi" + ZeroPad(options.id, 7) + ".gif";
    lines.push_back(FileExists(picture) ? "<tr><td><img src=\"" + picture + "\" align=\"absmiddle\">&nbsp;&nbsp;"
                                        : "<tr><td>");
    lines.push_back("<font size=5 color=#0066FF>" + rec.Name + "</font></td></tr>");
    const std::pair<const char*, const std::string*> sections[] = {
        {"Лекарственные формы", &rec.DosageForms},
        {"Производители", &rec.Manufacturers},
        {"ФармГруппа", &rec.PharmGroup},
        {"Международное непатентованное наименование", &rec.Inn},
        {"Синонимы", &rec.Synonyms},
        {"Состав", &rec.Composition},
        {"Фармакологическое действие", &rec.PharmAction},
        {"Показания к применению", &rec.Indications},
        {"Противопоказания", &rec.Contraindications},
        {"Побочное действие", &rec.SideEffects},
        {"Взаимодействие", &rec.Interactions},
        {"Передозировка", &rec.Overdose},
        {"Особые указания", &rec.SpecialNotes},
        {"Способ применения и дозы", &rec.Dosage},
        {"Условия хранения", &rec.Storage}};
    for (const auto& [caption, text] : sections) {
        if (Trim(*text).empty())
            continue;
        lines.push_back("<tr><td>&nbsp;</td></tr>");
        lines.push_back(std::string("<tr><td bgcolor=#E7EFF8><font color=#7D0000><b><i>") + caption +
                        "</i></b></font></td></tr>");
        lines.push_back("<tr><td>" + *text + "</td></tr>");
    }
    lines.push_back("</table></body></html>");
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out)
        throw Error("Не удалось записать файл «" + file + "»");
    for (const auto& line : lines)
        out << Utf8ToCp1251(line) << "\r\n";
}

}  // namespace orv::app::displaycore

namespace orv::app::displaycore {

DataSet* RowForTreeNode(Reference& ref, long long id, const std::string& name, bool& fromWork) {
    fromWork = false;
    if (ref.qMain.Active() && ref.qMain.Locate("id", Value{static_cast<std::int64_t>(id)}))
        return &ref.qMain;
    fromWork = true;
    ref.qWork.SetSql("select * from b where id=" + std::to_string(id));
    ref.qWork.Open();
    if (!ref.qWork.Locate("pname", Value{name}))
        return nullptr;
    return &ref.qWork;
}

}  // namespace orv::app::displaycore
