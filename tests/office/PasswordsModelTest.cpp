// The passwords window's rules: the grid over the operator table, edits pending until saved or
// dropped, the checks that keep every password unique, and the store behind it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/Login.h"
#include "app/PasswordsModel.h"
#include "common/Clock.h"
#include "store/TDMInfo.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

using C = PasswordsModel::Column;

// The operator table in memory; `fail` makes the next write refuse with its text.
class FakeRows final : public PasswordRows {
  public:
    std::optional<std::string> List(std::vector<PasswordRow>& out) override {
        out = rows;
        return listError;
    }
    std::optional<std::string> Insert(PasswordRow& row) override {
        if (auto error = TakeFailure()) {
            return error;
        }
        row.id = nextId++;
        rows.push_back(row);
        ++writes;
        return std::nullopt;
    }
    std::optional<std::string> Update(int64_t id, const PasswordRow& row) override {
        if (auto error = TakeFailure()) {
            return error;
        }
        *Find(id) = row;
        ++writes;
        return std::nullopt;
    }
    std::optional<std::string> Delete(int64_t id) override {
        if (auto error = TakeFailure()) {
            return error;
        }
        rows.erase(Find(id));
        ++writes;
        return std::nullopt;
    }
    void Close() override { closed = true; }

    std::vector<PasswordRow>::iterator Find(int64_t id) {
        return std::find_if(rows.begin(), rows.end(), [id](auto& r) { return r.id == id; });
    }
    std::optional<std::string> TakeFailure() { return std::exchange(fail, std::nullopt); }

    std::vector<PasswordRow> rows{{"alpha", 1, 0, "Петрова", 10}, {"beta", 2, 5, "Сидоров", 11}};
    std::optional<std::string> listError;
    std::optional<std::string> fail;
    int64_t nextId = 100;
    int writes = 0;
    bool closed = false;
};

std::vector<std::string> RowTexts(const PasswordsModel& model, int row) {
    std::vector<std::string> texts;
    for (int c = 0; c < C::kColumnCount; ++c) {
        texts.push_back(model.Cell(row, c));
    }
    return texts;
}

void Type(PasswordsModel& model, int row, const std::vector<std::string>& cells) {
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
        EXPECT_FALSE(model.EditCell(row, c, cells[static_cast<std::size_t>(c)]));
    }
}

struct PasswordsModelTest : ::testing::Test {
    FakeRows rows;
};

TEST_F(PasswordsModelTest, ShowsTheRowsUnderTheirCaptions) {
    PasswordsModel model(rows);
    EXPECT_FALSE(model.OpenError());
    EXPECT_EQ(PasswordsModel::ColumnCaption(C::kNumberColumn), "Номер оператора");
    EXPECT_EQ(PasswordsModel::ColumnCaption(C::kTypeColumn), "Тип ");
    EXPECT_EQ(PasswordsModel::ColumnCaption(C::kPasswordColumn), "Паспорт");
    EXPECT_EQ(PasswordsModel::ColumnCaption(C::kNameColumn), "Имя Оператора");
    EXPECT_EQ(PasswordsModel::ColumnCaption(4), "");
    ASSERT_EQ(model.RowCount(), 2);
    EXPECT_EQ(RowTexts(model, 1), (std::vector<std::string>{"2", "5", "beta", "Сидоров"}));
    EXPECT_EQ(model.CurrentRow(), 0);
    EXPECT_TRUE(model.CanAdd() && model.CanDelete());
    EXPECT_FALSE(model.CanSave() || model.CanCancel());
}

TEST_F(PasswordsModelTest, UnreadableTableTellsWhyAndTakesNoInput) {
    rows.listError = "Таблица паролей недоступна!\nAPPD.sqlite: no such table";
    PasswordsModel model(rows);
    ASSERT_TRUE(model.OpenError());
    EXPECT_EQ(model.OpenError()->caption, "Setup Password");
    EXPECT_EQ(model.OpenError()->text, *rows.listError);
    EXPECT_EQ(model.RowCount(), 0);
    EXPECT_EQ(model.CurrentRow(), -1);
    EXPECT_FALSE(model.CanAdd() || model.CanDelete());
    EXPECT_FALSE(model.Add());
    EXPECT_FALSE(model.EditCell(0, 0, "1"));
    EXPECT_FALSE(model.Delete());
    EXPECT_FALSE(model.Editing());
    EXPECT_EQ(rows.writes, 0);
}

TEST_F(PasswordsModelTest, AddedRowIsWrittenOnSave) {
    PasswordsModel model(rows);
    EXPECT_FALSE(model.Add());
    EXPECT_EQ(model.RowCount(), 3);
    EXPECT_EQ(model.CurrentRow(), 2);
    EXPECT_TRUE(model.CanSave() && model.CanCancel());
    EXPECT_EQ(RowTexts(model, 2), (std::vector<std::string>(4, "")));
    Type(model, 2, {" 007 ", "0", "Гамма", "Кузнецова"});
    EXPECT_EQ(rows.writes, 0);  // pending until saved
    EXPECT_FALSE(model.Save());
    ASSERT_EQ(rows.rows.size(), 3u);
    EXPECT_EQ(rows.rows[2].number, 7);
    EXPECT_EQ(rows.rows[2].password, "Гамма");
    EXPECT_EQ(rows.rows[2].id, 100);
    EXPECT_FALSE(model.Editing());
    EXPECT_EQ(RowTexts(model, 2), (std::vector<std::string>{"7", "0", "Гамма", "Кузнецова"}));

    // The saved row is the table's: editing it now updates that row.
    EXPECT_FALSE(model.EditCell(2, C::kTypeColumn, "3"));
    EXPECT_FALSE(model.Save());
    EXPECT_EQ(rows.rows.size(), 3u);
    EXPECT_EQ(rows.rows[2].type, 3);
}

struct Case {
    const char* what;
    std::vector<std::string> cells;  // number, type, password, name
    const char* refusal;             // nullptr: saved
};

TEST_F(PasswordsModelTest, SaveChecksEveryField) {
    const std::string cyrillic20 = "ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ";  // 40 bytes, 20 characters
    const Case cases[] = {
        {"lowest number", {"0", "0", "p1", ""}, nullptr},
        {"highest number", {"32767", "-5", "p1", ""}, nullptr},
        {"20 letters of Cyrillic", {"1", "1", cyrillic20, std::string(40, 'n')}, nullptr},
        {"empty number", {"", "0", "p1", ""}, "Номер оператора"},
        {"number not a number", {"1a", "0", "p1", ""}, "Номер оператора"},
        {"negative number", {"-1", "0", "p1", ""}, "Номер оператора"},
        {"number too big", {"32768", "0", "p1", ""}, "Номер оператора"},
        {"fraction", {"1.5", "0", "p1", ""}, "Номер оператора"},
        {"empty type", {"1", "", "p1", ""}, "Тип оператора"},
        {"type beyond the field", {"1", "2147483648", "p1", ""}, "Тип оператора"},
        {"empty password", {"1", "0", "", ""}, "Пароль не может быть пустым"},
        {"21 characters", {"1", "0", cyrillic20 + "Ж", ""}, "длиннее 20"},
        {"control character", {"1", "0", "ab\tc", ""}, "недопустимые"},
        {"another row's password", {"1", "0", "beta", ""}, "Такой пароль уже есть"},
        {"service password",
         {"1", "0", std::string(kServicePassword), ""},
         "Такой пароль уже есть"},
        {"name too long", {"1", "0", "p1", std::string(41, 'n')}, "длиннее 40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeRows fresh;
        PasswordsModel model(fresh);
        model.Add();
        Type(model, 2, c.cells);
        const auto refused = model.Save();
        if (c.refusal == nullptr) {
            EXPECT_FALSE(refused);
            EXPECT_EQ(fresh.rows.size(), 3u);
            continue;
        }
        ASSERT_TRUE(refused);
        EXPECT_NE(refused->text.find(c.refusal), std::string::npos) << refused->text;
        EXPECT_EQ(refused->caption, "Setup Password");
        EXPECT_TRUE(model.Editing());  // kept for the operator to correct
        EXPECT_EQ(model.Cell(2, C::kPasswordColumn), c.cells[2]);
        EXPECT_EQ(fresh.writes, 0);
    }
}

TEST_F(PasswordsModelTest, PasswordCheckLetsARowKeepItsOwnAndComparesExactly) {
    PasswordsModel model(rows);
    EXPECT_FALSE(model.EditCell(1, C::kNameColumn, "Сидоров А."));
    EXPECT_FALSE(model.Save());  // "beta" is its own password
    EXPECT_EQ(rows.rows[1].name, "Сидоров А.");
    EXPECT_FALSE(model.EditCell(1, C::kPasswordColumn, "Alpha"));
    EXPECT_FALSE(model.Save());  // the lookup tells letter case apart, so may the passwords
    EXPECT_EQ(rows.rows[1].password, "Alpha");
}

TEST_F(PasswordsModelTest, MovingAwayPostsTheEditOrStaysWhenRefused) {
    PasswordsModel model(rows);
    EXPECT_FALSE(model.EditCell(0, C::kNameColumn, "Петрова И."));
    EXPECT_FALSE(model.SetCurrentRow(1));
    EXPECT_EQ(rows.rows[0].name, "Петрова И.");
    EXPECT_EQ(model.CurrentRow(), 1);

    // Typing into another row moves there first, and a refused post keeps the first row.
    EXPECT_FALSE(model.EditCell(1, C::kPasswordColumn, "alpha"));
    EXPECT_TRUE(model.EditCell(0, C::kNameColumn, "x"));
    EXPECT_TRUE(model.SetCurrentRow(0));
    EXPECT_EQ(model.CurrentRow(), 1);
    EXPECT_EQ(model.Cell(0, C::kNameColumn), "Петрова И.");
    EXPECT_EQ(model.Cell(1, C::kPasswordColumn), "alpha");
    model.Cancel();
    EXPECT_EQ(model.Cell(1, C::kPasswordColumn), "beta");
    EXPECT_FALSE(model.SetCurrentRow(0));
    EXPECT_EQ(rows.writes, 1);
}

TEST_F(PasswordsModelTest, AddedRowGoesOnCancelOrWhenLeftBlank) {
    PasswordsModel model(rows);
    model.SetCurrentRow(1);
    model.Add();
    EXPECT_FALSE(model.EditCell(2, C::kNameColumn, "Новый"));
    model.Cancel();
    EXPECT_EQ(model.RowCount(), 2);
    EXPECT_EQ(model.CurrentRow(), 1);

    model.Add();
    EXPECT_FALSE(model.SetCurrentRow(0));  // blank: nothing to keep, nothing to refuse
    EXPECT_EQ(model.RowCount(), 2);
    EXPECT_EQ(model.CurrentRow(), 0);

    // "Добавить" on a pending row posts it first; a refused one stays.
    model.Add();
    Type(model, 2, {"3", "1", "gamma"});
    model.Add();
    EXPECT_EQ(rows.rows.size(), 3u);
    EXPECT_EQ(model.CurrentRow(), 3);
    Type(model, 3, {"4", "1", "gamma"});
    EXPECT_TRUE(model.Add());
    EXPECT_EQ(model.RowCount(), 4);
    EXPECT_EQ(model.CurrentRow(), 3);
    EXPECT_EQ(rows.writes, 1);
}

TEST_F(PasswordsModelTest, DeleteTakesTheCurrentRowAtOnce) {
    rows.rows.push_back({"gamma", 3, 1, "", 12});
    PasswordsModel model(rows);
    model.SetCurrentRow(1);
    EXPECT_FALSE(model.EditCell(1, C::kNameColumn, "edited"));
    EXPECT_FALSE(model.Delete());  // the pending edit goes with the row
    EXPECT_FALSE(model.Editing());
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(rows.rows[1].password, "gamma");
    EXPECT_EQ(model.CurrentRow(), 1);  // the next row takes its place
    EXPECT_EQ(model.Cell(1, C::kPasswordColumn), "gamma");

    EXPECT_FALSE(model.Delete());
    EXPECT_EQ(model.CurrentRow(), 0);  // at the end: the previous one
    model.Add();
    EXPECT_FALSE(model.EditCell(1, C::kPasswordColumn, "new"));
    EXPECT_FALSE(model.Delete());  // never written: just dropped
    EXPECT_EQ(rows.writes, 2);
    EXPECT_FALSE(model.Delete());
    EXPECT_EQ(model.CurrentRow(), -1);
    EXPECT_FALSE(model.CanDelete());
    EXPECT_FALSE(model.Delete());
    EXPECT_TRUE(rows.rows.empty());
}

TEST_F(PasswordsModelTest, StoreRefusalKeepsTheEditAndTheRows) {
    PasswordsModel model(rows);
    model.Add();
    Type(model, 2, {"3", "1", "gamma"});
    rows.fail = "Ошибка записи в таблицу паролей!\ndatabase is locked";
    const auto refused = model.Save();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->text, "Ошибка записи в таблицу паролей!\ndatabase is locked");
    EXPECT_EQ(refused->icon, PromptIcon::Error);
    EXPECT_TRUE(model.Editing());
    EXPECT_EQ(model.RowCount(), 3);
    EXPECT_FALSE(model.Save());  // the operator tries again
    EXPECT_EQ(rows.rows.size(), 3u);

    EXPECT_FALSE(model.EditCell(0, C::kTypeColumn, "4"));
    rows.fail = "no";
    EXPECT_TRUE(model.SetCurrentRow(1));
    EXPECT_EQ(model.CurrentRow(), 0);
    EXPECT_EQ(rows.rows[0].type, 0);
    model.Cancel();
    rows.fail = "no";
    EXPECT_TRUE(model.Delete());
    EXPECT_EQ(model.RowCount(), 3);
    EXPECT_EQ(rows.rows.size(), 3u);
}

TEST_F(PasswordsModelTest, UnchangedEditWritesNothingEvenForARowTheChecksWouldRefuse) {
    rows.rows.push_back({"", 40000, 0, "", 12});  // left by an older program
    PasswordsModel model(rows);
    EXPECT_FALSE(model.EditCell(0, C::kPasswordColumn, "alpha"));
    EXPECT_FALSE(model.Editing());
    EXPECT_FALSE(model.EditCell(2, C::kNameColumn, "typed"));
    EXPECT_FALSE(model.EditCell(2, C::kNameColumn, ""));
    EXPECT_TRUE(model.Editing());
    EXPECT_FALSE(model.SetCurrentRow(0));
    EXPECT_EQ(rows.writes, 0);
}

TEST_F(PasswordsModelTest, ClosingDropsTheEditAndClosesTheTable) {
    PasswordsModel model(rows);
    model.Add();
    Type(model, 2, {"3", "1", "gamma"});
    model.Close();
    EXPECT_TRUE(rows.closed);
    EXPECT_EQ(model.RowCount(), 2);
    EXPECT_FALSE(model.CanAdd());
    EXPECT_FALSE(model.Add());
    EXPECT_EQ(rows.writes, 0);
}

TEST_F(PasswordsModelTest, InputOutsideTheGridIsIgnored) {
    PasswordsModel model(rows);
    for (auto [row, column] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 4}, {99, 99}}) {
        EXPECT_FALSE(model.EditCell(row, column, "9"));
        EXPECT_EQ(model.Cell(row, column), "");
    }
    EXPECT_FALSE(model.SetCurrentRow(-3));
    EXPECT_FALSE(model.SetCurrentRow(2));
    EXPECT_EQ(model.CurrentRow(), 0);
    EXPECT_FALSE(model.Editing());
    EXPECT_EQ(RowTexts(model, 0), (std::vector<std::string>{"1", "0", "alpha", "Петрова"}));
}

// The window over the office's own PASSWORD: what it saves logs in, what it deletes no longer.
TEST(StorePasswordRows, SavedRowsLogInAndDeletedOnesNoLonger) {
    testing::TempDir dir;
    VirtualClock clock{{2009, 3, 5, 10, 0, 0}};
    TDMInfo dm{dir.path(), clock, {[] { return 1; }, [] { return 1; }, [] { return 100; }}};
    StorePasswordTable login(dm);
    ScriptedPrompt prompt;
    {
        StorePasswordRows rows(dm);
        PasswordsModel model(rows);
        ASSERT_FALSE(model.OpenError());
        EXPECT_TRUE(dm.tblPassword.Active());
        model.Add();
        Type(model, 0, {"12", "5", "Киоск7", "Иванова"});
        EXPECT_FALSE(model.Save());
        model.Add();
        Type(model, 1, {"3", "0", "Admin"});
        EXPECT_FALSE(model.SetCurrentRow(0));

        // A login meanwhile closes the table; the window's next write opens it again.
        const LoginResult first = CheckPassword("Киоск7", &login, prompt);
        EXPECT_EQ(first.operatorNo, 12);
        EXPECT_EQ(first.type, 5);
        EXPECT_FALSE(model.EditCell(0, C::kPasswordColumn, "Киоск8"));
        EXPECT_FALSE(model.Save());
        EXPECT_FALSE(CheckPassword("Киоск7", &login, prompt).LoggedIn());
        EXPECT_EQ(CheckPassword("Киоск8", &login, prompt).operatorNo, 12);

        EXPECT_FALSE(model.Delete());
        EXPECT_FALSE(CheckPassword("Киоск8", &login, prompt).LoggedIn());
        EXPECT_EQ(CheckPassword("Admin", &login, prompt).type, 0);
        model.Close();
        EXPECT_FALSE(dm.tblPassword.Active());
    }
    StorePasswordRows again(dm);
    PasswordsModel reopened(again);
    ASSERT_EQ(reopened.RowCount(), 1);
    EXPECT_EQ(RowTexts(reopened, 0), (std::vector<std::string>{"3", "0", "Admin", ""}));
    EXPECT_EQ(prompt.Asked().size(), 2u);  // the two lookups of passwords gone
}

TEST(StorePasswordRows, MissingTableIsToldNotThrown) {
    testing::TempDir dir;
    VirtualClock clock{{2009, 3, 5, 10, 0, 0}};
    TDMInfo dm{dir.path(), clock, {[] { return 1; }, [] { return 1; }, [] { return 100; }}};
    {
        auto lock = dm.APPD_MAIN().Lock();
        dm.APPD_MAIN().Db().exec("DROP TABLE PASSWORD");
    }
    StorePasswordRows rows(dm);
    PasswordsModel model(rows);
    ASSERT_TRUE(model.OpenError());
    EXPECT_EQ(model.OpenError()->text.rfind("Таблица паролей недоступна!\n", 0), 0u);
    PasswordRow row{"x", 1, 0, "", 0};
    EXPECT_TRUE(rows.Insert(row));
    EXPECT_TRUE(rows.Update(1, row));
    EXPECT_TRUE(rows.Delete(1));
    model.Close();
}

}  // namespace
}  // namespace miradel
