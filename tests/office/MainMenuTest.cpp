// The main window's guards and the booth commands, without any window.
#include <gtest/gtest.h>

#include "app/BoothCommands.h"
#include "app/MainMenu.h"
#include "app/config/AppConfigFields.h"
#include "booths/BoothKinds.h"

namespace miradel {
namespace {

GuardFacts Idle(bool administrator, bool autonomous) {
    GuardFacts f;
    f.administrator = administrator;
    f.autonomous = autonomous;
    for (int i = 0; i < 16; ++i) {
        f.booths[i].kind = kKindAvtomat;
        f.booths[i].state = 1;
        f.booths[i].boothNumber = int16_t(i + 1);
    }
    return f;
}

std::string RefusalOf(MenuCommand command, const GuardFacts& facts, int panel = 0) {
    auto refusal = CheckGuards(EntryOf(command, panel), facts);
    return refusal ? refusal->caption + ": " + refusal->text : "";
}

TEST(MainMenuGuards, TableOfRefusals) {
    GuardFacts operatorIdle = Idle(false, false);
    GuardFacts adminIdle = Idle(true, false);
    GuardFacts adminActive = Idle(true, false);
    adminActive.booths[3].state = 4;
    GuardFacts aroundActive = Idle(true, true);
    aroundActive.booths[8].kind = kKindAround;
    aroundActive.booths[8].state = 3;

    struct Case {
        MenuCommand command;
        const GuardFacts& facts;
        int panel;
        std::string refusal;
    } cases[] = {
        {MenuCommand::kMainOptions, operatorIdle, 0,
         "Error Access: Права доступа не администратора!"},
        {MenuCommand::kMainOptions, adminIdle, 0, ""},
        // Autonomous mode is asked before the rights, even of an administrator.
        {MenuCommand::kComPort, adminIdle, 0,
         "Error Avtonom: Требуется перевести программу в режим АВТОНОМ"},
        {MenuCommand::kComPort, operatorIdle, 0,
         "Error Avtonom: Требуется перевести программу в режим АВТОНОМ"},
        {MenuCommand::kRepairTables, adminIdle, 0,
         "Error Avtonom: Перевести программу в режим АВТОНОМ"},
        {MenuCommand::kReindex, operatorIdle, 0, "Error Access: Права доступа не администратора!"},
        {MenuCommand::kBoothSettings, adminActive, 3, "Error Access: Кабина активна!"},
        {MenuCommand::kBoothSettings, adminActive, 4, ""},
        {MenuCommand::kShift, adminActive, 0, "Error Close: Одна из кабин активна!"},
        {MenuCommand::kCollection, operatorIdle, 0, ""},
        // A busy dial-around booth does not stop a shift change, but does stop the purge.
        {MenuCommand::kShift, aroundActive, 0, ""},
        {MenuCommand::kPurgeCalls, aroundActive, 0, "Error Close: Одна из кабин активна!"},
        {MenuCommand::kPurgeCalls, operatorIdle, 0,
         "Error Access: Права доступа не администратора!"},
        {MenuCommand::kKassa, operatorIdle, 0, ""},
        {MenuCommand::kXReport, operatorIdle, 0, ""},
        {MenuCommand::kCallReport, operatorIdle, 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RefusalOf(c.command, c.facts, c.panel), c.refusal)
            << EntryOf(c.command, c.panel).caption;
    }
}

TEST(MainMenuGuards, OperatorReachesNoAdministratorItem) {
    const GuardFacts facts = Idle(false, true);
    for (const MenuEntry& entry : MainMenuEntries()) {
        const bool adminOnly = std::find(entry.guards.begin(), entry.guards.end(),
                                         Guard::kAdministrator) != entry.guards.end();
        EXPECT_EQ(CheckGuards(entry, facts).has_value(), adminOnly) << entry.caption;
    }
}

TEST(MainMenuSetup, OptionsShowAndEnableItems) {
    AppConfig config{AppConfigData::Defaults()};
    config.Set(appcfg::kReceiptDevice, 2);
    config.Set(appcfg::kPayments, true);
    config.Set(appcfg::kOrderIntake, true);
    config.Set(appcfg::kOrderSettlement, false);
    config.Set(appcfg::kRemoteAround, true);
    const MenuSetup setup = MenuSetupFor(config, false);
    EXPECT_TRUE(EntryVisible(EntryOf(MenuCommand::kZReport), setup));
    EXPECT_FALSE(EntryVisible(EntryOf(MenuCommand::kRestoreLink), setup));
    EXPECT_TRUE(MenuVisible("Платежи", setup));
    EXPECT_FALSE(MenuEnabled("Заказ", setup));
    EXPECT_FALSE(MenuEnabled("Обзвон", setup));
    EXPECT_FALSE(ToolButtonEnabled(MenuCommand::kAroundStartStop, setup));
    EXPECT_TRUE(ToolButtonEnabled(MenuCommand::kOpenDrawer, setup));
    EXPECT_FALSE(EntryEnabled(EntryOf(MenuCommand::kResetLcdUnit), setup));

    config.Set(appcfg::kReceiptDevice, 0);  // a plain printer: no payments, no fiscal menu
    const MenuSetup printer = MenuSetupFor(config, true);
    EXPECT_FALSE(MenuVisible("Платежи", printer));
    EXPECT_FALSE(EntryVisible(EntryOf(MenuCommand::kXReport), printer));
    EXPECT_FALSE(ToolButtonEnabled(MenuCommand::kOpenDrawer, printer));
    EXPECT_TRUE(EntryEnabled(EntryOf(MenuCommand::kResetLcdUnit), printer));
    EXPECT_EQ(MainWindowHelpTopic(true), 600);
    EXPECT_EQ(MainWindowHelpTopic(false), 100);
}

TEST(BoothCommands, ClickByKindAndByPhysicalNumber) {
    BoothSnapshot s;
    const std::pair<int, BoothClickAction> kinds[] = {
        {kKindNone, BoothClickAction::kNothing},
        {kKindAvtomat, BoothClickAction::kAdvanceDialog},
        {kKindZakaz, BoothClickAction::kOrderEvent},
        {kKindVinos, BoothClickAction::kAdvanceDialog},
        {kKindFax, BoothClickAction::kAdvanceDialog},
        {kKindAround, BoothClickAction::kAroundInfo},
        {kKindUniver, BoothClickAction::kAdvanceDialog}};
    for (auto [kind, action] : kinds) {
        s.kind = int16_t(kind);
        EXPECT_EQ(ClickActionFor(s), action) << kind;
    }

    GuardFacts f = Idle(true, false);
    f.booths[5].boothNumber = 42;
    f.booths[6].boothNumber = 77;
    f.booths[6].kind = kKindAround;
    f.booths[7].kind = kKindNone;
    f.booths[7].boothNumber = 99;
    EXPECT_EQ(PanelOfBoothNumber(f.booths, 42), 5);
    EXPECT_EQ(PanelOfBoothNumber(f.booths, 77), -1);  // the dial-around booth is ignored
    EXPECT_EQ(PanelOfBoothNumber(f.booths, 99), -1);  // a disabled position has no booth
    EXPECT_EQ(PanelOfBoothNumber(f.booths, 500), -1);
}

TEST(BoothCommands, PhysicalNumberIsTheLeadingNumber) {
    const std::pair<const char*, int> texts[] = {{"12", 12}, {"12ab", 12}, {"ab", 0},
                                                 {"", 0},    {" 7", 7},    {"99999999", 32767}};
    for (auto [text, number] : texts) {
        EXPECT_EQ(LeadingNumber(text), number) << text;
    }
}

TEST(BoothSettings, DialAroundBoothStaysSingle) {
    BoothSettingsModel panel4;
    panel4.Open(3, kKindAvtomat, 4);
    EXPECT_EQ(panel4.View().caption, "Физический номер кабины - 4");
    EXPECT_EQ(panel4.View().numberText, "4");
    EXPECT_EQ(panel4.View().kindIndex, kKindAvtomat);

    // Panel 9 is the dial-around booth: panel 4 keeps its kind.
    BoothSettingsOutcome refused = panel4.Apply("14x", kKindAround, 8);
    EXPECT_EQ(refused.kind, kKindAvtomat);
    EXPECT_EQ(refused.boothNumber, 14);
    ASSERT_TRUE(refused.message);
    EXPECT_EQ(refused.message->text, "Кабина обзвона уже есть в конфигурации!");
    EXPECT_EQ(refused.message->caption, "Error Set");
    EXPECT_FALSE(refused.aroundChanged);

    // The dial-around booth becomes automatic: the record is cleared ...
    BoothSettingsModel panel9;
    panel9.Open(8, kKindAround, 9);
    BoothSettingsOutcome cleared = panel9.Apply("9", kKindAvtomat, 8);
    EXPECT_EQ(cleared.aroundPanel, -1);
    EXPECT_TRUE(cleared.aroundChanged);
    // ... and panel 4 may take its place.
    BoothSettingsOutcome taken = panel4.Apply("4", kKindAround, -1);
    EXPECT_EQ(taken.kind, kKindAround);
    EXPECT_EQ(taken.aroundPanel, 3);
    EXPECT_FALSE(taken.message);
}

}  // namespace
}  // namespace miradel
