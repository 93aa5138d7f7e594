// The passwords window offscreen: its texts, typing through the grid's own editor, the buttons
// and row moves reaching the model, refusals shown through the prompt, and closing the table.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include "app/ui/PasswordsWindow.h"
#include "support/OffscreenApp.h"

namespace miradel {
namespace {

using C = PasswordsModel::Column;

class MemoryRows final : public PasswordRows {
  public:
    std::optional<std::string> List(std::vector<PasswordRow>& out) override {
        out = rows;
        return listError;
    }
    std::optional<std::string> Insert(PasswordRow& row) override {
        row.id = static_cast<int64_t>(rows.size()) + 100;
        rows.push_back(row);
        return std::nullopt;
    }
    std::optional<std::string> Update(int64_t id, const PasswordRow& row) override {
        for (PasswordRow& r : rows) {
            if (r.id == id) {
                r = row;
            }
        }
        return std::nullopt;
    }
    std::optional<std::string> Delete(int64_t id) override {
        std::erase_if(rows, [id](const PasswordRow& r) { return r.id == id; });
        return std::nullopt;
    }
    void Close() override { ++closes; }

    std::vector<PasswordRow> rows{{"alpha", 1, 0, "Петрова", 1}, {"beta", 2, 5, "Сидоров", 2}};
    std::optional<std::string> listError;
    int closes = 0;
};

struct PasswordsWindowTest : ::testing::Test {
    PasswordsWindowTest() { testing::OffscreenApp(); }

    // Types into a cell as the operator does: the grid's editor opens, takes the text, and
    // is left open until something commits it.
    static void TypeInto(PasswordsWindow& window, int row, int column, const QString& text) {
        QTableWidget* grid = window.Grid();
        grid->setCurrentCell(row, column);
        grid->editItem(grid->item(row, column));
        auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->currentIndex()));
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        editor->insert(text);  // as typed: the window hears every key
    }

    MemoryRows rows;
    ScriptedPrompt prompt;
};

TEST_F(PasswordsWindowTest, ShowsTheTableAndSavesWhatIsTyped) {
    PasswordsWindow window(rows, prompt);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Setup Password");
    QTableWidget* grid = window.Grid();
    const QStringList captions{"Номер оператора", "Тип ", "Паспорт", "Имя Оператора"};
    for (int c = 0; c < captions.size(); ++c) {
        EXPECT_EQ(grid->horizontalHeaderItem(c)->text(), captions[c]);
    }
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(1, C::kNameColumn)->text(), "Сидоров");
    EXPECT_EQ(window.DeleteButton()->text(), "Удалить");
    EXPECT_EQ(window.AddButton()->text(), "Добавить");
    EXPECT_EQ(window.SaveButton()->text(), "Сохранить");
    EXPECT_EQ(window.CancelButton()->text(), "Отменить");
    EXPECT_FALSE(window.SaveButton()->isEnabled());

    TypeInto(window, 1, C::kNameColumn, "Сидоров А.");
    EXPECT_TRUE(window.SaveButton()->isEnabled());  // from the first key
    window.SaveButton()->click();
    EXPECT_EQ(rows.rows[1].name, "Сидоров А.");
    EXPECT_FALSE(window.SaveButton()->isEnabled());

    window.AddButton()->click();
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->currentRow(), 2);
    EXPECT_TRUE(window.SaveButton()->isEnabled() && window.CancelButton()->isEnabled());
    TypeInto(window, 2, C::kNumberColumn, "7");
    TypeInto(window, 2, C::kTypeColumn, "1");
    TypeInto(window, 2, C::kPasswordColumn, "Гамма");
    grid->setCurrentCell(0, 0);  // leaving the row posts it
    ASSERT_EQ(rows.rows.size(), 3u);
    EXPECT_EQ(rows.rows[2].password, "Гамма");
    EXPECT_EQ(rows.rows[2].number, 7);
    EXPECT_EQ(grid->currentRow(), 0);

    window.DeleteButton()->click();
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(rows.rows[0].password, "beta");
    EXPECT_TRUE(prompt.Asked().empty());

    window.reject();
    EXPECT_EQ(rows.closes, 1);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(PasswordsWindowTest, RefusedMoveTellsAndKeepsTheEditedRow) {
    PasswordsWindow window(rows, prompt);
    window.show();
    QTableWidget* grid = window.Grid();
    TypeInto(window, 1, C::kPasswordColumn, "alpha");
    grid->setCurrentCell(0, C::kPasswordColumn);
    ASSERT_EQ(prompt.Asked().size(), 1u);
    EXPECT_EQ(prompt.Asked()[0].caption, "Setup Password");
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(grid->item(1, C::kPasswordColumn)->text(), "alpha");
    EXPECT_EQ(rows.rows[1].password, "beta");
    grid->editItem(grid->item(0, C::kNameColumn));  // the refused row takes no editor
    EXPECT_EQ(grid->indexWidget(grid->model()->index(0, C::kNameColumn)), nullptr);

    TypeInto(window, 1, C::kNameColumn, "typed, then cancelled");
    window.CancelButton()->click();
    EXPECT_EQ(grid->item(1, C::kPasswordColumn)->text(), "beta");
    EXPECT_EQ(grid->item(1, C::kNameColumn)->text(), "Сидоров");
    EXPECT_EQ(grid->indexWidget(grid->currentIndex()), nullptr);
    EXPECT_FALSE(window.SaveButton()->isEnabled());
}

TEST_F(PasswordsWindowTest, UnreadableTableIsToldAndNoWindowOpens) {
    rows.listError = "Таблица паролей недоступна!\nno such table: PASSWORD";
    bool windowOpened = false;
    QTimer::singleShot(0, [&windowOpened] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            windowOpened = true;
            modal->close();
        }
    });
    ShowPasswordsWindow(rows, prompt);
    QApplication::processEvents();
    EXPECT_FALSE(windowOpened);
    ASSERT_EQ(prompt.Asked().size(), 1u);
    EXPECT_EQ(prompt.Asked()[0].text, *rows.listError);
    EXPECT_EQ(prompt.Asked()[0].icon, PromptIcon::Error);
    EXPECT_EQ(rows.closes, 1);
}

}  // namespace
}  // namespace miradel
