#include "search/analogues.h"

#include "db/inn_keys.h"
#include "util/inn_key.h"
#include "util/text.h"

namespace orv {

std::string InnTextOf(Reference& ref, std::int64_t id) {
    Statement st = ref.Db().Prepare("select n13 from b where id = ?1");
    st.Bind(1, id);
    return st.Step() ? UnscrambleFromStorage(ValueToText(st.Column(0))) : std::string();
}

CommandResult FilterTableAnalogues(Reference& ref, DataSet& active) {
    CommandResult r;
    if (!active.Active() || active.IsEmpty())
        return r;
    const std::int64_t id = ValueToIntDef(active.Field("id"), 0);
    if (id <= 0)
        return r;  // a group node
    const std::string inn = InnTextOf(ref, id);
    const std::string shown = InnDisplayText(inn);
    if (shown.empty()) {
        std::string name = active.AsText(ref.NameColumn());
        r.status =
            "Аналоги по МНН: у препарата «" + CutQuoted(CollapseSpaces(name)) + "» не указано МНН";
        return r;
    }
    if (InnKey(inn).empty()) {
        r.status = "Аналоги по МНН: «" + shown + "» не называет действующего вещества";
        return r;
    }
    EnsureInnKeys(ref.Db());
    ref.qMain.SetSql(AnaloguesSql(id, ref.NameColumn()));
    ref.qMain.Open();
    r.listChanged = true;
    ref.qMain.Locate("id", id);
    r.redraw = true;
    r.showListPage = true;
    r.status = "Аналоги по МНН «" + shown + "»: " + std::to_string(ref.qMain.RecordCount());
    return r;
}

}  // namespace orv
