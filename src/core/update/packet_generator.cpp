#include "update/packet_generator.h"

#include <algorithm>
#include <string>
#include <vector>

#include "util/cp1251.h"

namespace orv {

namespace {

// splitmix64: the same sequence on every platform and compiler.
class Rng {
  public:
    explicit Rng(std::uint64_t seed) : s_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }
    int Between(int lo, int hi) {
        return lo + static_cast<int>(Below(static_cast<size_t>(hi - lo + 1)));
    }

  private:
    std::uint64_t s_;
};

using Pool = std::vector<std::string>;

Pool Cp(std::initializer_list<const char*> words) {
    Pool p;
    for (const char* w : words)
        p.push_back(Utf8ToCp1251(w));
    return p;
}

struct Vocabulary {
    Pool syllables = Cp({"ам",  "ло",  "ди",  "пин", "ме",  "тро", "ни",  "да", "зол", "ка",
                         "пто", "при", "цет", "ра",  "фе",  "ро",  "нал", "ги", "тер", "бу",
                         "лан", "ок",  "са",  "вер", "до",  "мил", "кли", "ти", "за",  "реп",
                         "фло", "кса", "ви",  "ла",  "сто", "гра", "нек", "су", "мо",  "лит"});
    Pool endings = Cp({"ин", "ол", "екс", "ан", "амид", "аза", "ил", "он", "ат", "ен", "ит", "ум",
                       "акс", "ифен"});
    Pool forms =
        Cp({"таблетки", "таблетки, покрытые плёночной оболочкой", "капсулы", "раствор для инъекций",
            "сироп", "суспензия для приёма внутрь", "мазь для наружного применения", "гель",
            "капли глазные", "суппозитории ректальные", "порошок для приготовления раствора"});
    Pool groups = Cp({"Анальгетики ненаркотические",
                      "Нестероидные противовоспалительные средства",
                      "Антибиотики группы пенициллинов",
                      "Антибиотики-макролиды",
                      "Антигистаминные средства",
                      "Бета-адреноблокаторы",
                      "Блокаторы кальциевых каналов",
                      "Ингибиторы АПФ",
                      "Диуретики",
                      "Спазмолитики",
                      "Противовирусные средства",
                      "Противогрибковые средства",
                      "Ингибиторы протонного насоса",
                      "Антациды",
                      "Витамины и минеральные комплексы",
                      "Гиполипидемические средства",
                      "Антикоагулянты",
                      "Противокашлевые средства",
                      "Отхаркивающие средства",
                      "Седативные средства",
                      "Антидепрессанты",
                      "Противосудорожные средства",
                      "Глюкокортикостероиды",
                      "Гипогликемические средства",
                      "Ферментные препараты",
                      "Пробиотики",
                      "Антисептики",
                      "Местные анестетики",
                      "Венотоники",
                      "Гепатопротекторы"});
    Pool groupQualifiers = Cp({"для приёма внутрь", "для местного применения", "комбинированные",
                               "пролонгированного действия", "для детей", "в инъекционных формах"});
    Pool companyRoots =
        Cp({"Велта", "Норд", "Алтай", "Сибир", "Волга", "Ока", "Кедр", "Бирюза", "Полюс", "Север",
            "Ладога", "Урал", "Заря", "Мир", "Вектор", "Орион", "Каскад", "Радуга"});
    Pool companyKinds = Cp({"фарм", "мед", "био", "хим", "лек", "фито", "синтез"});
    Pool companyForms =
        Cp({"ООО «%»", "АО «%»", "% Фармасьютикалс", "% Лабораториз", "ЗАО «%»", "% Хелскэр"});
    Pool countries =
        Cp({"Россия", "Беларусь", "Казахстан", "Сербия", "Индия", "Словения", "Венгрия", "Польша"});
    Pool nouns =
        Cp({"боль",     "воспаление",     "отёк",       "спазм",   "лихорадка",     "кашель",
            "тошнота",  "головокружение", "сыпь",       "зуд",     "слабость",      "давление",
            "инфекция", "аллергия",       "бессонница", "изжога",  "головная боль", "мигрень",
            "артрит",   "бронхит",        "ангина",     "гастрит", "цистит",        "дерматит"});
    Pool verbs =
        Cp({"уменьшает", "снижает", "подавляет", "устраняет", "облегчает", "нормализует",
            "блокирует", "улучшает", "ускоряет", "ослабляет", "восстанавливает", "стимулирует"});
    Pool objects =
        Cp({"синтез простагландинов", "активность ферментов", "проницаемость сосудов",
            "тонус гладкой мускулатуры", "выработку гистамина", "секрецию желудочного сока",
            "размножение бактерий", "свёртываемость крови", "уровень холестерина",
            "возбудимость нервной системы", "всасывание в кишечнике", "обмен веществ"});
    Pool patients =
        Cp({"взрослым", "детям старше 12 лет", "пожилым пациентам", "детям от 6 до 12 лет",
            "пациентам с нарушением функции почек", "беременным", "кормящим матерям"});
    Pool organs = Cp({"печени", "почек", "желудка", "сердца", "кожи", "дыхательных путей",
                      "кишечника", "суставов", "нервной системы", "мочевыводящих путей"});
    Pool storage =
        Cp({"Хранить в сухом, защищённом от света месте при температуре не выше 25 °C.",
            "Хранить при температуре от 2 до 8 °C. Не замораживать.",
            "Хранить в недоступном для детей месте. Срок годности — 3 года.",
            "Хранить в оригинальной упаковке при температуре 15–25 °C.",
            "Срок годности — 2 года. После вскрытия флакона использовать в течение 28 дней."});
};

const Vocabulary& Words() {
    static const Vocabulary v;
    return v;
}

const std::string& Pick(Rng& r, const Pool& p) {
    return p[r.Below(p.size())];
}

std::string Capitalized(std::string s) {
    if (!s.empty())
        s[0] = static_cast<char>(Cp1251Upper(static_cast<unsigned char>(s[0])));
    return s;
}

// Fixed words of the sentences, in windows-1251.
struct Phrases {
    std::string and_ = Utf8ToCp1251(" и ");
    std::string usedFor = Utf8ToCp1251("Применяется при состояниях: ");
    std::string prescribe = Utf8ToCp1251("Назначают ");
    std::string by = Utf8ToCp1251(" по ");
    std::string tablet = Utf8ToCp1251(" таблетке ");
    std::string tablets = Utf8ToCp1251(" таблетки ");
    std::string once = Utf8ToCp1251(" раз в сутки");
    std::string times = Utf8ToCp1251(" раза в сутки");
    std::string caution = Utf8ToCp1251("С осторожностью применяют при нарушениях функции ");
    std::string possible = Utf8ToCp1251("Возможны: ");
};

const Phrases& Phrase() {
    static const Phrases p;
    return p;
}

std::string Sentence(Rng& r) {
    const Vocabulary& w = Words();
    const Phrases& p = Phrase();
    std::string s;
    switch (r.Below(5)) {
        case 0:
            s = Capitalized(Pick(r, w.verbs)) + " " + Pick(r, w.objects) + p.and_ +
                Pick(r, w.verbs) + " " + Pick(r, w.objects);
            break;
        case 1:
            s = p.usedFor + Pick(r, w.nouns) + ", " + Pick(r, w.nouns);
            break;
        case 2: {
            const int count = r.Between(1, 2);
            const int daily = r.Between(1, 4);
            s = p.prescribe + Pick(r, w.patients) + p.by + std::to_string(count) +
                (count == 1 ? p.tablet : p.tablets) + std::to_string(daily) +
                (daily == 1 ? p.once : p.times);
            break;
        }
        case 3:
            s = p.caution + Pick(r, w.organs);
            break;
        default:
            s = p.possible + Pick(r, w.nouns) + ", " + Pick(r, w.nouns) + ", " + Pick(r, w.nouns);
            break;
    }
    return s + ".";
}

// A description text of about `length` bytes: sentences, some line breaks and emphasis.
std::string Text(Rng& r, size_t length) {
    std::string t;
    while (t.size() < length) {
        if (!t.empty())
            t += r.Below(4) == 0 ? "<br>" : " ";
        std::string s = Sentence(r);
        if (r.Below(8) == 0)
            s = "<b>" + s + "</b>";
        t += s;
    }
    return t;
}

std::string ProductName(Rng& r) {
    const Vocabulary& w = Words();
    std::string n;
    int parts = r.Between(1, 3);
    for (int i = 0; i < parts; ++i)
        n += Pick(r, w.syllables);
    n += Pick(r, w.endings);
    return Capitalized(n);
}

constexpr char kF = kFieldSeparator;

}  // namespace

int GeneratedGroupCount(int preparations) {
    return std::max(10, preparations / 100);
}
int GeneratedManufacturerCount(int preparations) {
    return std::max(10, preparations / 15);
}

PacketContent GeneratePacket(const GeneratorOptions& o) {
    const Vocabulary& w = Words();
    Rng r(o.seed);
    PacketContent c;
    c.number = o.packet;
    const std::string extra = o.packet < 4 ? std::string(1, kF) : std::string();

    const int groups = GeneratedGroupCount(o.preparations);
    for (int g = 1; g <= groups; ++g) {
        std::string name = w.groups[static_cast<size_t>(g - 1) % w.groups.size()];
        if (g > static_cast<int>(w.groups.size()))
            name += " " + Pick(r, w.groupQualifiers) + " " + std::to_string(g);
        c.groups.push_back(std::to_string(g) + kF + name + extra);
    }
    const int makers = GeneratedManufacturerCount(o.preparations);
    for (int m = 1; m <= makers; ++m) {
        std::string root = Pick(r, w.companyRoots) + Pick(r, w.companyKinds);
        std::string form = Pick(r, w.companyForms);
        form.replace(form.find('%'), 1, root);
        c.manufacturers.push_back(std::to_string(m) + kF + form + " (" + Pick(r, w.countries) +
                                  ")" + extra);
    }

    c.preparations.reserve(static_cast<size_t>(o.preparations));
    int id = 0;
    while (id < o.preparations) {
        // A cluster: one substance under one to four trade names, each listing the others.
        std::string inn = ProductName(r);
        int size = std::min(o.preparations - id, r.Below(3) == 0 ? r.Between(2, 4) : 1);
        std::vector<std::string> names;
        for (int k = 0; k < size; ++k)
            names.push_back(k == 0 ? inn : ProductName(r));
        const int group = r.Between(1, groups);
        for (int k = 0; k < size; ++k) {
            ++id;
            std::string synonyms;
            for (int j = 0; j < size; ++j) {
                if (j == k)
                    continue;
                if (!synonyms.empty())
                    synonyms += ", ";
                synonyms += names[static_cast<size_t>(j)];
            }
            std::string makersField;
            for (int m = r.Between(1, 2); m > 0; --m) {
                if (!makersField.empty())
                    makersField += ",";
                makersField += "[" + std::to_string(r.Between(1, makers)) + "]";
            }
            std::string form = Pick(r, w.forms);
            std::string line = std::to_string(id) + kF + "0" + kF + names[static_cast<size_t>(k)] +
                               kF + synonyms + kF + "0" + kF;
            line += Utf8ToCp1251("Активное вещество: ") + inn + " " +
                    std::to_string(r.Between(1, 100) * 5) +
                    Utf8ToCp1251(
                        " мг.<br>Вспомогательные вещества: лактоза, крахмал, магния стеарат.") +
                    kF;                            // n1
            line += Text(r, 380) + kF;             // n2
            line += Text(r, 300) + kF;             // n3
            line += Text(r, 250) + kF;             // n4
            line += Text(r, 220) + kF;             // n5
            line += Text(r, 200) + kF;             // n6
            line += Text(r, 330) + kF;             // n7
            line += Capitalized(form) + "." + kF;  // n8
            line += Pick(r, w.storage) + kF;       // n9
            line += kF;                            // n10
            line += makersField + kF;              // n11
            line += std::to_string(group) + kF;    // n12
            line += inn + kF;                      // n13
            line += Text(r, 180) + kF;             // n14
            line += Text(r, 240) + kF;             // n15
            // n16 stays empty; packet 2 has no group field.
            if (o.packet != 2)
                line += kF + ("-" + std::to_string(group));
            c.preparations.push_back(std::move(line));
        }
    }
    for (auto* lines : {&c.preparations, &c.manufacturers, &c.groups}) {
        if (lines->empty())
            lines->emplace_back();
    }
    return c;
}

}  // namespace orv
