#include "update/packet_source.h"

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

#include "util/cp1251.h"
#include "util/error.h"
#include "util/text.h"

namespace orv {

namespace {
using nlohmann::json;
using nlohmann::ordered_json;

// Field positions 3..22 of a preparation line, by their source keys.
const char* const kBaseKeys[] = {"name", "synonim", "status", "n1",  "n2",  "n3",  "n4",
                                 "n5",   "n6",      "n7",     "n8",  "n9",  "n10", "n11",
                                 "n12",  "n13",     "n14",    "n15", "n16", "g"};
constexpr int kBaseKeyCount = 20;

class SourceReader {
  public:
    explicit SourceReader(std::string origin) : origin_(std::move(origin)) {}

    [[noreturn]] void Fail(const std::string& where, const std::string& what) const {
        std::string prefix = origin_.empty() ? "" : origin_ + ": ";
        throw Error(prefix + (where.empty() ? "" : where + ": ") + what);
    }

    // The windows-1251 bytes of a UTF-8 text that must survive the trip and not hold separators.
    std::string Bytes(const std::string& utf8, const std::string& where) const {
        std::string bytes = Utf8ToCp1251(utf8);
        if (Cp1251ToUtf8(bytes) != utf8) {
            Fail(where, "текст содержит символы вне кодировки windows-1251");
        }
        for (char c : bytes) {
            if (c == kSectionSeparator || c == kLineSeparator || c == kFieldSeparator) {
                Fail(where, "текст содержит управляющие символы 0x01-0x03");
            }
        }
        return bytes;
    }

    // A field value: a text, a whole number, or a list of texts joined by "<br>" (a list of
    // numbers in n11 gives the bracketed manufacturer ids).
    std::string Field(const json& v, const std::string& key, const std::string& where) const {
        if (v.is_string())
            return Bytes(v.get<std::string>(), where + ", поле " + key);
        if (v.is_number_integer())
            return std::to_string(v.get<std::int64_t>());
        if (v.is_array()) {
            std::string out;
            bool ids = key == "n11";
            for (const auto& item : v) {
                if (ids && item.is_number_integer()) {
                    out +=
                        (out.empty() ? "[" : ",[") + std::to_string(item.get<std::int64_t>()) + "]";
                } else if (!ids && item.is_string()) {
                    if (!out.empty())
                        out += "<br>";
                    out += Bytes(item.get<std::string>(), where + ", поле " + key);
                } else {
                    Fail(where + ", поле " + key,
                         ids ? "список производителей должен состоять из чисел"
                             : "список должен состоять из строк");
                }
            }
            return out;
        }
        Fail(where + ", поле " + key, "ожидается строка, число или список");
    }

    std::string Id(const json& obj, const std::string& where) const {
        if (!obj.is_object())
            Fail(where, "ожидается объект { ... }");
        auto it = obj.find("id");
        if (it == obj.end())
            Fail(where, "нет поля id");
        if (!it->is_number_integer() && !it->is_string())
            Fail(where, "поле id должно быть числом");
        return Field(*it, "id", where);
    }

    bool IsDelete(const json& obj, const std::string& where) const {
        auto it = obj.find("delete");
        if (it == obj.end())
            return false;
        if (!it->is_boolean())
            Fail(where, "поле delete должно быть true или false");
        if (it->get<bool>() && obj.size() != 2)
            Fail(where, "удаляющая строка содержит только id и delete");
        return it->get<bool>();
    }

    std::string BaseLine(const json& obj, int packet, size_t index) const {
        std::string where = "препараты[" + std::to_string(index) + "]";
        std::string id = Id(obj, where);
        where = "препарат id=" + id;
        std::string line = id;
        if (IsDelete(obj, where))
            return line;
        if (auto raw = obj.find("fields"); raw != obj.end())
            return RawLine(obj, *raw, where);
        for (auto it = obj.begin(); it != obj.end(); ++it) {
            const std::string& key = it.key();
            bool known = key == "id" || key == "cmd" || key == "delete";
            for (const char* k : kBaseKeys)
                known = known || key == k;
            if (!known)
                Fail(where, "неизвестное поле «" + key + "»");
        }
        if (packet == 2 && obj.contains("g"))
            Fail(where, "в пакете 2 у препаратов нет поля g");
        auto cmd = obj.find("cmd");
        line += kFieldSeparator;
        line += cmd == obj.end() ? "0" : Field(*cmd, "cmd", where);
        int count = packet == 2 ? kBaseKeyCount - 1 : kBaseKeyCount;
        for (int k = 0; k < count; ++k) {
            auto v = obj.find(kBaseKeys[k]);
            line += kFieldSeparator;
            line += v == obj.end() ? "~" : Field(*v, kBaseKeys[k], where);
        }
        return line;
    }

    std::string NamedLine(const json& obj, int packet, const char* what, size_t index) const {
        std::string where = std::string(what) + "[" + std::to_string(index) + "]";
        std::string id = Id(obj, where);
        where = std::string(what) + " id=" + id;
        std::string line = id;
        if (IsDelete(obj, where))
            return line;
        if (auto raw = obj.find("fields"); raw != obj.end())
            return RawLine(obj, *raw, where);
        for (auto it = obj.begin(); it != obj.end(); ++it) {
            if (it.key() != "id" && it.key() != "name" && it.key() != "extra" &&
                it.key() != "delete") {
                Fail(where, "неизвестное поле «" + it.key() + "»");
            }
        }
        auto name = obj.find("name");
        if (name == obj.end())
            Fail(where, "нет поля name");
        line += kFieldSeparator;
        line += Field(*name, "name", where);
        if (packet < 4) {
            auto extra = obj.find("extra");
            line += kFieldSeparator;
            line += extra == obj.end() ? "" : Field(*extra, "extra", where);
        } else if (obj.contains("extra")) {
            Fail(where, "поле extra бывает только в пакетах 1-3");
        }
        return line;
    }

    // "fields": every field after the id as it stands, for lines of any shape.
    std::string RawLine(const json& obj, const json& raw, const std::string& where) const {
        if (!raw.is_array())
            Fail(where, "поле fields должно быть списком");
        if (obj.size() != 2)
            Fail(where, "строка с fields содержит только id и fields");
        std::string line = Field(obj.at("id"), "id", where);
        for (const auto& f : raw) {
            line += kFieldSeparator;
            line += Field(f, "fields", where);
        }
        return line;
    }

  private:
    std::string origin_;
};

// A field as a source value: canonical whole numbers as numbers, the rest as text.
ordered_json SourceValue(const std::string& field, bool numeric) {
    std::int32_t v;
    if (numeric && ParseIntegerText(field, v) && std::to_string(v) == field)
        return v;
    return Cp1251ToUtf8(field);
}
}  // namespace

PacketContent PacketFromSource(const std::string& text, const std::string& origin) {
    SourceReader r(origin);
    json doc;
    try {
        doc = json::parse(text);
    } catch (const json::parse_error& e) {
        r.Fail("", std::string("ошибка разбора JSON: ") + e.what());
    }
    if (!doc.is_object())
        r.Fail("", "ожидается объект { \"packet\": ... }");
    for (auto it = doc.begin(); it != doc.end(); ++it) {
        static const char* const kTop[] = {"packet", "note", "preparations", "manufacturers",
                                           "groups"};
        bool known = false;
        for (const char* k : kTop)
            known = known || it.key() == k;
        if (!known)
            r.Fail("", "неизвестное поле «" + it.key() + "»");
    }
    auto number = doc.find("packet");
    if (number == doc.end() || !number->is_number_integer() || number->get<std::int64_t>() < 1 ||
        number->get<std::int64_t>() > 0x7FFFFFFF) {
        r.Fail("", "поле packet должно быть номером пакета (целое число от 1)");
    }
    PacketContent c;
    c.number = number->get<int>();
    auto section = [&](const char* key) -> const json& {
        static const json empty = json::array();
        auto it = doc.find(key);
        if (it == doc.end())
            return empty;
        if (!it->is_array())
            r.Fail("", std::string("поле ") + key + " должно быть списком");
        return *it;
    };
    for (const auto& p : section("preparations"))
        c.preparations.push_back(r.BaseLine(p, c.number, c.preparations.size()));
    for (const auto& m : section("manufacturers")) {
        c.manufacturers.push_back(
            r.NamedLine(m, c.number, "производитель", c.manufacturers.size()));
    }
    for (const auto& g : section("groups"))
        c.groups.push_back(r.NamedLine(g, c.number, "группа", c.groups.size()));
    // An empty section is one empty line.
    for (auto* lines : {&c.preparations, &c.manufacturers, &c.groups}) {
        if (lines->empty())
            lines->emplace_back();
    }
    return c;
}

namespace {
std::vector<std::string> FieldsOf(std::string_view line) {
    return SplitText(line, std::string_view(&kFieldSeparator, 1));
}

ordered_json RawObject(ordered_json obj, const std::vector<std::string>& f) {
    ordered_json list = ordered_json::array();
    for (size_t i = 1; i < f.size(); ++i)
        list.push_back(Cp1251ToUtf8(f[i]));
    obj["fields"] = list;
    return obj;
}

ordered_json BaseObject(std::string_view line, int number) {
    const auto f = FieldsOf(line);
    const size_t baseCount = number == 2 ? 21 : 22;
    ordered_json obj;
    obj["id"] = SourceValue(f[0], true);
    if (f.size() == 1) {
        obj["delete"] = true;
    } else if (f.size() != baseCount) {
        return RawObject(obj, f);
    } else {
        obj["cmd"] = SourceValue(f[1], true);
        for (size_t k = 0; k + 2 < f.size(); ++k) {
            if (f[k + 2] == "~")
                continue;
            std::string key = kBaseKeys[k];
            obj[key] = SourceValue(f[k + 2], key == "status" || key == "g" || key == "n12");
        }
    }
    return obj;
}

ordered_json NamedObject(std::string_view line, int number) {
    const auto f = FieldsOf(line);
    const size_t count = number < 4 ? 3 : 2;
    ordered_json obj;
    obj["id"] = SourceValue(f[0], true);
    if (f.size() == 1) {
        obj["delete"] = true;
    } else if (f.size() != count) {
        return RawObject(obj, f);
    } else {
        obj["name"] = Cp1251ToUtf8(f[1]);
        if (count == 3 && !f[2].empty())
            obj["extra"] = Cp1251ToUtf8(f[2]);
    }
    return obj;
}

// The document as nlohmann's dump(2) would print it, one line object at a time, so that a
// large packet never stands in memory as a whole JSON tree.
template <class EachLine>
void WriteSource(std::ostream& out, int number, EachLine eachLine) {
    static const char* const kKeys[3] = {"preparations", "manufacturers", "groups"};
    out << "{\n  \"packet\": " << number;
    for (int s = 0; s < 3; ++s) {
        out << ",\n  \"" << kKeys[s] << "\": [";
        bool first = true;
        eachLine(s, [&](std::string_view line) {
            if (line.empty())
                return;
            const std::string text =
                (s == 0 ? BaseObject(line, number) : NamedObject(line, number)).dump(2);
            out << (first ? "\n    " : ",\n    ");
            first = false;
            for (char c : text) {
                out << c;
                if (c == '\n')
                    out << "    ";
            }
        });
        out << (first ? "]" : "\n  ]");
    }
    out << "\n}\n";
}
}  // namespace

std::string PacketToSource(const PacketContent& content) {
    std::ostringstream out;
    const std::vector<std::string>* sections[3] = {&content.preparations, &content.manufacturers,
                                                   &content.groups};
    WriteSource(out, content.number, [&](int s, const auto& emit) {
        for (const auto& line : *sections[s])
            emit(line);
    });
    return out.str();
}

void WritePacketSource(const PacketText& packet, std::ostream& out) {
    WriteSource(out, packet.number, [&](int s, const auto& emit) {
        for (SectionLines lines(packet.Section(s));; lines.Advance()) {
            emit(lines.Current());
            if (lines.AtLast())
                break;
        }
    });
}

void PackFile(const std::string& sourcePath, const std::string& packetPath) {
    std::ifstream in(sourcePath, std::ios::binary);
    if (!in)
        throw Error("Файл " + sourcePath + " не найден!");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WritePacketFile(packetPath, BuildPacketText(PacketFromSource(text, sourcePath)));
}

}  // namespace orv
