#include "update/line_applier.h"

#include "update/packet_file.h"
#include "util/cp1251.h"
#include "util/error.h"
#include "util/message_text.h"
#include "util/text.h"

namespace orv {

namespace {
// Positions 6..21 of a preparation line are n1..n16; n12 (position 17) is stored plain.
constexpr int kFirstTextField = 6;
constexpr int kPlainTextField = 17;
constexpr int kActionField = 7;        // n2, source of ndx2
constexpr int kIndicationsField = 10;  // n5, source of ndx1
constexpr int kGroupField = 22;
constexpr int kInnField = 18;  // n13

// Statement parameters of a preparation row, shared by the insert and the update.
constexpr int kPName = 1, kPSynonim = 2, kPFirstText = 3, kPG = 19, kPStatus = 20, kPMd = 21,
              kPNdx1 = 22, kPNdx2 = 23, kPId = 24, kPCmd = 25, kPKeepG = 26;

bool IsTilde(std::string_view f) {
    return f == "~";
}

void SplitFields(std::string_view line, std::vector<std::string_view>& out) {
    out.clear();
    size_t start = 0;
    for (;;) {
        size_t at = line.find(kFieldSeparator, start);
        if (at == std::string_view::npos)
            break;
        out.push_back(line.substr(start, at - start));
        start = at + 1;
    }
    out.push_back(line.substr(start));
}

std::string BaseColumns(const std::string& name) {
    std::string s = name + ", synonim";
    for (int n = 1; n <= 16; ++n)
        s += ", n" + std::to_string(n);
    return s + ", g, status, md, ndx1, ndx2, id, cmd";
}

std::string BaseInsertSql(const std::string& name) {
    std::string values;
    for (int p = 1; p <= kPCmd; ++p)
        values += (p > 1 ? ", ?" : "?") + std::to_string(p);
    return "insert into b (" + BaseColumns(name) + ") values (" + values + ")";
}

std::string BaseUpdateSql(const std::string& name) {
    // A NULL parameter keeps the column ("~"); g may also be set to NULL, so it has a flag.
    auto keep = [](const std::string& col, int p) {
        return col + " = coalesce(?" + std::to_string(p) + ", " + col + ")";
    };
    std::string s = "update b set " + keep(name, kPName) + ", " + keep("synonim", kPSynonim);
    for (int n = 1; n <= 16; ++n)
        s += ", " + keep("n" + std::to_string(n), kPFirstText + n - 1);
    s += ", g = case when ?" + std::to_string(kPKeepG) + " then g else ?" + std::to_string(kPG) +
         " end";
    s += ", status = ?" + std::to_string(kPStatus) + ", md = ?" + std::to_string(kPMd);
    s += ", " + keep("ndx1", kPNdx1) + ", " + keep("ndx2", kPNdx2);
    return s + " where id = ?" + std::to_string(kPId);
}

// An integer column value: the empty text clears it, anything else must be an integer.
Value IntegerColumn(std::string_view field) {
    if (field.empty())
        return Null{};
    return Value{LineInteger(field)};
}
}  // namespace

std::int64_t LineInteger(std::string_view field) {
    std::int32_t v = 0;
    if (!ParseIntegerText(field, v))
        throw Error("«" + CutCp1251ForMessage(field) + "» не является целым числом");
    return v;
}

LineApplier::Table LineApplier::Prepare(const std::string& table, const std::string& insertSql,
                                        const std::string& updateSql) {
    return Table{db_.Prepare("select status from " + table + " where id = ?"),
                 db_.Prepare("delete from " + table + " where id = ?"), db_.Prepare(insertSql),
                 db_.Prepare(updateSql)};
}

LineApplier::LineApplier(Database& db, std::string nameColumn, int packet, double appliedAt)
    : db_(db),
      nameColumn_(std::move(nameColumn)),
      packet_(packet),
      appliedAt_(appliedAt),
      b_(Prepare("b", BaseInsertSql(nameColumn_), BaseUpdateSql(nameColumn_))),
      i_(Prepare("i", "insert into i (id, " + nameColumn_ + ", status, md) values (?1, ?2, ?3, ?4)",
                 "update i set " + nameColumn_ + " = ?2, status = ?3, md = ?4 where id = ?1")),
      g_(Prepare("g", "insert into g (id, " + nameColumn_ + ", status, md) values (?1, ?2, ?3, ?4)",
                 "update g set " + nameColumn_ + " = ?2, status = ?3, md = ?4 where id = ?1")),
      inn_(db) {}

bool LineApplier::Admit(Table& t, const std::vector<std::string_view>& fields, std::int64_t id,
                        bool& exists) {
    if (fields.size() == 1) {
        t.remove.Reset();
        t.remove.Bind(1, id);
        t.remove.Step();
        return false;
    }
    t.select.Reset();
    t.select.Bind(1, id);
    exists = t.select.Step();
    if (!exists)
        return true;
    int status = ValueToIntDef(t.select.Column(0), 0);
    t.select.Reset();
    return status < packet_;
}

void LineApplier::ApplyBaseLine(std::string_view line) {
    SplitFields(line, fields_);
    const int f = static_cast<int>(fields_.size());
    const std::int64_t id = LineInteger(fields_[0]);
    // Packet 2 carries no group field and its field count is not tested; a shorter line than
    // its 21 fields cannot be applied.
    const int last = packet_ == 2 ? 21 : kGroupField;
    if (f != 1 && (packet_ == 2 ? f < 21 : f != 22)) {
        throw Error("2 Неверная структура пакета (" + std::to_string(f) + ")");
    }
    bool exists = false;
    if (!Admit(b_, fields_, id, exists)) {
        if (f == 1)
            inn_.Remove(id);
        return;
    }

    Statement& st = exists ? b_.update : b_.insert;
    st.Reset();
    auto field = [&](int pos) { return fields_[static_cast<size_t>(pos - 1)]; };
    auto plain = [&](int pos) -> Value {
        if (IsTilde(field(pos)))
            return Null{};
        return Cp1251ToUtf8(field(pos));
    };
    st.Bind(kPName, plain(3));
    st.Bind(kPSynonim, plain(4));
    // Field 5 is overwritten with N, but a value that is not a number still fails the line.
    if (!IsTilde(field(5)))
        IntegerColumn(field(5));
    for (int pos = kFirstTextField; pos <= 21; ++pos) {
        Value v;
        if (IsTilde(field(pos))) {
            v = Null{};
        } else if (pos == kPlainTextField) {
            v = Cp1251ToUtf8(field(pos));
        } else {
            v = Blob{ScrambleText(field(pos))};
        }
        st.Bind(kPFirstText + pos - kFirstTextField, v);
    }
    const bool keepG = last < kGroupField || IsTilde(field(kGroupField));
    st.Bind(kPG, keepG ? Value{Null{}} : IntegerColumn(field(kGroupField)));
    st.Bind(kPStatus, std::int64_t{packet_});
    st.Bind(kPMd, appliedAt_);
    // "~" in the source of an index keeps the row's index words: they still describe its text.
    auto index = [&](int pos) -> Value {
        if (IsTilde(field(pos)))
            return Null{};
        return IndexWords(StripMarkup(Cp1251ToUtf8(field(pos))));  // no tag or entity names
    };
    st.Bind(kPNdx1, index(kIndicationsField));
    st.Bind(kPNdx2, index(kActionField));
    st.Bind(kPId, id);
    if (exists) {
        st.Bind(kPKeepG, std::int64_t{keepG ? 1 : 0});
    } else {
        st.Bind(kPCmd, LineInteger(field(2)));
    }
    st.Step();
    st.Reset();
    // "~" keeps the INN, and so its key.
    if (!IsTilde(field(kInnField)))
        inn_.Set(id, Cp1251ToUtf8(field(kInnField)));
}

void LineApplier::ApplyNamedLine(Table& t, std::string_view line, const char* code,
                                 bool scrambled) {
    SplitFields(line, fields_);
    const int f = static_cast<int>(fields_.size());
    const std::int64_t id = LineInteger(fields_[0]);
    if (f != 1 && f != (packet_ < 4 ? 3 : 2)) {
        throw Error(std::string(code) + " Неверная структура пакета (" + std::to_string(f) + ")");
    }
    bool exists = false;
    if (!Admit(t, fields_, id, exists))
        return;
    Statement& st = exists ? t.update : t.insert;
    st.Reset();
    st.Bind(1, id);
    st.Bind(2, scrambled ? Value{Blob{ScrambleText(fields_[1])}} : Value{Cp1251ToUtf8(fields_[1])});
    st.Bind(3, std::int64_t{packet_});
    st.Bind(4, appliedAt_);
    st.Step();
    st.Reset();
}

void LineApplier::ApplyIzgLine(std::string_view line) {
    ApplyNamedLine(i_, line, "4", true);
}

void LineApplier::ApplyGroupLine(std::string_view line) {
    ApplyNamedLine(g_, line, "6", false);
}

}  // namespace orv
