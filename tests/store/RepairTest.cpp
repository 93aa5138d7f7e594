// Verification levels, rebuild and reindex on real database files, sound and damaged on
// purpose.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "StoreTestSupport.h"
#include "common/Cp1251.h"
#include "store/Reindex.h"
#include "store/StoreError.h"
#include "store/mainrepair.h"

namespace miradel {
namespace {

using testing::At;
using testing::Count;
using testing::Rows;
using testing::StoreFixture;

constexpr int kCalls = 3000;

class StoreRepair : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::FillCalls(*office.dm, kCalls, At(2009, 1, 1), 60);
        office.CloseStore();  // checkpoints the WAL into the file
    }
    // A maintenance connection, as the tool or the repair window uses it.
    std::unique_ptr<Connection> Maintenance() {
        return std::make_unique<Connection>(office.dir.path(), Alias::APPD, OpenMode::ExistingOnly);
    }

    StoreFixture office;
};

TEST_F(StoreRepair, ASoundDatabaseVerifiesWithoutErrors) {
    auto db = Maintenance();
    const VerifyResult info = VerifyTable(*db, "INFO");
    EXPECT_TRUE(info.completed);
    EXPECT_EQ(info.level, 0) << (info.problems.empty() ? "" : info.problems[0]);
    EXPECT_EQ(info.Message(), "Верификация завершена. В таблице нет ошибок.");
    const DatabaseVerifyResult all = VerifyDatabase(*db);
    EXPECT_EQ(all.level, 0);
    EXPECT_EQ(all.tables.size(), 12u);
}

TEST_F(StoreRepair, AMissingIndexIsLevelOneAndReindexCreatesIt) {
    {
        SQLite::Database raw(office.Appd(), SQLite::OPEN_READWRITE);
        raw.exec("DROP INDEX TICKETS");
    }
    auto db = Maintenance();
    const VerifyResult result = VerifyTable(*db, "INFO");
    EXPECT_EQ(result.level, 1);
    EXPECT_EQ(result.Message(), "Верификация завершена. Верификация полностью успешна!.");
    EXPECT_EQ(ReindexTable(*db, "INFO"), std::nullopt);
    EXPECT_EQ(VerifyTable(*db, "INFO").level, 0);
}

TEST_F(StoreRepair, ADamagedIndexPageIsLevelTwoAndReindexMendsIt) {
    const auto pages = testing::PagesOf(office.Appd(), "INFO_DATE", "leaf");
    ASSERT_GT(pages.size(), 3u);
    testing::DamagePage(office.Appd(), pages[2]);
    auto db = Maintenance();
    const VerifyResult damaged = VerifyTable(*db, "INFO");
    EXPECT_EQ(damaged.level, 2);
    EXPECT_EQ(damaged.Message(), "Верификация завершена. Верификация прошла частично!");
    EXPECT_FALSE(damaged.problems.empty());

    EXPECT_EQ(ReindexTable(*db, "INFO"), std::nullopt);
    EXPECT_EQ(VerifyTable(*db, "INFO").level, 0);
    EXPECT_EQ(VerifyDatabase(*db).level, 0);
    EXPECT_EQ(Count(office.Appd(), "INFO"), kCalls);
}

TEST_F(StoreRepair, DamagedRowsAreLevelThreeAndRebuildKeepsEveryReadableRow) {
    const auto pages = testing::PagesOf(office.Appd(), "INFO", "leaf");
    ASSERT_GT(pages.size(), 10u);
    testing::DamagePage(office.Appd(), pages[5]);
    auto db = Maintenance();
    EXPECT_EQ(VerifyTable(*db, "INFO").level, 3);
    EXPECT_EQ(VerifyTable(*db, "INFO").Message(),
              "Верификация завершена. Необходимо восстановить таблицу!");

    const RebuildResult rebuilt = RebuildTable(*db, "INFO");
    ASSERT_TRUE(rebuilt.ok) << rebuilt.detail;
    EXPECT_EQ(rebuilt.Message(), "Таблица полностью восстановлена!");
    EXPECT_GT(rebuilt.rowsCopied, kCalls - 200);  // one page of rows lost at most
    EXPECT_LT(rebuilt.rowsCopied, kCalls);
    EXPECT_GE(rebuilt.rowsLost, 1);
    EXPECT_EQ(VerifyDatabase(*db).level, 0);

    // The backup is the file as it was, damage included; PROBLEM names what was lost.
    EXPECT_TRUE(std::filesystem::exists(BackupFileOf(*db)));
    EXPECT_EQ(
        Rows(BackupFileOf(*db), "SELECT count(*) FROM sqlite_master WHERE name = 'INFO'")[0][0],
        "1");
    const auto problems = Rows(office.Appd(), "SELECT TABLE_NAME, REASON FROM PROBLEM");
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems[0][0], "INFO");
    EXPECT_NE(problems[0][1].find("could not be read"), std::string::npos) << problems[0][1];

    // Every row that survived keeps its AUTO number, and new ones continue after the last.
    db.reset();
    office.Reopen();
    ASSERT_TRUE(
        office.dm->WriteCallRecord(testing::Call(1, "1", 1, 1, At(2009, 3, 1)), 1, 1, 1, 1, 1));
    EXPECT_EQ(Rows(office.Appd(), "SELECT max(AUTO) FROM INFO")[0][0], std::to_string(kCalls + 1));
}

TEST_F(StoreRepair, ATableWhoseRowsCannotBeReadAtAllIsLevelFour) {
    const auto root = Rows(office.Appd(), "SELECT rootpage FROM sqlite_master WHERE name = 'INFO'");
    testing::DamagePage(office.Appd(), std::stoll(root[0][0]), 0, 200);
    auto db = Maintenance();
    const VerifyResult result = VerifyTable(*db, "INFO");
    EXPECT_EQ(result.level, 4);
    EXPECT_EQ(result.Message(), "Верификация завершена. Таблица не может быть восстановлена.");
}

TEST_F(StoreRepair, AFileThatIsNoDatabaseCannotBeOpenedAndSaysSo) {
    testing::DamagePage(office.Appd(), 1, 0, 16);  // the file header
    try {
        office.Reopen();
        FAIL() << "a damaged file was opened";
    } catch (const StoreError& error) {
        EXPECT_TRUE(error.Damaged());
        EXPECT_NE(std::string(error.what()).find("damaged"), std::string::npos) << error.what();
    }
}

TEST_F(StoreRepair, AMissingTableIsRebuiltEmpty) {
    {
        SQLite::Database raw(office.Appd(), SQLite::OPEN_READWRITE);
        raw.exec("DROP TABLE NS");
    }
    auto db = Maintenance();
    EXPECT_EQ(VerifyTable(*db, "NS").level, 3);
    EXPECT_TRUE(RebuildTable(*db, "NS").ok);
    EXPECT_EQ(VerifyTable(*db, "NS").level, 0);
}

TEST_F(StoreRepair, RepairOfAllTablesWritesTheLogAndSkipsWorkTables) {
    {
        SQLite::Database raw(office.Appd(), SQLite::OPEN_READWRITE);
        raw.exec("CREATE TABLE VERIFY_INFO (x)");
        raw.exec("CREATE TABLE Backup (x)");
    }
    auto appd = Maintenance();
    auto appz =
        std::make_unique<Connection>(office.dir.path(), Alias::APPZ, OpenMode::ExistingOnly);
    VirtualClock clock(At(2009, 3, 5, 9, 5, 7));
    ScriptedPrompt prompt;
    const auto log = office.dir / "wrrepair.log";
    const RepairPassResult pass = RepairAllTables({appd.get(), appz.get()}, log, clock, prompt);
    ASSERT_TRUE(pass.logCreated);
    EXPECT_EQ(pass.tables.size(), 15u);
    EXPECT_TRUE(prompt.Asked().empty());

    std::ifstream in(log, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = Cp1251ToUtf8(bytes.str());
    const std::string appdFile = (office.dir / "APPD.sqlite").string();
    EXPECT_TRUE(text.starts_with(
        "Восстановление всех таблиц базы данных АПП:\n\nНачало работы:\n05.03.2009\n09:05:07\n\n"))
        << text;
    EXPECT_NE(text.find("Таблица - " + appdFile +
                        ":AVANSINFO\nТаблица полностью восстановлена!\n\n"
                        "Таблица - " +
                        appdFile + ":ENTERFAX\n"),
              std::string::npos);
    EXPECT_EQ(text.find("VERIFY"), std::string::npos);
    EXPECT_EQ(text.find(":Backup"), std::string::npos);
    EXPECT_TRUE(text.ends_with("Конец работы:\n05.03.2009\n09:05:07\n"));
    EXPECT_EQ(Count(office.Appd(), "INFO"), kCalls);
    EXPECT_EQ(Count(office.Appd(), "VERIFY_INFO"), 0);  // left alone

    // A log that cannot be created: the operator is told and nothing is done.
    const RepairPassResult refused =
        RepairAllTables({appd.get()}, office.dir / "no-folder" / "wrrepair.log", clock, prompt);
    EXPECT_FALSE(refused.logCreated);
    EXPECT_TRUE(refused.tables.empty());
    ASSERT_EQ(prompt.Asked().size(), 1u);
    EXPECT_EQ(prompt.Asked()[0].text, "Невозможно открыть файл wrrepair.log для записи!");
    EXPECT_EQ(prompt.Asked()[0].caption, "Error Open");
}

TEST_F(StoreRepair, ReindexOfAllTablesCountsDownAndGoesOnPastATableInUse) {
    auto appz =
        std::make_unique<Connection>(office.dir.path(), Alias::APPZ, OpenMode::ExistingOnly);
    EXPECT_EQ(ReindexTableList(*appz),
              (std::vector<std::string>{"<All Tables>", "ZAKAZ", "ZRESULT", "ZService"}));
    std::vector<std::string> panel2;
    std::vector<std::string> failures;
    ReindexProgress progress{[&](int panel, const std::string& text) {
                                 if (panel == 2) {
                                     panel2.push_back(text);
                                 }
                             },
                             [&](const std::string& table, const std::string& reason) {
                                 failures.push_back(ReindexFailureText(table, reason));
                             }};
    EXPECT_EQ(ReindexAllTables(*appz, progress), 0);
    EXPECT_EQ(panel2, (std::vector<std::string>{"Осталось - 3 таблиц", "Осталось - 2 таблиц",
                                                "Осталось - 1 таблиц", ""}));

    // Another program holds the database: every table fails with the exclusive-use reason,
    // and the pass still goes through all of them.
    SQLite::Database other(office.Appz(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN IMMEDIATE");
    EXPECT_EQ(ReindexAllTables(*appz, progress), 3);
    other.exec("ROLLBACK");
    ASSERT_EQ(failures.size(), 3u);
    EXPECT_EQ(failures[0],
              "Невозможно регенерировать индексы ZAKAZ. Причина: Таблицу нельзя открыть в режиме "
              "exclusive. Выбранная таблица НЕ ДОЛЖНА использоваться другим пользователем или "
              "приложением.");
}

TEST_F(StoreRepair, RebuildTwiceOverwritesTheBackup) {
    auto db = Maintenance();
    ASSERT_TRUE(RebuildTable(*db, "AVANSINFO").ok);
    const auto first = std::filesystem::last_write_time(BackupFileOf(*db));
    {
        auto lock = db->Lock();
        db->Db().exec("INSERT INTO AVANSINFO (TICKET) VALUES (5)");
    }
    ASSERT_TRUE(RebuildTable(*db, "AVANSINFO").ok);
    EXPECT_GE(std::filesystem::last_write_time(BackupFileOf(*db)), first);
    EXPECT_EQ(Count(BackupFileOf(*db), "AVANSINFO"), 1);  // the state before the second rebuild
}

TEST_F(StoreRepair, TheDataModuleClosesAndReopensEveryTableAroundMaintenance) {
    office.Reopen();
    office.dm->CloseAllTables();
    for (Table* table : office.dm->AllTables()) {
        EXPECT_FALSE(table->Active()) << table->ObjectName();
    }
    EXPECT_EQ(ReindexAllTables(office.dm->APPD_MAIN()), 0);
    office.dm->OpenAllTables();
    for (Table* table : office.dm->AllTables()) {
        EXPECT_TRUE(table->Active()) << table->ObjectName();
    }
    EXPECT_TRUE(office.dm->tblPassword.Active());
}

}  // namespace
}  // namespace miradel
