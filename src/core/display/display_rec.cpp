#include "display/display_rec.h"

#include <charconv>
#include <cstdint>
#include <utility>

#include "util/text.h"

namespace orv {
namespace {

// Ids come from update packets: only a plain decimal integer may become part of a statement.
std::optional<std::int64_t> ParseId(std::string_view text) {
    std::string t = Trim(text);
    const char* b = t.data();
    const char* e = t.data() + t.size();
    if (b != e && *b == '+')
        ++b;
    std::int64_t v = 0;
    auto r = std::from_chars(b, e, v);
    if (b == e || r.ec != std::errc() || r.ptr != e)
        return std::nullopt;
    return v;
}

std::string Unscrambled(const DataSet& ds, const std::string& column) {
    return UnscrambleFromStorage(ValueToText(ds.Field(column)));
}

}  // namespace

TDisplayRec FillDisplayRec(const DataSet& ds, DataSet& lookup, const std::string& nameColumn) {
    TDisplayRec r;
    r.Name = ds.AsText(nameColumn);
    r.DosageForms = Unscrambled(ds, "n8");
    r.Manufacturers = ManufacturerList(Unscrambled(ds, "n11"), lookup, nameColumn);
    r.PharmGroup = GroupNameById(ds.AsText("n12"), lookup);
    r.Inn = Unscrambled(ds, "n13");
    r.Synonyms = ds.AsText("synonim");
    r.Composition = Unscrambled(ds, "n1");
    r.PharmAction = Unscrambled(ds, "n2");
    r.Indications = Unscrambled(ds, "n5");
    r.Dosage = Unscrambled(ds, "n7");
    r.Contraindications = Unscrambled(ds, "n6");
    r.SideEffects = Unscrambled(ds, "n3");
    r.Interactions = Unscrambled(ds, "n4");
    r.Overdose = Unscrambled(ds, "n14");
    r.SpecialNotes = Unscrambled(ds, "n15");
    r.Storage = Unscrambled(ds, "n9");
    r.N10Text = Unscrambled(ds, "n10");
    return r;
}

std::string GroupNameById(std::string_view idText, DataSet& lookup) {
    std::optional<std::int64_t> id = ParseId(idText);
    if (!id)
        return {};
    try {
        lookup.SetSql("select * from g where id=" + std::to_string(*id));
        lookup.Open();
        lookup.First();
        if (lookup.Eof())
            return {};
        return lookup.AsText("pname");
    } catch (const std::exception&) {
        return {};
    }
}

std::optional<std::string> ManufacturerCondition(std::string_view idList) {
    std::string condition;
    for (const std::string& piece : SplitText(Trim(idList), ",")) {
        std::string p = Trim(piece);
        if (p.size() < 2 || p.front() != '[' || p.back() != ']')
            return std::nullopt;
        std::optional<std::int64_t> id = ParseId(std::string_view(p).substr(1, p.size() - 2));
        if (!id)
            return std::nullopt;
        // The same text the bracket replacement makes of a well-formed list: " id=12  or  id=34 ".
        if (!condition.empty())
            condition += " or ";
        condition += " id=" + std::to_string(*id) + " ";
    }
    return condition;
}

std::string ManufacturerList(std::string_view idList, DataSet& lookup,
                             const std::string& nameColumn) {
    std::string text = Trim(idList);
    size_t chars = 0;
    for (char c : text)
        chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (chars < 3)
        return {};
    std::optional<std::string> condition = ManufacturerCondition(text);
    if (!condition)
        return {};
    std::string result;
    try {
        lookup.SetSql("select " + nameColumn + " from i where " + *condition);
        lookup.Open();
        for (lookup.First(); !lookup.Eof(); lookup.Next()) {
            result += UnscrambleFromStorage(ValueToText(lookup.Field(nameColumn)));
            result += ", ";
        }
    } catch (const std::exception&) {
        return result;  // what was collected stays, as it was
    }
    if (!result.empty())
        result.resize(result.size() - 2);
    return result;
}

const std::string* SectionText(const TDisplayRec& rec, std::string_view caption) {
    static const std::pair<std::string_view, std::string TDisplayRec::*> kSections[] = {
        {"Лекарственные формы", &TDisplayRec::DosageForms},
        {"Производители", &TDisplayRec::Manufacturers},
        {"ФармГруппа", &TDisplayRec::PharmGroup},
        {"Международное непатентованное наименование", &TDisplayRec::Inn},
        {"Синонимы", &TDisplayRec::Synonyms},
        {"Состав", &TDisplayRec::Composition},
        {"Фармакологическое действие", &TDisplayRec::PharmAction},
        {"Показания к применению", &TDisplayRec::Indications},
        {"Противопоказания", &TDisplayRec::Contraindications},
        {"Побочное действие", &TDisplayRec::SideEffects},
        {"Взаимодействие", &TDisplayRec::Interactions},
        {"Передозировка", &TDisplayRec::Overdose},
        {"Особые указания", &TDisplayRec::SpecialNotes},
        {"Способ применения и дозы", &TDisplayRec::Dosage},
        {"Условия хранения", &TDisplayRec::Storage},
    };
    for (const auto& [name, field] : kSections) {
        if (name == caption)
            return &(rec.*field);
    }
    return nullptr;
}

}  // namespace orv
