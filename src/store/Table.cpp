#include "store/Table.h"

#include <SQLiteCpp/Exception.h>

#include <algorithm>
#include <limits>

#include "common/Cp1251.h"
#include "store/StoreError.h"

namespace miradel {

namespace {

const char* StateName(TableState state) {
    switch (state) {
        case TableState::Inactive:
            return "closed";
        case TableState::Browse:
            return "browse";
        case TableState::Edit:
            return "edit";
        case TableState::Insert:
            return "insert";
    }
    return "?";
}

void Bind(SQLite::Statement& statement, int index, const StoredValue& value) {
    if (const auto* number = std::get_if<int64_t>(&value)) {
        statement.bind(index, *number);
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        statement.bind(index, *text);
    } else {
        statement.bind(index);
    }
}

void BindParams(SQLite::Statement& statement, const std::vector<FieldValue>& params, int first) {
    int index = first;
    for (const FieldValue& param : params) {
        const auto stored = StoredForm(param);
        if (const auto* number = std::get_if<int64_t>(&stored)) {
            statement.bind(index++, *number);
        } else {
            statement.bind(index++, std::get<std::string>(stored));
        }
    }
}

StoredValue ReadColumn(const SQLite::Column& column) {
    if (column.isNull()) {
        return std::monostate{};
    }
    if (column.isInteger()) {
        return column.getInt64();
    }
    return column.getString();
}

std::string ColumnList(const TableDef& def) {
    std::string list;
    for (const FieldDef& field : def.fields) {
        list += list.empty() ? "" : ", ";
        list += QuoteName(field.name);
    }
    return list;
}

bool FitsSelectionValue(const FieldDef& field, const FieldValue& value) {
    switch (field.type) {
        case FieldType::Int16:
        case FieldType::Int32:
        case FieldType::AutoInc:
            return std::holds_alternative<int64_t>(value);
        case FieldType::Str:
        case FieldType::Memo:
            return std::holds_alternative<std::string>(value);
        case FieldType::Date:
            return std::holds_alternative<CalendarDate>(value);
        case FieldType::Time:
            return std::holds_alternative<TimeOfDay>(value);
    }
    return false;
}

}  // namespace

// ---- Field ----

const FieldDef& Field::Def() const {
    return table_->def_.fields[static_cast<std::size_t>(index_)];
}

const StoredValue& Field::Value() const {
    static const StoredValue kNull;
    const auto& values = table_->Values();
    return values.empty() ? kNull : values[static_cast<std::size_t>(index_)];
}

bool Field::IsNull() const {
    auto lock = table_->conn_.Lock();
    return std::holds_alternative<std::monostate>(Value());
}

int64_t Field::AsInteger() const {
    auto lock = table_->conn_.Lock();
    const StoredValue& value = Value();
    if (const auto* number = std::get_if<int64_t>(&value)) {
        return *number;
    }
    if (std::holds_alternative<std::monostate>(value)) {
        return 0;
    }
    if (Def().type == FieldType::Date || Def().type == FieldType::Time) {
        throw BadValueError(table_->Where() + ": field " + std::string(Def().name) +
                            " is not a number");
    }
    const std::string& text = std::get<std::string>(value);
    if (text.empty()) {
        return 0;
    }
    return ParseNumberText(text);
}

std::string Field::AsString() const {
    auto lock = table_->conn_.Lock();
    return DisplayText(table_->def_, Def(), Value());
}

CalendarDate Field::AsDate() const {
    auto lock = table_->conn_.Lock();
    const StoredValue& value = Value();
    const auto* text = std::get_if<std::string>(&value);
    if (text == nullptr) {
        if (std::holds_alternative<std::monostate>(value)) {
            return {};
        }
        throw BadValueError(table_->Where() + ": field " + std::string(Def().name) +
                            " is not a date");
    }
    auto date = Def().type == FieldType::Date ? ParseIsoDate(*text) : ParseDate(*text);
    if (!date) {
        throw BadValueError(table_->Where() + ": '" + *text + "' in field " +
                            std::string(Def().name) + " is not a valid date");
    }
    return *date;
}

TimeOfDay Field::AsTime() const {
    auto lock = table_->conn_.Lock();
    const StoredValue& value = Value();
    const auto* text = std::get_if<std::string>(&value);
    if (text == nullptr) {
        if (std::holds_alternative<std::monostate>(value)) {
            return {-1, -1, -1};
        }
        throw BadValueError(table_->Where() + ": field " + std::string(Def().name) +
                            " is not a time");
    }
    auto time = ParseTime(*text);
    if (!time) {
        throw BadValueError(table_->Where() + ": '" + *text + "' in field " +
                            std::string(Def().name) + " is not a valid time");
    }
    return *time;
}

void Field::Store(StoredValue value) {
    table_->RequireEditing();
    const std::size_t i = static_cast<std::size_t>(index_);
    table_->buffer_[i] = std::move(value);
    table_->changed_[i] = true;
}

void Field::SetInteger(int64_t value) {
    auto lock = table_->conn_.Lock();
    const FieldDef& def = Def();
    switch (def.type) {
        case FieldType::AutoInc:
            throw StoreError(table_->Where() + ": field " + std::string(def.name) +
                             " is assigned by the database and cannot be modified");
        case FieldType::Int16:
        case FieldType::Int32: {
            const int64_t low = def.type == FieldType::Int16 ? std::numeric_limits<int16_t>::min()
                                                             : std::numeric_limits<int32_t>::min();
            const int64_t high = def.type == FieldType::Int16 ? std::numeric_limits<int16_t>::max()
                                                              : std::numeric_limits<int32_t>::max();
            if (value < low || value > high) {
                throw BadValueError(table_->Where() + ": " + std::to_string(value) +
                                    " is not a valid value for field " + std::string(def.name) +
                                    "; the allowed range is " + std::to_string(low) + " to " +
                                    std::to_string(high));
            }
            Store(value);
            return;
        }
        case FieldType::Str:
        case FieldType::Memo:
            SetString(std::to_string(value));
            return;
        case FieldType::Date:
        case FieldType::Time:
            throw BadValueError(table_->Where() + ": field " + std::string(def.name) +
                                " does not take a number");
    }
}

void Field::SetString(std::string_view text) {
    auto lock = table_->conn_.Lock();
    const FieldDef& def = Def();
    switch (def.type) {
        case FieldType::AutoInc:
        case FieldType::Int16:
        case FieldType::Int32: {
            int64_t number = 0;
            try {
                number = ParseNumberText(text);
            } catch (const BadValueError&) {
                throw BadValueError(table_->Where() + ": '" + std::string(text) +
                                    "' is not a valid integer value for field " +
                                    std::string(def.name));
            }
            SetInteger(number);
            return;
        }
        case FieldType::Str:
            // A text longer than the field keeps its head, as the office's tables always did.
            Store(std::string(Utf8Prefix(text, static_cast<std::size_t>(def.width))));
            return;
        case FieldType::Memo:
            Store(std::string(text));
            return;
        case FieldType::Date: {
            const auto date = ParseDate(text);
            if (!date) {
                throw BadValueError(table_->Where() + ": '" + std::string(text) +
                                    "' is not a valid date");
            }
            Store(IsoText(*date));
            return;
        }
        case FieldType::Time: {
            const auto time = ParseTime(text);
            if (!time) {
                throw BadValueError(table_->Where() + ": '" + std::string(text) +
                                    "' is not a valid time");
            }
            Store(IsoText(*time));
            return;
        }
    }
}

void Field::SetDate(const CalendarDate& date) {
    auto lock = table_->conn_.Lock();
    if (!date.Valid()) {
        throw BadValueError(table_->Where() + ": not a valid date for field " +
                            std::string(Def().name));
    }
    if (Def().type == FieldType::Date) {
        Store(IsoText(date));
    } else if (Def().type == FieldType::Str || Def().type == FieldType::Memo) {
        SetString(DisplayText(date, table_->def_.dateStyle));
    } else {
        throw BadValueError(table_->Where() + ": field " + std::string(Def().name) +
                            " does not take a date");
    }
}

void Field::SetTime(const TimeOfDay& time) {
    auto lock = table_->conn_.Lock();
    if (!time.Valid()) {
        throw BadValueError(table_->Where() + ": not a valid time for field " +
                            std::string(Def().name));
    }
    if (Def().type == FieldType::Time) {
        Store(IsoText(time));
    } else if (Def().type == FieldType::Str || Def().type == FieldType::Memo) {
        SetString(DisplayText(time, table_->def_.dateStyle));
    } else {
        throw BadValueError(table_->Where() + ": field " + std::string(Def().name) +
                            " does not take a time");
    }
}

void Field::Clear() {
    auto lock = table_->conn_.Lock();
    if (Def().type == FieldType::AutoInc) {
        throw StoreError(table_->Where() + ": field " + std::string(Def().name) +
                         " is assigned by the database and cannot be modified");
    }
    Store(std::monostate{});
}

// ---- Table ----

Table::Table(Connection& connection, const TableDef& def, std::string objectName)
    : conn_(connection),
      def_(def),
      objectName_(std::move(objectName)),
      index_(def.defaultIndex.empty() ? nullptr : def.Index(def.defaultIndex)) {}

Table::~Table() {
    auto lock = conn_.Lock();
    fetch_.reset();
    insert_.reset();
}

std::string Table::Where() const {
    return conn_.Where(def_.name);
}

void Table::RequireActive() const {
    if (!active_) {
        throw StoreError(Where() + ": the table is not open");
    }
}

void Table::RequireBrowse() const {
    RequireActive();
    if (state_ != TableState::Browse) {
        throw StoreError(Where() + ": the table is in " + StateName(state_) +
                         " state; post or cancel the pending record first");
    }
}

void Table::RequireEditing() const {
    if (state_ != TableState::Edit && state_ != TableState::Insert) {
        throw StoreError(Where() + ": the table is not in edit or insert state");
    }
}

void Table::Open() {
    auto lock = conn_.Lock();
    if (active_) {
        return;
    }
    const std::string columns = ColumnList(def_);
    std::string placeholders;
    for (std::size_t i = 0; i < def_.fields.size(); ++i) {
        placeholders += i == 0 ? "?" : ", ?";
    }
    try {
        fetch_ = std::make_unique<SQLite::Statement>(
            conn_.Db(), "SELECT " + columns + " FROM " + QuoteName(def_.name) + " WHERE rowid = ?");
        if (!conn_.ReadOnly()) {
            insert_ = std::make_unique<SQLite::Statement>(
                conn_.Db(), "INSERT INTO " + QuoteName(def_.name) + " (" + columns + ") VALUES (" +
                                placeholders + ")");
        }
    } catch (const SQLite::Exception& error) {
        fetch_.reset();
        insert_.reset();
        throw EngineError(Where(), error);
    }
    active_ = true;
    state_ = TableState::Browse;
    Invalidate();
    currentRowId_.reset();
    current_.clear();
    atFirst_ = true;
}

void Table::Close() {
    auto lock = conn_.Lock();
    fetch_.reset();
    insert_.reset();
    active_ = false;
    state_ = TableState::Inactive;
    Invalidate();
    keyset_.clear();
    keyset_.shrink_to_fit();
    currentRowId_.reset();
    current_.clear();
    buffer_.clear();
    bof_ = eof_ = true;
}

void Table::Invalidate() {
    keysetValid_ = false;
}

void Table::BuildKeyset() {
    std::string sql = "SELECT rowid FROM " + QuoteName(def_.name);
    if (filtered_ && !selection_.where.empty()) {
        sql += " WHERE " + selection_.where;
    }
    sql += " ORDER BY " + OrderBySql(index_);
    try {
        SQLite::Statement query(conn_.Db(), sql);
        BindParams(query, selection_.params, 1);
        keyset_.clear();
        while (query.executeStep()) {
            keyset_.push_back(query.getColumn(0).getInt64());
        }
    } catch (const SQLite::Exception& error) {
        throw EngineError(Where(), error);
    }
    keysetValid_ = true;
}

bool Table::LoadRow(int64_t rowid) {
    try {
        fetch_->reset();
        fetch_->clearBindings();
        fetch_->bind(1, rowid);
        if (!fetch_->executeStep()) {
            fetch_->reset();
            return false;
        }
        current_.resize(def_.fields.size());
        for (std::size_t i = 0; i < def_.fields.size(); ++i) {
            current_[i] = ReadColumn(fetch_->getColumn(static_cast<int>(i)));
        }
        fetch_->reset();  // never keep a read transaction open between calls
    } catch (const SQLite::Exception& error) {
        fetch_->tryReset();
        throw EngineError(Where(), error);
    }
    currentRowId_ = rowid;
    return true;
}

// Makes keyset_[pos] current; a row that another object deleted meanwhile drops out of the
// keyset and the next one takes its place.
bool Table::GoTo(std::size_t pos) {
    while (pos < keyset_.size()) {
        if (LoadRow(keyset_[pos])) {
            pos_ = pos;
            return true;
        }
        keyset_.erase(keyset_.begin() + static_cast<std::ptrdiff_t>(pos));
    }
    if (!keyset_.empty()) {
        return GoTo(keyset_.size() - 1);
    }
    currentRowId_.reset();
    current_.clear();
    pos_ = 0;
    return false;
}

void Table::EnsurePosition() {
    if (keysetValid_ && !atFirst_) {
        return;
    }
    const std::size_t oldPos = pos_;
    BuildKeyset();
    if (atFirst_) {
        atFirst_ = false;
        bof_ = true;
        eof_ = keyset_.empty();
        GoTo(0);
        return;
    }
    if (currentRowId_) {
        const auto found = std::find(keyset_.begin(), keyset_.end(), *currentRowId_);
        if (found != keyset_.end()) {
            pos_ = static_cast<std::size_t>(found - keyset_.begin());
            return;
        }
    }
    // The current record left the selection: its neighbour in the old position takes over.
    if (!GoTo(std::min(oldPos, keyset_.empty() ? 0 : keyset_.size() - 1))) {
        bof_ = eof_ = true;
    }
}

const std::vector<StoredValue>& Table::Values() const {
    if (state_ == TableState::Edit || state_ == TableState::Insert) {
        return buffer_;
    }
    if (active_ && (atFirst_ || !currentRowId_)) {
        const_cast<Table*>(this)->EnsurePosition();
    }
    return current_;
}

void Table::First() {
    auto lock = conn_.Lock();
    RequireBrowse();
    atFirst_ = true;
    EnsurePosition();
}

void Table::Last() {
    auto lock = conn_.Lock();
    RequireBrowse();
    EnsurePosition();
    eof_ = true;
    bof_ = keyset_.empty();
    if (!keyset_.empty()) {
        GoTo(keyset_.size() - 1);
    }
}

void Table::Next() {
    auto lock = conn_.Lock();
    RequireBrowse();
    EnsurePosition();
    if (!currentRowId_ || pos_ + 1 >= keyset_.size()) {
        eof_ = true;
        return;
    }
    bof_ = false;
    if (!GoTo(pos_ + 1)) {
        eof_ = true;
    }
}

void Table::Prior() {
    auto lock = conn_.Lock();
    RequireBrowse();
    EnsurePosition();
    if (!currentRowId_ || pos_ == 0) {
        bof_ = true;
        return;
    }
    eof_ = false;
    GoTo(pos_ - 1);
}

int64_t Table::MoveBy(int64_t distance) {
    auto lock = conn_.Lock();
    RequireBrowse();
    EnsurePosition();
    if (!currentRowId_ || distance == 0) {
        return 0;
    }
    const int64_t from = static_cast<int64_t>(pos_);
    const int64_t last = static_cast<int64_t>(keyset_.size()) - 1;
    int64_t to = from + distance;
    bof_ = eof_ = false;
    if (to > last) {
        to = last;
        eof_ = true;
    } else if (to < 0) {
        to = 0;
        bof_ = true;
    }
    GoTo(static_cast<std::size_t>(to));
    return static_cast<int64_t>(pos_) - from;
}

bool Table::Eof() {
    auto lock = conn_.Lock();
    if (!active_) {
        return true;
    }
    if (state_ == TableState::Browse) {
        EnsurePosition();
    }
    return eof_ || !currentRowId_;
}

bool Table::Bof() {
    auto lock = conn_.Lock();
    if (!active_) {
        return true;
    }
    if (state_ == TableState::Browse) {
        EnsurePosition();
    }
    return bof_ || !currentRowId_;
}

int64_t Table::RecNo() {
    auto lock = conn_.Lock();
    RequireActive();
    if (state_ == TableState::Browse) {
        EnsurePosition();
    }
    return currentRowId_ ? static_cast<int64_t>(pos_) + 1 : 0;
}

int64_t Table::RecordCount() {
    auto lock = conn_.Lock();
    RequireActive();
    if (keysetValid_) {
        return static_cast<int64_t>(keyset_.size());
    }
    std::string sql = "SELECT count(*) FROM " + QuoteName(def_.name);
    if (filtered_ && !selection_.where.empty()) {
        sql += " WHERE " + selection_.where;
    }
    try {
        SQLite::Statement query(conn_.Db(), sql);
        BindParams(query, selection_.params, 1);
        query.executeStep();
        return query.getColumn(0).getInt64();
    } catch (const SQLite::Exception& error) {
        throw EngineError(Where(), error);
    }
}

void Table::Append() {
    auto lock = conn_.Lock();
    RequireBrowse();
    if (insert_ == nullptr) {
        throw StoreError(Where() + ": the database is open read-only");
    }
    buffer_.assign(def_.fields.size(), std::monostate{});
    changed_.assign(def_.fields.size(), false);
    state_ = TableState::Insert;
}

void Table::Edit() {
    auto lock = conn_.Lock();
    RequireBrowse();
    if (atFirst_ || !currentRowId_) {
        EnsurePosition();
    }
    if (!currentRowId_) {
        throw StoreError(Where() + ": there is no record to edit");
    }
    buffer_ = current_;
    changed_.assign(def_.fields.size(), false);
    state_ = TableState::Edit;
}

void Table::Post() {
    auto lock = conn_.Lock();
    RequireActive();
    RequireEditing();
    try {
        if (state_ == TableState::Insert) {
            insert_->reset();
            insert_->clearBindings();
            for (std::size_t i = 0; i < buffer_.size(); ++i) {
                Bind(*insert_, static_cast<int>(i) + 1, buffer_[i]);
            }
            insert_->exec();
            insert_->reset();
            const int64_t rowid = conn_.Db().getLastInsertRowid();
            if (const FieldDef* autoInc = def_.AutoIncField()) {
                buffer_[static_cast<std::size_t>(def_.FieldIndex(autoInc->name))] = rowid;
            }
            current_ = std::move(buffer_);
            currentRowId_ = rowid;
            atFirst_ = false;
            bof_ = eof_ = false;
            Invalidate();
        } else {
            std::string assignments;
            std::vector<std::size_t> columns;
            for (std::size_t i = 0; i < buffer_.size(); ++i) {
                if (changed_[i]) {
                    assignments += assignments.empty() ? "" : ", ";
                    assignments += QuoteName(def_.fields[i].name) + " = ?";
                    columns.push_back(i);
                }
            }
            if (!columns.empty()) {
                SQLite::Statement update(conn_.Db(), "UPDATE " + QuoteName(def_.name) + " SET " +
                                                         assignments + " WHERE rowid = ?");
                int index = 1;
                for (std::size_t i : columns) {
                    Bind(update, index++, buffer_[i]);
                }
                update.bind(index, *currentRowId_);
                update.exec();
                Invalidate();  // the record may have moved in the current order
            }
            current_ = std::move(buffer_);
        }
    } catch (const SQLite::Exception& error) {
        if (insert_) {
            insert_->tryReset();
        }
        throw EngineError(Where(), error);
    }
    buffer_.clear();
    state_ = TableState::Browse;
}

void Table::Cancel() {
    auto lock = conn_.Lock();
    if (state_ == TableState::Edit || state_ == TableState::Insert) {
        buffer_.clear();
        state_ = TableState::Browse;
    }
}

void Table::Delete() {
    auto lock = conn_.Lock();
    RequireBrowse();
    if (atFirst_ || !currentRowId_) {
        EnsurePosition();
    }
    if (!currentRowId_) {
        throw StoreError(Where() + ": there is no record to delete");
    }
    // The record the caller sees is the one deleted, even when it has left the selection.
    const int64_t doomed = *currentRowId_;
    EnsurePosition();
    try {
        SQLite::Statement erase(conn_.Db(),
                                "DELETE FROM " + QuoteName(def_.name) + " WHERE rowid = ?");
        erase.bind(1, doomed);
        erase.exec();
    } catch (const SQLite::Exception& error) {
        throw EngineError(Where(), error);
    }
    if (!currentRowId_ || *currentRowId_ != doomed) {
        return;  // it was not in the selection; the cursor already stands on a neighbour
    }
    keyset_.erase(keyset_.begin() + static_cast<std::ptrdiff_t>(pos_));
    if (pos_ < keyset_.size()) {
        GoTo(pos_);
    } else if (!keyset_.empty()) {
        GoTo(keyset_.size() - 1);
        eof_ = true;
    } else {
        currentRowId_.reset();
        current_.clear();
        bof_ = eof_ = true;
    }
}

Field Table::FieldByName(std::string_view name) {
    const int index = def_.FieldIndex(name);
    if (index < 0) {
        throw StoreError(Where() + ": no field " + std::string(name));
    }
    return Field(*this, index);
}

void Table::SelectIndex(std::string_view name) {
    auto lock = conn_.Lock();
    if (active_) {
        RequireBrowse();
    }
    const IndexDef* index = nullptr;
    if (!name.empty()) {
        index = def_.Index(name);
        if (index == nullptr) {
            throw StoreError(Where() + ": no index " + std::string(name));
        }
    }
    if (index != index_) {
        index_ = index;
        Invalidate();
    }
}

std::string_view Table::IndexName() const {
    return index_ == nullptr ? "" : index_->name;
}

void Table::SetSelection(const Selection& selection) {
    auto lock = conn_.Lock();
    if (active_) {
        RequireBrowse();
    }
    Selection::Sql sql = selection.ToSql(def_);  // throws before anything changes
    selection_ = std::move(sql);
    filtered_ = true;
    Invalidate();
    atFirst_ = true;
}

void Table::ClearSelection() {
    auto lock = conn_.Lock();
    if (active_) {
        RequireBrowse();
    }
    if (filtered_) {
        filtered_ = false;
        selection_ = {};
        Invalidate();
        atFirst_ = true;
    }
}

bool Table::FindKey(const std::vector<FieldValue>& key) {
    auto lock = conn_.Lock();
    RequireBrowse();
    std::vector<std::string_view> fields;
    if (index_ != nullptr) {
        fields = index_->fields;
    } else if (const FieldDef* autoInc = def_.AutoIncField()) {
        fields = {autoInc->name};
    }
    if (key.empty() || key.size() > fields.size()) {
        throw StoreError(Where() + ": the key does not match the current index");
    }
    std::string where = filtered_ && !selection_.where.empty() ? selection_.where : "";
    for (std::size_t i = 0; i < key.size(); ++i) {
        const FieldDef& field = *def_.Field(fields[i]);
        if (!FitsSelectionValue(field, key[i])) {
            throw BadValueError(Where() + ": the key value for " + std::string(field.name) +
                                " is not of its type");
        }
        where += where.empty() ? "" : " AND ";
        where += QuoteName(field.name) + " = ?";
    }
    std::optional<int64_t> found;
    try {
        SQLite::Statement query(conn_.Db(), "SELECT rowid FROM " + QuoteName(def_.name) +
                                                " WHERE " + where + " ORDER BY " +
                                                OrderBySql(index_) + " LIMIT 1");
        int next = 1;
        if (filtered_) {
            BindParams(query, selection_.params, next);
            next += static_cast<int>(selection_.params.size());
        }
        BindParams(query, key, next);
        if (query.executeStep()) {
            found = query.getColumn(0).getInt64();
        }
    } catch (const SQLite::Exception& error) {
        throw EngineError(Where(), error);
    }
    if (!found || !LoadRow(*found)) {
        return false;
    }
    atFirst_ = false;
    bof_ = eof_ = false;
    if (keysetValid_) {
        const auto at = std::find(keyset_.begin(), keyset_.end(), *found);
        if (at != keyset_.end()) {
            pos_ = static_cast<std::size_t>(at - keyset_.begin());
        } else {
            Invalidate();
        }
    }
    return true;
}

void Table::Refresh() {
    auto lock = conn_.Lock();
    RequireBrowse();
    Invalidate();
    EnsurePosition();
    if (currentRowId_) {
        GoTo(pos_);
    }
}

std::optional<int64_t> Table::CurrentRowId() {
    auto lock = conn_.Lock();
    if (active_ && state_ == TableState::Browse) {
        EnsurePosition();
    }
    return currentRowId_;
}

}  // namespace miradel
