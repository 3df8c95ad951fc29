// Packet files: inflate, check and apply to a reference. The first byte picks the form of the
// rest: even = packet text (compressed here, so the fuzzer reaches the line parsers), odd = the
// file's bytes as they are (the inflater).
//
// Invariants: the line splitter that applies a packet agrees with the copying parser; a
// refused packet changes no table; a run that fails or stops is not recorded; a completed run
// is.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "db/reference.h"
#include "db/schema.h"
#include "fuzz_support.h"
#include "update/packet_engine.h"
#include "update/packet_file.h"

namespace {

const char* const kTables[] = {"b", "i", "g", "packets"};

// A reference holding one installed packet and a few rows, made once and copied per input.
const std::string& BaseReference() {
    static const std::string path = [] {
        const std::string dir = orv::fuzz::WorkDir() + "base/";
        std::filesystem::create_directories(dir);
        const std::string file = dir + "source.bin";
        std::filesystem::remove(file);
        orv::CreateReferenceFile(file);
        orv::Database db(file);
        db.Exec(
            "insert into b (id, pname, synonim, g, status) values "
            "(1, 'Аспирин', 'Ацетилсалициловая кислота', -1, 1),"
            "(2, 'Но-шпа', 'Дротаверин', -2, 1), (3, 'Нурофен', 'Ибупрофен', -1, 1)");
        db.Exec("insert into g (id, pname) values (1, 'Анальгетики'), (2, 'Спазмолитики')");
        db.Exec("insert into packets (id, dt) values (1, 46000)");
        return file;
    }();
    return path;
}

std::string Snapshot(orv::Database& db) {
    std::string s;
    for (const char* t : kTables)
        s += std::string(t) + ":\n" + orv::fuzz::TableSnapshot(db, t);
    return s;
}

bool Recorded(orv::Database& db, int number) {
    orv::Statement st = db.Prepare("select count(*) from packets where id = ?");
    st.Bind(1, std::int64_t{number});
    st.Step();
    return st.ColumnInt(0) > 0;
}

// The engine reads lines through views into the text; the copying parser splits the same text
// on its own. Both must see the same lines, or the engine writes a line it was never given.
void CheckLineViews(const std::string& text) {
    orv::PacketContent copied;
    try {
        copied = orv::ParsePacketText(text);
    } catch (const orv::Error&) {
        return;
    }
    const orv::PacketText viewed = orv::ParsePacketView(text);
    const std::vector<std::string>* sections[3] = {&copied.preparations, &copied.manufacturers,
                                                   &copied.groups};
    for (int s = 0; s < 3; ++s) {
        orv::SectionLines lines(viewed.Section(s));
        if (lines.Count() != sections[s]->size())
            orv::fuzz::Fail("the line views count other lines than the parser", text);
        for (size_t i = 0;; lines.Advance(), ++i) {
            if (lines.Current() != (*sections[s])[i])
                orv::fuzz::Fail("a line view differs from the parsed line", text);
            if (lines.AtLast())
                break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string dir = orv::fuzz::WorkDir() + "run/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(BaseReference(), dir + "source.bin");
    const std::string packetPath = dir + "7.pckt";
    const std::string body(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0) {
        CheckLineViews(body);
        orv::WritePacketFile(packetPath, body, 1);
    } else {
        std::ofstream(packetPath, std::ios::binary) << body;
    }

    orv::Reference ref(dir);
    ref.qMain.SetSql("select * from b");
    const std::string before = Snapshot(ref.Db());
    std::unique_ptr<orv::PacketRun> run;
    try {
        run = orv::ApplyPacket(ref, packetPath);
    } catch (const orv::Error&) {
        if (Snapshot(ref.Db()) != before)
            orv::fuzz::Fail("a refused packet changed the tables", packetPath);
        return 0;
    }
    const int number = run->Number();
    const bool installedBefore = Recorded(ref.Db(), number);
    // Every other input is stopped half-way, as a user may.
    const bool stopEarly = size % 3 == 0;
    bool failed = false;
    try {
        while (run->Running()) {
            run->Tick(std::chrono::milliseconds(50), 16);
            if (stopEarly && run->Running() && run->Progress().stepsDone >= 1) {
                run->Stop();
                break;
            }
        }
    } catch (const orv::Error&) {
        failed = true;
    }
    const bool recorded = Recorded(ref.Db(), number);
    if ((failed || run->CurrentState() == orv::PacketRun::State::Stopped) && recorded &&
        !installedBefore)
        orv::fuzz::Fail("a packet that did not finish was recorded", std::to_string(number));
    if (run->CurrentState() == orv::PacketRun::State::Completed && !recorded)
        orv::fuzz::Fail("a completed packet was not recorded", std::to_string(number));
    run.reset();
    return 0;
}
