#pragma once
// A small reference with real-looking preparations, groups and description texts, for the
// window tests and for looking at the program before the demo reference exists.
#include <string>

#include "db/database.h"
#include "db/schema.h"
#include "util/text.h"

namespace orv::test {

struct SamplePreparation {
    int id;
    const char* name;
    const char* synonim;
    int g;  // -group id, or 0 for none
    const char* composition;
    const char* indications;
    const char* dosage;
};

inline const SamplePreparation kSamplePreparations[] = {
    {1, "Аспирин", "Ацетилсалициловая кислота, Упсарин", -1, "Ацетилсалициловая кислота 500 мг.",
     "Боль слабой и умеренной интенсивности.<br>Лихорадка.", "Внутрь, после еды, по 1 таблетке."},
    {2, "Но-шпа", "Дротаверин, Спазмол", -2, "Дротаверина гидрохлорид 40 мг.",
     "Спазмы гладкой мускулатуры.", "Внутрь по 1-2 таблетки 2-3 раза в сутки."},
    {3, "Дротаверин", "Но-шпа", -2, "Дротаверина гидрохлорид 40 мг.", "Спазмы гладкой мускулатуры.",
     "Внутрь по 1-2 таблетки."},
    {4, "Парацетамол", "Панадол, Эффералган", -1, "Парацетамол 500 мг.",
     "Головная боль.<br>Лихорадка.", "Внутрь по 1 таблетке до 4 раз в сутки."},
    {5, "Панадол", "Парацетамол", -1, "Парацетамол 500 мг.", "Головная боль.",
     "Внутрь по 1 таблетке."},
    {6, "Амоксициллин", "Флемоксин Солютаб", -3, "Амоксициллин 500 мг.",
     "Инфекции дыхательных путей.", "Внутрь по 500 мг 3 раза в сутки."},
    {7, "Флемоксин Солютаб", "Амоксициллин", -3, "Амоксициллин 250 мг.",
     "Инфекции дыхательных путей.", "Внутрь, таблетку можно растворить в воде."},
    {8, "Валидол", "", 0, "Ментол в ментиловом эфире изовалериановой кислоты.", "Стенокардия.",
     "Под язык по 1 таблетке."},
};

inline void FillSampleReference(const std::string& path) {
    CreateReferenceFile(path);
    Database db(path);
    db.Exec(
        "insert into g (id, pname) values (1, 'Анальгетики'), (2, 'Спазмолитики'), "
        "(3, 'Антибиотики'), (4, 'Deleted')");
    db.Exec("insert into i (id, pname) values (1, x'00')");
    for (const auto& p : kSamplePreparations) {
        Statement st = db.Prepare(
            "insert into b (id, pname, synonim, g, status, n12, n1, n5, n7, n2, n11) "
            "values (?, ?, ?, ?, 0, ?, ?, ?, ?, ?, ?)");
        st.Bind(1, std::int64_t{p.id});
        st.Bind(2, std::string(p.name));
        st.Bind(3, std::string(p.synonim));
        st.Bind(4, std::int64_t{p.g});
        st.Bind(5, std::to_string(-p.g));
        st.Bind(6, Blob{ScrambleForStorage(p.composition)});
        st.Bind(7, Blob{ScrambleForStorage(p.indications)});
        st.Bind(8, Blob{ScrambleForStorage(p.dosage)});
        st.Bind(9, Blob{ScrambleForStorage("Оказывает действие, описанное в инструкции.<br>Эффект "
                                           "развивается через 20-30 минут.")});
        st.Bind(10, Blob{ScrambleForStorage("[1]")});
        st.Step();
    }
}

}  // namespace orv::test
