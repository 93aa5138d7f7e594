// The "Паспорт" dialog and the login procedure: the service password, the operator table,
// three attempts, and the shift bookkeeping in app.cfg.
#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "app/Login.h"
#include "app/config/AppConfigFields.h"
#include "store/TDMInfo.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

using namespace appcfg;

class MapTable final : public PasswordTable {
  public:
    std::optional<LoginResult> Find(std::string_view password) override {
        ++lookups;
        auto it = rows.find(std::string(password));
        if (it == rows.end()) {
            return std::nullopt;
        }
        return it->second;
    }
    std::map<std::string, LoginResult> rows;
    int lookups = 0;
};

PasswordDialog Typed(std::deque<std::optional<std::string>>& typed) {
    return [&typed]() -> std::optional<std::string> {
        if (typed.empty()) {
            return std::nullopt;
        }
        auto next = typed.front();
        typed.pop_front();
        return next;
    };
}

TEST(Login, ServicePasswordIsAnAdministratorWithoutTheTable) {
    ScriptedPrompt prompt;
    const LoginResult r = CheckPassword("qzr40316258", nullptr, prompt);
    EXPECT_EQ(r.operatorNo, 99);
    EXPECT_EQ(r.type, 0);
    EXPECT_TRUE(prompt.Asked().empty());
}

TEST(Login, ExactLookupAndUnknownPasswordTellsTheOperator) {
    ScriptedPrompt prompt;
    MapTable table;
    table.rows["Secret"] = {7, 5};
    EXPECT_EQ(CheckPassword("Secret", &table, prompt).operatorNo, 7);
    EXPECT_EQ(CheckPassword("Secret", &table, prompt).type, 5);
    EXPECT_EQ(CheckPassword("secret", &table, prompt).operatorNo, -1);
    ASSERT_EQ(prompt.Asked().size(), 1u);
    EXPECT_EQ(prompt.Asked()[0].text, "Пароль не найден!?");
    EXPECT_EQ(prompt.Asked()[0].caption, "Error password");
}

TEST(Login, EmptyPasswordNeverLogsAnyoneIn) {
    ScriptedPrompt prompt;
    MapTable table;
    table.rows[""] = {3, 0};
    EXPECT_EQ(CheckPassword("", &table, prompt).operatorNo, -1);
    EXPECT_EQ(table.lookups, 0);
}

TEST(Login, TwoWrongThenRightLogsIn) {
    ScriptedPrompt prompt;
    MapTable table;
    table.rows["abc"] = {4, 1};
    std::deque<std::optional<std::string>> typed{std::string("x"), std::nullopt,
                                                 std::string("abc")};
    int attempts = 0;
    const LoginResult r =
        RunLoginProcedure(Typed(typed), &table, prompt, [&](const LoginResult&) { ++attempts; });
    EXPECT_EQ(r.operatorNo, 4);
    EXPECT_EQ(attempts, 3);
    ASSERT_EQ(prompt.Asked().size(), 1u);  // the wrong one only; Отмена asks nothing
}

TEST(Login, ThreeFailuresEndWithPasswordUnknown) {
    ScriptedPrompt prompt;
    std::deque<std::optional<std::string>> typed{std::string("a"), std::string("b"),
                                                 std::string("c"), std::string("qzr40316258")};
    const LoginResult r = RunLoginProcedure(Typed(typed), nullptr, prompt);
    EXPECT_FALSE(r.LoggedIn());
    EXPECT_EQ(typed.size(), 1u);  // no fourth attempt
    ASSERT_EQ(prompt.Asked().size(), 4u);
    EXPECT_EQ(prompt.Asked()[3].text, "Пароль неопознан!!?");
    EXPECT_EQ(prompt.Asked()[3].caption, "Error Password");
    EXPECT_EQ(prompt.Asked()[3].icon, PromptIcon::Error);
}

TEST(Login, ShiftStartMovesOnlyForAnotherOperator) {
    AppConfig config{AppConfigData::Defaults()};
    config.Set(kNextBoothReceipt, 41);
    config.Set(kShiftStartReceipt, 10);
    config.Set(kOperatorOnDuty, int16_t{5});
    RecordShiftStart(config, 5);
    EXPECT_EQ(config.Get(kShiftStartReceipt), 10);
    RecordShiftStart(config, 99);
    EXPECT_EQ(config.Get(kShiftStartReceipt), 41);
    EXPECT_EQ(config.Get(kOperatorOnDuty), 99);
    EXPECT_TRUE(config.Dirty());
}

TEST(Login, StorePasswordTableFindsARowExactly) {
    testing::TempDir dir;
    VirtualClock clock{{2009, 3, 5, 10, 0, 0}};
    TDMInfo dm{dir.path(), clock, {[] { return 1; }, [] { return 1; }, [] { return 100; }}};
    dm.tblPassword.Open();
    dm.tblPassword.Append();
    dm.tblPassword.FieldByName("PASSWORD").SetString("Kiosk7");
    dm.tblPassword.FieldByName("NUMBER_OPERATOR").SetInteger(12);
    dm.tblPassword.FieldByName("TYPE_OPERATOR").SetInteger(5);
    dm.tblPassword.FieldByName("NAME_OPERATOR").SetString("Иванова");
    dm.tblPassword.Post();
    dm.tblPassword.Close();

    StorePasswordTable table(dm);
    ScriptedPrompt prompt;
    const LoginResult r = CheckPassword("Kiosk7", &table, prompt);
    EXPECT_EQ(r.operatorNo, 12);
    EXPECT_EQ(r.type, 5);
    EXPECT_FALSE(CheckPassword("kiosk7", &table, prompt).LoggedIn());
    EXPECT_FALSE(CheckPassword("Kiosk", &table, prompt).LoggedIn());
    EXPECT_FALSE(dm.tblPassword.Active());
}

}  // namespace
}  // namespace miradel
