// The office's start-up, first tick and exit, in virtual time.
#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/config/AppConfigFields.h"
#include "app/options/MainOptionsFile.h"
#include "app/options/MainOptionsModel.h"
#include "booths/BoothKinds.h"
#include "common/AtomicFile.h"
#include "office/OfficeFixture.h"
#include "store/TDMInfo.h"

namespace miradel {
namespace {

using namespace appcfg;
using testing::OfficeRig;

std::string StartError(const char* missingFile) {
    OfficeRig rig;
    std::filesystem::remove(rig.dir / missingFile);
    const auto error = rig.Start();
    return error ? error->text : std::string();
}

TEST(OfficeStart, MissingFilesEndTheStartUpWithTheirTexts) {
    EXPECT_EQ(StartError("kassa.dat"), "Error open kassa.dat");
    EXPECT_EQ(StartError("ticket.cfg"), "Error open ticket.cfg");
    EXPECT_EQ(StartError("avans.cfg"), "Error open avans.cfg");
    EXPECT_EQ(StartError("incass.cfg"), "Error open incass.cfg");
    EXPECT_EQ(StartError("prefix.dat"), "Error load Prefix");
    EXPECT_NE(StartError("year.dat"), "");
    EXPECT_EQ(StartError("printer.cfg"), "");  // the printer has its default
}

TEST(OfficeStart, FirstTickLogsInAndReachesNormal) {
    OfficeRig rig;
    ASSERT_FALSE(rig.Start());
    EXPECT_EQ(rig.office->Phase(), kPhaseConstructed);
    EXPECT_EQ(rig.office->StateText(), "Загрузка программы ...");
    EXPECT_EQ(rig.office->Caption(), "Пожалуйста подождите...");
    rig.Run(1000);
    rig.office->MainTimerTick();
    rig.Run(300);

    EXPECT_EQ(rig.office->Phase(), kPhaseRunning);
    EXPECT_EQ(rig.office->OperatorOnDuty(), 99);
    EXPECT_EQ(rig.office->NotAdministrator(), 0);
    EXPECT_EQ(rig.office->Caption(), "Работает оператор - 99");
    EXPECT_EQ(rig.status.LastText(), "Состояние программы - Норма");
    EXPECT_FALSE(rig.office->Autonomous());
    // app.cfg was missing, so it was made with the defaults and the operator warned.
    ASSERT_FALSE(rig.prompt.Asked().empty());
    EXPECT_EQ(rig.prompt.Asked()[0].text, "ВНИМАНИЕ! АПП конфигурируется по умолчанию!!");
    EXPECT_EQ(rig.prompt.Asked()[0].caption, "Error open file app.cfg");
    const std::string log = rig.LogText();
    EXPECT_NE(log.find("Загрузка программы АПП"), std::string::npos);
    EXPECT_NE(log.find("Регистрация оператора"), std::string::npos);
    EXPECT_EQ(rig.office->Config().Get(kOperatorOnDuty), 99);
    EXPECT_TRUE(rig.notes.empty()) << rig.notes[0];
}

TEST(OfficeStart, RestoredBoothsGetTheirLineAndTheTillIsReconciled) {
    OfficeRig rig;
    KabinData kabin;
    for (int p = 0; p < kBoothCount; ++p) {
        kabin.Record(p) = {1, int16_t(p + 1), kKindAvtomat, 0};
    }
    kabin.Record(2) = {2, 3, kKindAvtomat, 500};
    kabin.Record(5) = {6, 6, kKindAvtomat, 250};
    testing::WriteKabin(rig.dir.path(), kabin);
    // Counter 0 says 9.00 held but the booths hold 7.50; counter 3 keeps its 1.00.
    KassaData kassa;
    kassa.Set(kKassaBoothAdvances, 900);
    kassa.Set(kKassaBoothCalls, 100);
    kassa.Set(kKassaTotal, 1000);
    const auto bytes = kassa.ToBytes();
    ASSERT_EQ(WriteFileAtomically(rig.dir / "kassa.dat",
                                  std::vector<uint8_t>(bytes.begin(), bytes.end())),
              "");

    rig.StartAndRun();
    ASSERT_EQ(rig.office->Phase(), kPhaseRunning);
    EXPECT_EQ(rig.office->RestoredTotal(), 750);
    EXPECT_TRUE(rig.office->RestoredMarks()[2]);
    EXPECT_TRUE(rig.office->RestoredMarks()[5]);
    const auto commands = rig.LineCommands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), std::vector<uint8_t>{3, 2, 1}),
              commands.end());
    EXPECT_NE(std::find(commands.begin(), commands.end(), std::vector<uint8_t>{3, 5, 1}),
              commands.end());
    const KassaData after = rig.office->KassaCopy();
    EXPECT_EQ(after.Get(kKassaBoothAdvances), 750);
    EXPECT_EQ(after.Get(kKassaTotal), 850);
    EXPECT_EQ(rig.office->Snapshot(2).advanceLeft, 500);

    // A booth holds an advance: the exit is refused and nothing is asked.
    EXPECT_EQ(rig.office->RequestExit(), ExitOutcome::kRefused);
    EXPECT_EQ(rig.prompt.Asked().back().text, "Одна из кабин активна!");
    EXPECT_EQ(rig.prompt.Asked().back().caption, "Error Close");
}

TEST(OfficeStart, ExitAsksSavesAndLogs) {
    OfficeRig rig;
    rig.StartAndRun();
    rig.office->ApplyAdvanceResult(0, 1000);
    rig.Run(300);
    EXPECT_EQ(rig.office->RequestExit(), ExitOutcome::kRefused);
    rig.office->ApplyAdvanceResult(0, -1);
    rig.Run(300);

    rig.prompt.Queue(PromptAnswer::Cancel);
    EXPECT_EQ(rig.office->RequestExit(), ExitOutcome::kCancelled);
    EXPECT_EQ(rig.prompt.Asked().back().text, "Завершить приложение?");
    EXPECT_EQ(rig.prompt.Asked().back().caption, "Подтвердите выход");
    EXPECT_EQ(rig.prompt.Asked().back().buttons, PromptButtons::OkCancel);

    std::filesystem::remove(rig.dir / "app.cfg");
    EXPECT_EQ(rig.office->RequestExit(), ExitOutcome::kClosing);
    EXPECT_TRUE(std::filesystem::exists(rig.dir / "app.cfg"));
    EXPECT_EQ(std::filesystem::file_size(rig.dir / "kassa.dat"), 32u);
    EXPECT_NE(rig.LogText().find("Завершение программы АПП"), std::string::npos);
    rig.office->Shutdown();
    EXPECT_EQ(rig.office->Phase(), kPhaseRunning);
}

TEST(OfficeStart, ThreeFailedLoginsCloseWithoutQuestionsButTheStartUpRuns) {
    OfficeRig rig;
    rig.passwords = {std::string("a"), std::string("b"), std::nullopt};
    rig.StartAndRun();
    EXPECT_EQ(rig.attempts.size(), 3u);
    EXPECT_EQ(rig.office->OperatorOnDuty(), -1);
    EXPECT_TRUE(rig.office->CloseRequested());
    const auto asked = rig.prompt.Asked();
    EXPECT_EQ(asked.back().text, "Пароль неопознан!!?");
    for (const auto& a : asked) {
        EXPECT_NE(a.text, "Завершить приложение?");
    }
    EXPECT_EQ(rig.office->Phase(), kPhaseRunning);
}

TEST(OfficeStart, AShiftChangeWithThreeFailedLoginsClosesAsWithNobodyOnDuty) {
    OfficeRig rig;
    rig.StartAndRun();
    ASSERT_EQ(rig.office->OperatorOnDuty(), 99);
    rig.passwords = {std::string("a"), std::nullopt, std::string("c")};
    EXPECT_FALSE(rig.office->RunLogin().LoggedIn());
    EXPECT_EQ(rig.office->OperatorOnDuty(), -1);
    EXPECT_TRUE(rig.office->CloseRequested());
    for (const auto& a : rig.prompt.Asked()) {
        EXPECT_NE(a.text, "Завершить приложение?");
    }
}

TEST(OfficeStart, PasswordRowLogsIn) {
    OfficeRig rig;
    ASSERT_FALSE(rig.Start());
    // The store exists now: an operator row, then the first tick.
    rig.passwords = {std::string("wrong"), std::string("Smena2")};
    {
        VirtualClock c{{2009, 3, 5, 10, 0, 0}};
        TDMInfo dm{rig.dir.path(), c, {[] { return 1; }, [] { return 1; }, [] { return 1; }}};
        dm.tblPassword.Open();
        dm.tblPassword.Append();
        dm.tblPassword.FieldByName("PASSWORD").SetString("Smena2");
        dm.tblPassword.FieldByName("NUMBER_OPERATOR").SetInteger(3);
        dm.tblPassword.FieldByName("TYPE_OPERATOR").SetInteger(1);
        dm.tblPassword.Post();
        dm.tblPassword.Close();
    }
    rig.Run(1000);
    rig.office->MainTimerTick();
    EXPECT_EQ(rig.office->OperatorOnDuty(), 3);
    EXPECT_EQ(rig.office->NotAdministrator(), 1);
    EXPECT_FALSE(rig.office->CloseRequested());
}

TEST(OfficeStart, MissingControllerPortLeavesTheOfficeInPhaseOne) {
    OfficeRig rig;
    rig.portMissing = true;
    rig.StartAndRun();
    EXPECT_EQ(rig.office->Phase(), kPhaseFirstTick);
    EXPECT_NE(rig.status.LastText(), "Состояние программы - Норма");
}

TEST(OfficeStart, RefusedPriorityIsOnlyAWarning) {
    OfficeRig rig;
    rig.StartAndRun();
    EXPECT_TRUE(rig.notes.empty()) << rig.notes[0];
    OfficeRig high;
    (void)WriteFileAtomically(high.dir / "app.cfg", [] {
        AppConfigData d = AppConfigData::Defaults();
        d.Set(kProcessPriority, 2);
        return std::vector<uint8_t>(d.bytes().begin(), d.bytes().end());
    }());
    high.StartAndRun();
    ASSERT_EQ(high.notes.size(), 1u);
    EXPECT_EQ(high.notes[0], "Error Set Priority!");
    EXPECT_EQ(high.office->Phase(), kPhaseRunning);

    OfficeRig odd;
    (void)WriteFileAtomically(odd.dir / "app.cfg", [] {
        AppConfigData d = AppConfigData::Defaults();
        d.Set(kProcessPriority, 5);
        return std::vector<uint8_t>(d.bytes().begin(), d.bytes().end());
    }());
    odd.StartAndRun();
    EXPECT_EQ(odd.priorities, std::vector<int>{0});  // any other value is normal
}

TEST(OfficeStart, WindowWidthFollowsTheRightmostEnabledPanel) {
    KabinData kabin;
    for (int p = 0; p < 10; ++p) {
        kabin.Record(p) = {1, int16_t(p + 1), kKindAvtomat, 0};
    }
    EXPECT_EQ(MainWindowWidth(kabin), 525);
    kabin.Record(11) = {1, 12, kKindAvtomat, 0};
    EXPECT_EQ(MainWindowWidth(kabin), 543);
    kabin.Record(12) = {1, 13, kKindAvtomat, 0};
    EXPECT_EQ(MainWindowWidth(kabin), 632);
    kabin.Record(15) = {1, 16, kKindAvtomat, 0};
    EXPECT_EQ(MainWindowWidth(kabin), 720);
}

TEST(OfficeStart, TemporaryPrivilegesOnlyForAnOperatorWithAnAdministratorsPassword) {
    OfficeRig rig;
    rig.StartAndRun();
    // The service operator is an administrator already: nothing happens.
    EXPECT_FALSE(rig.office->TakeTemporaryPrivileges("qzr40316258"));
    {
        VirtualClock c{{2009, 3, 5, 10, 0, 0}};
        TDMInfo dm{rig.dir.path(), c, {[] { return 1; }, [] { return 1; }, [] { return 1; }}};
        dm.tblPassword.Open();
        dm.tblPassword.Append();
        dm.tblPassword.FieldByName("PASSWORD").SetString("op5");
        dm.tblPassword.FieldByName("NUMBER_OPERATOR").SetInteger(5);
        dm.tblPassword.FieldByName("TYPE_OPERATOR").SetInteger(5);
        dm.tblPassword.Post();
        dm.tblPassword.Close();
    }
    ASSERT_TRUE(rig.office->LoginWith("op5").LoggedIn());
    EXPECT_EQ(rig.office->NotAdministrator(), 5);
    EXPECT_FALSE(rig.office->TakeTemporaryPrivileges("op5"));
    EXPECT_TRUE(rig.office->TakeTemporaryPrivileges("qzr40316258"));
    EXPECT_EQ(rig.office->NotAdministrator(), 0);
    EXPECT_EQ(rig.office->OperatorOnDuty(), 5);
    EXPECT_EQ(rig.status.LastText(), "Временные привилегии администратора");
    EXPECT_EQ(rig.status.States().back().colour, StateColour::Red);
    rig.office->DropTemporaryPrivileges();
    EXPECT_NE(rig.office->NotAdministrator(), 0);
    EXPECT_EQ(rig.status.LastText(), "Состояние программы - Норма");
    EXPECT_EQ(rig.status.States().back().colour, StateColour::Black);
}

TEST(OfficeStart, AFailedFiscalLinkMakesTheOfficeAutonomousOnce) {
    OfficeRig rig;
    rig.StartAndRun();
    rig.office->FiscalLinkFailed();
    rig.office->MainTimerTick();
    EXPECT_EQ(rig.status.LastText(), "Ошибка связи с ККМ! Режим - Автоном!");
    EXPECT_TRUE(rig.office->Autonomous());
    EXPECT_TRUE(rig.status.WindowTimerDisabled());
    const auto count = rig.status.States().size();
    rig.office->MainTimerTick();
    EXPECT_EQ(rig.status.States().size(), count);
}

TEST(OfficeStart, TheSaveTimerWritesTheBoothsWithinHalfASecond) {
    OfficeRig rig;
    rig.StartAndRun();
    rig.office->ApplyAdvanceResult(4, 700);
    rig.Run(600);
    const auto file = ReadWholeFile(rig.dir / "kabin.cfg");
    ASSERT_TRUE(file);
    EXPECT_EQ(BoothSlotRecord::Decode(file->data() + 4 * 12),
              (BoothSlotRecord{2, 5, kKindAvtomat, 700}));
}

TEST(OfficeStart, AFiscalRegisterThatCannotBeReachedIsShownAndGoesAutonomous) {
    OfficeRig rig;
    (void)WriteFileAtomically(rig.dir / "app.cfg", [] {
        AppConfigData d = AppConfigData::Defaults();
        d.Set(kReceiptDevice, 2);  // no fiscal.cfg names a driver
        return std::vector<uint8_t>(d.bytes().begin(), d.bytes().end());
    }());
    rig.StartAndRun();
    ASSERT_FALSE(rig.prompt.Asked().empty());
    EXPECT_EQ(rig.prompt.Asked().back().caption, "Error");
    EXPECT_FALSE(rig.prompt.Asked().back().text.empty());
    rig.office->MainTimerTick();
    EXPECT_EQ(rig.status.LastText(), "Ошибка связи с ККМ! Режим - Автоном!");
}

}  // namespace
}  // namespace miradel

namespace miradel {
namespace {

TEST(OfficeOptions, AppliedOptionsGoOverTheImageAsItIsNow) {
    testing::OfficeRig rig;
    rig.StartAndRun();
    AppConfig& image = rig.office->Config();
    MainOptionsModel window;
    const AppConfigData opened = image.Copy();
    window.Open(opened);
    window.SetText(*window.Find("Цена 1 страницы"), "1.5");
    window.SetChecked(*window.Find("Запись app.log"), true);
    window.SetChecked(*window.Find("Протокол ККМ"), true);
    // A collection moves its counter while the window is open: it stays the till's.
    const int32_t receipt = image.Get(appcfg::kLastCollectedReceipt) + 7;
    image.Set(appcfg::kLastCollectedReceipt, receipt);
    // And the booths take receipt numbers: the window shows the old next number, untouched.
    const int32_t next = image.Get(appcfg::kNextBoothReceipt) + 3;
    image.Set(appcfg::kNextBoothReceipt, next);
    rig.Run(600);  // the save timer writes the image, then the window rewrites app.cfg

    const MainOptionsSave save = ApplyMainOptionsToFolder(rig.dir.path(), window);
    ASSERT_TRUE(save.written) << save.error;
    rig.office->MainOptionsApplied(opened, window, save);
    EXPECT_EQ(image.Get(appcfg::kFaxPagePrice), 150);
    EXPECT_TRUE(image.Get(appcfg::kWriteAppLog));
    EXPECT_EQ(image.Get(appcfg::kLastCollectedReceipt), receipt);
    EXPECT_EQ(image.Get(appcfg::kNextBoothReceipt), next);
    EXPECT_EQ(rig.office->Caption(), "Работает оператор - 99 (ВНИМАНИЕ! Запись LOG!)");
    std::ifstream log(rig.dir.path() / "app.log");
    const std::string lines{std::istreambuf_iterator<char>(log), {}};
    EXPECT_EQ(lines, AppLogSwitchOnLines(rig.clock.Now()));  // the date, then the time
    EXPECT_EQ(lines.substr(0, 11), "05.03.2009\n");

    // A number the operator types is his.
    MainOptionsModel again;
    const AppConfigData reopened = image.Copy();
    again.Open(reopened);
    again.SetText(*again.Find("№ квитанции АПП"), "500");
    image.Set(appcfg::kNextBoothReceipt, next + 1);
    rig.office->MainOptionsApplied(reopened, again,
                                   ApplyMainOptionsToFolder(rig.dir.path(), again));
    EXPECT_EQ(image.Get(appcfg::kNextBoothReceipt), 500);

    // Without app.cfg nothing is saved and the image keeps what it had.
    std::filesystem::remove(rig.dir.path() / "app.cfg");
    window.SetText(*window.Find("Цена 1 страницы"), "2");
    const MainOptionsSave lost = ApplyMainOptionsToFolder(rig.dir.path(), window);
    EXPECT_FALSE(lost.written);
    rig.office->MainOptionsApplied(opened, window, lost);
    EXPECT_EQ(image.Get(appcfg::kFaxPagePrice), 150);
}

}  // namespace
}  // namespace miradel
