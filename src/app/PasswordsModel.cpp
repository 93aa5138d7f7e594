#include "app/PasswordsModel.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <limits>

#include "app/Login.h"
#include "common/Cp1251.h"
#include "store/TDMInfo.h"

namespace miradel {

namespace {

constexpr const char* kNumberRefused = "Номер оператора должен быть целым числом от 0 до 32767!";
constexpr const char* kTypeRefused = "Тип оператора должен быть целым числом!";
constexpr const char* kPasswordEmpty = "Пароль не может быть пустым!";
constexpr const char* kPasswordTooLong = "Пароль длиннее 20 символов!";
constexpr const char* kPasswordBadCharacters = "Пароль содержит недопустимые символы!";
constexpr const char* kPasswordTaken = "Такой пароль уже есть!\nВведите другой пароль.";
constexpr const char* kNameTooLong = "Имя оператора длиннее 40 символов!";
constexpr const char* kTableUnavailable = "Таблица паролей недоступна!";
constexpr const char* kWriteFailed = "Ошибка записи в таблицу паролей!";
constexpr const char* kRowGone = "Строка не найдена в таблице паролей.";

// The store's own words go under ours: they name the file and what the engine said.
std::string Failure(const char* ours, const std::exception& error) {
    return std::string(ours) + "\n" + error.what();
}

// The table ready for the next operation: open, and in browse state even if an earlier
// operation left a record pending.
void Ready(Table& table) {
    table.Open();
    if (table.State() != TableState::Browse) {
        table.Cancel();
    }
    if (table.Filtered()) {
        table.ClearSelection();
    }
    table.SelectIndex("");  // the order of writing: a row keeps its place when edited
}

void DropPending(Table& table) {
    try {
        if (table.Active() && table.State() != TableState::Browse) {
            table.Cancel();
        }
    } catch (const std::exception&) {
    }
}

bool GoToRow(Table& table, int64_t id) {
    for (table.First(); !table.Eof(); table.Next()) {
        if (table.CurrentRowId() == id) {
            return true;
        }
    }
    return false;
}

void Fill(Table& table, const PasswordRow& row) {
    table.FieldByName("PASSWORD").SetString(row.password);
    table.FieldByName("NUMBER_OPERATOR").SetInteger(row.number);
    table.FieldByName("TYPE_OPERATOR").SetInteger(row.type);
    table.FieldByName("NAME_OPERATOR").SetString(row.name);
}

// A whole integer, spaces around it allowed, within [low, high].
std::optional<int32_t> ParseInteger(std::string_view text, int64_t low, int64_t high) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
        value > high) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

bool HasControlCharacter(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            return true;
        }
    }
    return false;
}

PromptRequest Refusal(std::string text) {
    return {std::move(text), kPasswordsTitle, PromptButtons::Ok, PromptIcon::Warning};
}

PromptRequest StoreFailure(std::string text) {
    return {std::move(text), kPasswordsTitle, PromptButtons::Ok, PromptIcon::Error};
}

}  // namespace

std::optional<std::string> StorePasswordRows::List(std::vector<PasswordRow>& rows) {
    rows.clear();
    Table& table = dm_.tblPassword;
    try {
        Ready(table);
        for (table.First(); !table.Eof(); table.Next()) {
            PasswordRow row;
            row.password = table.FieldByName("PASSWORD").AsString();
            row.number = static_cast<int32_t>(table.FieldByName("NUMBER_OPERATOR").AsInteger());
            row.type = static_cast<int32_t>(table.FieldByName("TYPE_OPERATOR").AsInteger());
            row.name = table.FieldByName("NAME_OPERATOR").AsString();
            row.id = table.CurrentRowId().value_or(0);
            rows.push_back(std::move(row));
        }
    } catch (const std::exception& error) {
        rows.clear();
        return Failure(kTableUnavailable, error);
    }
    return std::nullopt;
}

std::optional<std::string> StorePasswordRows::Insert(PasswordRow& row) {
    Table& table = dm_.tblPassword;
    try {
        Ready(table);
        table.Append();
        Fill(table, row);
        table.Post();
        row.id = table.CurrentRowId().value_or(0);
    } catch (const std::exception& error) {
        DropPending(table);
        return Failure(kWriteFailed, error);
    }
    return std::nullopt;
}

std::optional<std::string> StorePasswordRows::Update(int64_t id, const PasswordRow& row) {
    Table& table = dm_.tblPassword;
    try {
        Ready(table);
        if (!GoToRow(table, id)) {
            return std::string(kWriteFailed) + "\n" + kRowGone;
        }
        table.Edit();
        Fill(table, row);
        table.Post();
    } catch (const std::exception& error) {
        DropPending(table);
        return Failure(kWriteFailed, error);
    }
    return std::nullopt;
}

std::optional<std::string> StorePasswordRows::Delete(int64_t id) {
    Table& table = dm_.tblPassword;
    try {
        Ready(table);
        if (GoToRow(table, id)) {
            table.Delete();
        }  // a row already gone is deleted as asked
    } catch (const std::exception& error) {
        return Failure(kWriteFailed, error);
    }
    return std::nullopt;
}

void StorePasswordRows::Close() {
    try {
        dm_.tblPassword.Close();
    } catch (const std::exception&) {
    }
}

PasswordsModel::PasswordsModel(PasswordRows& rows) : rows_(rows) {
    if (auto error = rows_.List(stored_)) {
        stored_.clear();
        openError_ = StoreFailure(std::move(*error));
        return;
    }
    open_ = true;
    current_ = stored_.empty() ? -1 : 0;
}

std::string_view PasswordsModel::ColumnCaption(int column) {
    switch (column) {
        case kNumberColumn:
            return "Номер оператора";
        case kTypeColumn:
            return "Тип ";
        case kPasswordColumn:
            return "Паспорт";
        case kNameColumn:
            return "Имя Оператора";
        default:
            return {};
    }
}

int PasswordsModel::RowCount() const {
    return StoredCount() + (pending_ && pending_->isNew ? 1 : 0);
}

PasswordsModel::Cells PasswordsModel::StoredTexts(int row) const {
    if (row < 0 || row >= StoredCount()) {
        return {};
    }
    const PasswordRow& r = stored_[static_cast<std::size_t>(row)];
    return {std::to_string(r.number), std::to_string(r.type), r.password, r.name};
}

PasswordsModel::Cells PasswordsModel::Texts(int row) const {
    return pending_ && row == current_ ? pending_->cells : StoredTexts(row);
}

std::string PasswordsModel::Cell(int row, int column) const {
    if (column < 0 || column >= kColumnCount) {
        return {};
    }
    return Texts(row)[static_cast<std::size_t>(column)];
}

std::optional<PromptRequest> PasswordsModel::SetCurrentRow(int row) {
    if (row < 0 || row >= RowCount() || row == current_) {
        return std::nullopt;
    }
    if (auto refused = PostBeforeLeaving()) {
        return refused;
    }
    // Saving a new row does not move it, so the row asked for is still the same one.
    current_ = row;
    return std::nullopt;
}

std::optional<PromptRequest> PasswordsModel::EditCell(int row, int column, std::string text) {
    if (!open_ || row < 0 || row >= RowCount() || column < 0 || column >= kColumnCount) {
        return std::nullopt;
    }
    if (auto refused = SetCurrentRow(row)) {
        return refused;
    }
    const auto index = static_cast<std::size_t>(column);
    if (!pending_) {
        if (Texts(row)[index] == text) {
            return std::nullopt;  // nothing changed: no edit to post
        }
        pending_ = Pending{Texts(row), false};
    }
    pending_->cells[index] = std::move(text);
    return std::nullopt;
}

std::optional<PromptRequest> PasswordsModel::Add() {
    if (!open_) {
        return std::nullopt;
    }
    if (auto refused = PostBeforeLeaving()) {
        return refused;
    }
    pending_ = Pending{{}, true};
    current_ = StoredCount();
    return std::nullopt;
}

std::optional<PromptRequest> PasswordsModel::Delete() {
    if (!CanDelete()) {
        return std::nullopt;
    }
    if (pending_ && pending_->isNew) {
        Cancel();
        return std::nullopt;
    }
    const auto index = static_cast<std::size_t>(current_);
    if (auto error = rows_.Delete(stored_[index].id)) {
        return StoreFailure(std::move(*error));
    }
    pending_.reset();
    stored_.erase(stored_.begin() + current_);
    // The next row takes its place; at the end the previous one.
    current_ = std::min(current_, StoredCount() - 1);
    return std::nullopt;
}

std::optional<PromptRequest> PasswordsModel::Check(const Pending& edit, PasswordRow& row) const {
    const Cells& cells = edit.cells;
    const auto number = ParseInteger(cells[kNumberColumn], 0, kMaxOperatorNumber);
    if (!number) {
        return Refusal(kNumberRefused);
    }
    const auto type = ParseInteger(cells[kTypeColumn], std::numeric_limits<int32_t>::min(),
                                   std::numeric_limits<int32_t>::max());
    if (!type) {
        return Refusal(kTypeRefused);
    }
    const std::string& password = cells[kPasswordColumn];
    if (password.empty()) {
        return Refusal(kPasswordEmpty);
    }
    if (Utf8Length(password) > kPasswordWidth) {
        return Refusal(kPasswordTooLong);
    }
    if (HasControlCharacter(password)) {
        return Refusal(kPasswordBadCharacters);
    }
    // The service password would never reach the table; telling it apart would give it away.
    bool taken = password == kServicePassword;
    for (int r = 0; r < StoredCount() && !taken; ++r) {
        taken = (edit.isNew || r != current_) &&
                stored_[static_cast<std::size_t>(r)].password == password;
    }
    if (taken) {
        return Refusal(kPasswordTaken);
    }
    if (Utf8Length(cells[kNameColumn]) > kOperatorNameWidth) {
        return Refusal(kNameTooLong);
    }
    row.password = password;
    row.number = *number;
    row.type = *type;
    row.name = cells[kNameColumn];
    return std::nullopt;
}

std::optional<PromptRequest> PasswordsModel::Save() {
    if (!pending_ || !open_) {
        return std::nullopt;
    }
    // An edit typed back to what the row holds writes nothing, and a row the table already
    // held in a form the window would refuse can still be left.
    if (!pending_->isNew && pending_->cells == StoredTexts(current_)) {
        pending_.reset();
        return std::nullopt;
    }
    PasswordRow row;
    if (auto refused = Check(*pending_, row)) {
        return refused;
    }
    if (pending_->isNew) {
        if (auto error = rows_.Insert(row)) {
            return StoreFailure(std::move(*error));
        }
        stored_.push_back(std::move(row));
    } else {
        PasswordRow& old = stored_[static_cast<std::size_t>(current_)];
        row.id = old.id;
        if (auto error = rows_.Update(row.id, row)) {
            return StoreFailure(std::move(*error));
        }
        old = std::move(row);
    }
    pending_.reset();
    return std::nullopt;
}

std::optional<PromptRequest> PasswordsModel::PostBeforeLeaving() {
    if (pending_ && pending_->isNew && pending_->cells == Cells{}) {
        Cancel();  // an added row left blank holds nothing to keep
        return std::nullopt;
    }
    return Save();
}

void PasswordsModel::Cancel() {
    if (!pending_) {
        return;
    }
    const bool wasNew = pending_->isNew;
    pending_.reset();
    if (wasNew) {
        current_ = StoredCount() - 1;  // back to the row above it
    }
}

void PasswordsModel::Close() {
    pending_.reset();
    current_ = std::min(current_, StoredCount() - 1);
    open_ = false;
    rows_.Close();
}

}  // namespace miradel
