#include "db/dataset.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>

#include "db/jet_like.h"
#include "db/russian_collation.h"
#include "util/cp1251.h"
#include "util/error.h"
#include "util/text.h"

namespace orv {
namespace {

std::string Quote(const std::string& ident) {
    return "\"" + ident + "\"";
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// "... from <name> ..." -> name; the data sets edit one table each.
std::string TableFromSql(const std::string& sql) {
    std::string lower = LowerText(sql);
    size_t at = lower.find(" from ");
    if (at == std::string::npos)
        return {};
    size_t b = at + 6;
    while (b < sql.size() && sql[b] == ' ')
        ++b;
    size_t e = b;
    while (e < sql.size() && (std::isalnum(static_cast<unsigned char>(sql[e])) || sql[e] == '_'))
        ++e;
    return sql.substr(b, e - b);
}

bool PrefixEquals(std::string_view value, std::string_view prefix, bool ci) {
    if (!ci)
        return value.substr(0, prefix.size()) == prefix;
    size_t i = 0, j = 0;
    while (j < prefix.size()) {
        if (i >= value.size())
            return false;
        if (FoldCase(DecodeUtf8(value, i)) != FoldCase(DecodeUtf8(prefix, j)))
            return false;
    }
    return true;
}

bool TextEquals(std::string_view a, std::string_view b, bool ci) {
    if (!ci)
        return a == b;
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (FoldCase(DecodeUtf8(a, i)) != FoldCase(DecodeUtf8(b, j)))
            return false;
    }
    return i == a.size() && j == b.size();
}

bool ValuesEqual(const Value& a, const Value& b) {
    if (IsNull(a) || IsNull(b))
        return IsNull(a) && IsNull(b);
    auto num = [](const Value& v, double& out) {
        if (auto* i = std::get_if<std::int64_t>(&v)) {
            out = static_cast<double>(*i);
            return true;
        }
        if (auto* d = std::get_if<double>(&v)) {
            out = *d;
            return true;
        }
        return false;
    };
    double x, y;
    if (num(a, x) && num(b, y))
        return x == y;
    return ValueToText(a) == ValueToText(b);
}

}  // namespace

DataSet::~DataSet() = default;

void DataSet::SetBatchRows(int first, int batch) {
    firstRows_ = std::max(1, first);
    batchRows_ = std::max(1, batch);
}

void DataSet::Pull(int rows) const {
    while (loading_ && (rows < 0 || static_cast<int>(rows_.size()) < rows)) {
        try {
            loading_ = !loader_->Take(rows_, true);
        } catch (...) {
            loading_ = false;
            throw;
        }
    }
}

int DataSet::RecordCount() const {
    Pull(-1);
    return static_cast<int>(rows_.size());
}

int DataSet::LoadedCount() const {
    if (loading_) {
        try {
            loading_ = !loader_->Take(rows_, false);
        } catch (...) {
            loading_ = false;
            throw;
        }
    }
    return static_cast<int>(rows_.size());
}

bool DataSet::Loading() const {
    LoadedCount();
    return loading_;
}

void DataSet::SetKeyed(std::vector<std::string> lightColumns, std::string table, std::string key) {
    keyed_ = true;
    lightColumns_ = std::move(lightColumns);
    table_ = std::move(table);
    key_ = std::move(key);
}

void DataSet::SetTable(std::string table, std::string key) {
    table_ = std::move(table);
    key_ = std::move(key);
}

void DataSet::SetSql(std::string sql) {
    Close();
    sql_ = std::move(sql);
}

void DataSet::Close() {
    if (loader_)
        loader_->Stop();
    loading_ = false;
    active_ = false;
    columns_.clear();
    rows_.clear();
    pos_ = 0;
    eof_ = bof_ = true;
    state_ = EditState::Browse;
    pending_.clear();
    cachedKey_.reset();
    cachedRow_.clear();
}

void DataSet::Open() {
    Close();
    std::string sql = sql_;
    if (keyed_) {
        std::string cols;
        for (const auto& c : lightColumns_)
            cols += (cols.empty() ? "" : ", ") + Quote(c);
        sql = "select " + cols + " from (" + sql_ + ")";
        // A connection of its own sees only what is committed: inside a transaction of ours
        // the rows are read here, as they stand in it.
        const std::string& path = db_->Path();
        if (!path.empty() && path != ":memory:" && sqlite3_get_autocommit(db_->Handle())) {
            if (!loader_)
                loader_ = std::make_unique<ListLoader>(path);
            loader_->Start(sql, static_cast<size_t>(firstRows_), static_cast<size_t>(batchRows_));
            columns_ = loader_->Columns();
            active_ = true;
            loading_ = !loader_->Take(rows_, false);
            First();
            return;
        }
    }
    Statement st = db_->Prepare(sql);
    std::vector<std::string> names;
    for (int i = 0; i < st.ColumnCount(); ++i)
        names.push_back(st.ColumnName(i));
    std::vector<std::vector<Value>> rows;
    while (st.Step()) {
        std::vector<Value> row;
        row.reserve(names.size());
        for (int i = 0; i < static_cast<int>(names.size()); ++i)
            row.push_back(st.Column(i));
        rows.push_back(std::move(row));
    }
    columns_ = std::move(names);
    rows_ = std::move(rows);
    active_ = true;
    First();
}

void DataSet::SetRecNo(int row) {
    Pull(row + 1);
    if (rows_.empty())
        return;
    pos_ = std::clamp(row, 0, static_cast<int>(rows_.size()) - 1);
    eof_ = bof_ = false;
}

void DataSet::First() {
    pos_ = 0;
    bof_ = true;
    eof_ = rows_.empty();
}

void DataSet::Last() {
    Pull(-1);
    pos_ = rows_.empty() ? 0 : RecordCount() - 1;
    eof_ = true;
    bof_ = rows_.empty();
}

void DataSet::Next() {
    Pull(pos_ + 2);
    bof_ = false;
    if (pos_ + 1 < static_cast<int>(rows_.size())) {
        ++pos_;
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void DataSet::Prior() {
    eof_ = false;
    if (pos_ > 0) {
        --pos_;
        bof_ = false;
    } else {
        bof_ = true;
    }
}

int DataSet::ColumnIndex(const std::string& column) const {
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (SameName(columns_[i], column))
            return static_cast<int>(i);
    }
    return -1;
}

std::vector<std::string> DataSet::ColumnNames() const {
    if (!keyed_ || rows_.empty())
        return keyed_ && !table_.empty() ? db_->TableColumns(table_) : columns_;
    std::vector<std::string> names;
    for (const auto& [k, v] : FullRow())
        names.push_back(k);
    return names;
}

bool DataSet::HasColumn(const std::string& column) const {
    if (ColumnIndex(column) >= 0)
        return true;
    if (!keyed_)
        return false;
    for (const auto& c : db_->TableColumns(table_)) {
        if (SameName(c, column))
            return true;
    }
    return false;
}

bool DataSet::Locate(const std::string& column, const Value& value, LocateOptions options) {
    int col = ColumnIndex(column);
    if (col < 0)
        throw Error("Поле «" + column + "» не найдено");
    const bool textual = std::holds_alternative<std::string>(value);
    const std::string text = textual ? std::get<std::string>(value) : std::string();
    for (int r = 0;; ++r) {
        if (r >= static_cast<int>(rows_.size())) {
            Pull(r + 1);  // the rows further on, while they are being read
            if (r >= static_cast<int>(rows_.size()))
                break;
        }
        const Value& v = rows_[static_cast<size_t>(r)][static_cast<size_t>(col)];
        bool hit;
        if (options.partialKey && textual) {
            hit = !IsNull(v) && PrefixEquals(ValueToText(v), text, options.caseInsensitive);
        } else if (textual && !std::holds_alternative<std::int64_t>(v) &&
                   !std::holds_alternative<double>(v)) {
            hit = !IsNull(v) && TextEquals(ValueToText(v), text, options.caseInsensitive);
        } else if (textual) {
            int n;
            hit = IsIntegerText(text) &&
                  (n = ValueToIntDef(text, 0), ValuesEqual(v, static_cast<std::int64_t>(n)));
        } else {
            hit = ValuesEqual(v, value);
        }
        if (hit) {
            SetRecNo(r);
            return true;
        }
    }
    return false;
}

void DataSet::RequireRow() const {
    if (!active_)
        throw Error("Набор данных закрыт");
    if (rows_.empty())
        throw Error("Нет текущей записи");
}

const std::map<std::string, Value>& DataSet::FullRow() const {
    int keyCol = ColumnIndex(key_);
    const Value& key = rows_[static_cast<size_t>(pos_)][static_cast<size_t>(keyCol)];
    if (!cachedKey_ || !ValuesEqual(*cachedKey_, key)) {
        cachedRow_.clear();
        Statement st =
            db_->Prepare("select * from " + Quote(table_) + " where " + Quote(key_) + " = ?");
        st.Bind(1, key);
        if (st.Step()) {
            for (int i = 0; i < st.ColumnCount(); ++i)
                cachedRow_[st.ColumnName(i)] = st.Column(i);
        }
        cachedKey_ = key;
    }
    return cachedRow_;
}

Value DataSet::Field(const std::string& column) const {
    RequireRow();
    int col = ColumnIndex(column);
    if (col >= 0)
        return rows_[static_cast<size_t>(pos_)][static_cast<size_t>(col)];
    if (keyed_ && ColumnIndex(key_) >= 0) {
        for (const auto& [name, v] : FullRow()) {
            if (SameName(name, column))
                return v;
        }
    }
    throw Error("Поле «" + column + "» не найдено");
}

std::string DataSet::TextAt(int row, const std::string& column) const {
    int col = ColumnIndex(column);
    if (row >= 0)
        Pull(row + 1);
    if (col < 0 || row < 0 || row >= static_cast<int>(rows_.size()))
        return {};
    return ValueToText(rows_[static_cast<size_t>(row)][static_cast<size_t>(col)]);
}

std::string DataSet::AsText(const std::string& column) const {
    return ValueToText(Field(column));
}

std::int64_t DataSet::AsInteger(const std::string& column) const {
    Value v = Field(column);
    if (auto* i = std::get_if<std::int64_t>(&v))
        return *i;
    return ValueToIntDef(v, 0);
}

double DataSet::AsDate(const std::string& column) const {
    Value v = Field(column);
    if (auto* d = std::get_if<double>(&v))
        return *d;
    if (auto* i = std::get_if<std::int64_t>(&v))
        return static_cast<double>(*i);
    return 0.0;
}

std::string DataSet::BaseTable() const {
    std::string t = table_.empty() ? TableFromSql(sql_) : table_;
    if (t.empty())
        throw Error("Набор данных нельзя изменять: не известна таблица");
    return t;
}

void DataSet::Insert() {
    if (!active_)
        throw Error("Набор данных закрыт");
    Pull(-1);  // the new row goes after the last one
    state_ = EditState::Insert;
    pending_.clear();
}

void DataSet::Edit() {
    RequireRow();
    state_ = EditState::Edit;
    pending_.clear();
}

void DataSet::SetField(const std::string& column, const Value& v) {
    if (state_ == EditState::Browse)
        throw Error("Набор данных не в режиме правки");
    pending_[column] = v;
}

void DataSet::Cancel() {
    state_ = EditState::Browse;
    pending_.clear();
}

void DataSet::Post() {
    if (state_ == EditState::Browse)
        return;
    const std::string table = BaseTable();
    std::vector<Value> binds;
    std::string sql;
    if (state_ == EditState::Insert) {
        std::string cols, marks;
        for (const auto& [c, v] : pending_) {
            cols += (cols.empty() ? "" : ", ") + Quote(c);
            marks += marks.empty() ? "?" : ", ?";
            binds.push_back(v);
        }
        sql = cols.empty()
                  ? "insert into " + Quote(table) + " default values"
                  : "insert into " + Quote(table) + " (" + cols + ") values (" + marks + ")";
    } else {
        if (pending_.empty()) {
            Cancel();
            return;
        }
        std::string sets;
        for (const auto& [c, v] : pending_) {
            sets += (sets.empty() ? "" : ", ") + Quote(c) + " = ?";
            binds.push_back(v);
        }
        int keyCol = ColumnIndex(key_);
        if (keyCol < 0)
            throw Error("Набор данных нельзя изменять: нет ключевого поля " + key_);
        binds.push_back(rows_[static_cast<size_t>(pos_)][static_cast<size_t>(keyCol)]);
        sql = "update " + Quote(table) + " set " + sets + " where " + Quote(key_) + " = ?";
    }
    Statement st = db_->Prepare(sql);
    for (size_t i = 0; i < binds.size(); ++i)
        st.Bind(static_cast<int>(i) + 1, binds[i]);
    st.Step();

    // Reflect the change in the loaded result.
    auto apply = [this](std::vector<Value>& row) {
        for (const auto& [c, v] : pending_) {
            int col = ColumnIndex(c);
            if (col >= 0)
                row[static_cast<size_t>(col)] = v;
        }
    };
    if (state_ == EditState::Insert) {
        std::vector<Value> row(columns_.size(), Value{Null{}});
        apply(row);
        rows_.push_back(std::move(row));
        SetRecNo(RecordCount() - 1);
    } else {
        apply(rows_[static_cast<size_t>(pos_)]);
    }
    cachedKey_.reset();
    state_ = EditState::Browse;
    pending_.clear();
}

void DataSet::Delete() {
    RequireRow();
    Pull(-1);
    const std::string table = BaseTable();
    int keyCol = ColumnIndex(key_);
    if (keyCol < 0)
        throw Error("Набор данных нельзя изменять: нет ключевого поля " + key_);
    Statement st = db_->Prepare("delete from " + Quote(table) + " where " + Quote(key_) + " = ?");
    st.Bind(1, rows_[static_cast<size_t>(pos_)][static_cast<size_t>(keyCol)]);
    st.Step();
    rows_.erase(rows_.begin() + pos_);
    cachedKey_.reset();
    if (rows_.empty()) {
        pos_ = 0;
        eof_ = bof_ = true;
    } else {
        pos_ = std::min(pos_, RecordCount() - 1);
    }
}

}  // namespace orv
