#pragma once
// The passwords window ("Setup Password") without any toolkit: the operator table in a grid
// with the columns "Номер оператора", "Тип ", "Паспорт", "Имя Оператора", edited in place.
//
// As in any grid over a table, typing into a row starts an edit of that row which stays
// pending until "Сохранить" posts it or "Отменить" drops it; moving to another row (or
// "Добавить") posts the pending edit first, and stays on the edited row when that is refused.
// An added row left blank is dropped when the operator moves away from it.
// "Удалить" deletes the current row at once. Closing the window drops a pending edit and
// closes the table.
//
// The login looks a password up exactly and takes the first match, so a saved row must have a
// password of its own: not empty, not another row's, not the built-in service password.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/OperatorPrompt.h"

namespace miradel {

class TDMInfo;

inline constexpr const char* kPasswordsTitle = "Setup Password";
inline constexpr const char* kPasswordsDeleteText = "Удалить";
inline constexpr const char* kPasswordsAddText = "Добавить";
inline constexpr const char* kPasswordsSaveText = "Сохранить";
inline constexpr const char* kPasswordsCancelText = "Отменить";

// The widths and ranges of the PASSWORD fields the window checks before writing. Operator
// numbers go into app.cfg and the records as 16-bit values.
inline constexpr std::size_t kPasswordWidth = 20;
inline constexpr std::size_t kOperatorNameWidth = 40;
inline constexpr int32_t kMaxOperatorNumber = 32767;

// One row of PASSWORD. A field the table holds no value in reads as 0 or an empty text, as
// the login reads it.
struct PasswordRow {
    std::string password;
    int32_t number = 0;
    int32_t type = 0;
    std::string name;
    int64_t id = 0;  // the store's identity of the row; set by List and Insert
};

// The operator table as the window sees it. Every call returns the text to show the
// operator when it fails, nothing on success.
class PasswordRows {
  public:
    virtual ~PasswordRows() = default;
    // Every row, in the table's order of writing; opens the table.
    virtual std::optional<std::string> List(std::vector<PasswordRow>& rows) = 0;
    // Writes a new row and sets its id.
    virtual std::optional<std::string> Insert(PasswordRow& row) = 0;
    virtual std::optional<std::string> Update(int64_t id, const PasswordRow& row) = 0;
    virtual std::optional<std::string> Delete(int64_t id) = 0;
    // The window is closed: the table is closed too.
    virtual void Close() = 0;
};

// PASSWORD of the office's store. The table stays open while the window is shown; each call
// opens it again if something closed it meanwhile (the login closes it after a lookup).
class StorePasswordRows final : public PasswordRows {
  public:
    explicit StorePasswordRows(TDMInfo& dm) : dm_(dm) {}
    ~StorePasswordRows() override { Close(); }
    StorePasswordRows(const StorePasswordRows&) = delete;
    StorePasswordRows& operator=(const StorePasswordRows&) = delete;

    std::optional<std::string> List(std::vector<PasswordRow>& rows) override;
    std::optional<std::string> Insert(PasswordRow& row) override;
    std::optional<std::string> Update(int64_t id, const PasswordRow& row) override;
    std::optional<std::string> Delete(int64_t id) override;
    void Close() override;

  private:
    TDMInfo& dm_;
};

class PasswordsModel {
  public:
    enum Column { kNumberColumn, kTypeColumn, kPasswordColumn, kNameColumn, kColumnCount };

    // Reads every row; a table that cannot be read leaves the grid empty, the buttons off
    // and the reason in OpenError().
    explicit PasswordsModel(PasswordRows& rows);

    // "Номер оператора", "Тип ", "Паспорт", "Имя Оператора"; empty outside the columns.
    static std::string_view ColumnCaption(int column);

    std::optional<PromptRequest> OpenError() const { return openError_; }

    // The rows of the grid, a pending new row last; a pending edit shows as typed.
    int RowCount() const;
    std::string Cell(int row, int column) const;
    int CurrentRow() const { return current_; }  // -1: the grid is empty
    bool Editing() const { return pending_.has_value(); }

    bool CanAdd() const { return open_; }
    bool CanDelete() const { return open_ && current_ >= 0; }
    bool CanSave() const { return Editing(); }
    bool CanCancel() const { return Editing(); }

    // The operator moves to a row, posting a pending edit of another row first. Refused (the
    // message returned, the edited row stays current) when that edit cannot be saved.
    std::optional<PromptRequest> SetCurrentRow(int row);
    // The operator typed `text` into a cell: moves there as above, then the row's edit holds
    // the text. A row or column outside the grid is ignored.
    std::optional<PromptRequest> EditCell(int row, int column, std::string text);

    // "Добавить": posts a pending edit, then appends an empty row being edited.
    std::optional<PromptRequest> Add();
    // "Удалить": the current row leaves the table at once; a new row not yet saved just goes.
    std::optional<PromptRequest> Delete();
    // "Сохранить": checks and posts the pending edit; a refused one stays pending.
    std::optional<PromptRequest> Save();
    // "Отменить": drops the pending edit.
    void Cancel();
    // The window closes: a pending edit is dropped and the table closed.
    void Close();

  private:
    using Cells = std::array<std::string, kColumnCount>;
    struct Pending {
        Cells cells;
        bool isNew = false;
    };

    Cells StoredTexts(int row) const;  // as the table holds the row
    Cells Texts(int row) const;        // as the grid shows it
    // Posts the pending edit before the operator leaves the row; a blank added row goes.
    std::optional<PromptRequest> PostBeforeLeaving();
    std::optional<PromptRequest> Check(const Pending& edit, PasswordRow& row) const;
    int StoredCount() const { return static_cast<int>(stored_.size()); }

    PasswordRows& rows_;
    bool open_ = false;
    std::optional<PromptRequest> openError_;
    std::vector<PasswordRow> stored_;
    int current_ = -1;
    std::optional<Pending> pending_;  // always the current row's
};

}  // namespace miradel
